#pragma once

#include <QString>

namespace view {

/// Display form of a text of the program: a carriage return alone, or CR LF, becomes a
/// line break.
inline QString displayText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace view
