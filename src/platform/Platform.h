#pragma once

#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Instance.h"
#include "platform/Notifier.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/Sound.h"
#include "platform/System.h"

namespace platform {

// The bundle of outside interfaces the program uses. The pieces are owned elsewhere
// (by main, the scenario runner or a test); they outlive every form.
struct Platform {
    BrowserShell& browser;
    Files& files;
    SettingsStore& settings;
    Dialogs& dialogs;
    Clock& clock;
    Sound& sound;
    Processes& processes;
    Instance& instance;
    Registry& registry;
    System& system;
    Notifier& notifier;
};

} // namespace platform
