#pragma once

#include "platform/Platform.h"

#include <QString>

namespace cookies {

// Reading texts from the key tree (the program's registry reader).

/// Opens `subKey` under `root`, reads the value `name` and closes the key. The opening's
/// result is not examined: a key that cannot be opened makes the read fail, with its message.
QString readRegistryText(platform::Platform& p, platform::HKEY root, const QString& subKey,
                         const QString& name);

/// The value `name` of an open key as text: texts (types 1 and 2) up to their first NUL, type
/// 3 as a 32-bit signed decimal number (empty when its data is longer than four bytes), other
/// types empty. A failed query shows the system's text for it and returns empty text.
QString queryRegistryText(platform::Platform& p, platform::HKEY key, const QString& name);

/// The system's message text for a result code, at most 200 characters, trailing blanks
/// removed.
QString systemErrorText(const platform::Registry& registry, long code);

} // namespace cookies
