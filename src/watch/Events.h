#pragma once

#include "platform/Browser.h"

#include <QVariantList>

namespace watch {

class cIEWindows;

// Carries each wrapper's events up to the one collection, which raises them as its own.
namespace Events {

/// The collection that receives relayed events; not owned. The collection sets it when it is
/// made and clears it when it goes, so a relay never reaches a collection that is gone.
extern cIEWindows* gCollectionPtr;

/// Event kinds a wrapper relays.
enum Kind {
    BeforeNavigate2 = 1,
    NavigateComplete2 = 2,
    DownloadBegin = 3,
    DownloadComplete = 4,
    DocumentComplete = 5,
    MouseDown = 6,
    MouseUp = 7,
    ContextMenu = 8,
    CommandStateChange = 9
};

/// Passes one event of the wrapper whose handle is `hwnd` to the collection. The arguments
/// follow the event's own order (see cIEWindows::RaiseIEEvent); an unknown kind raises nothing.
void RelayIEEvent(int kind, platform::WindowHandle& hwnd, const QVariantList& args = {});

} // namespace Events
} // namespace watch
