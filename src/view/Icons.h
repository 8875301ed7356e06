#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace view {

/// The program's icon, drawn here so the program needs no image file: a shield over a
/// browser window. `flash` draws the alternate colours shown while the flash timer runs.
QIcon appIcon(bool flash = false);
QPixmap appPixmap(int size, bool flash = false);

/// The picture of a picture control, by form and control name; a neutral tile for a picture
/// this view does not know.
QPixmap pictureFor(const QString& formName, const QString& controlName);

} // namespace view
