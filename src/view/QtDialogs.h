#pragma once

#include "platform/Dialogs.h"

#include <QPointer>
#include <QWidget>

namespace view {

// The program's dialogs on the desktop: message boxes, the input box, the file-open dialog
// and the modal forms. Each call returns when the user has answered.
class QtDialogs : public platform::Dialogs {
public:
    QtDialogs() = default;

    platform::MessageAnswer message(const QString& text, platform::MessageButtons buttons,
                                    platform::MessageIcon icon, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> openFile(const QString& title, const QString& initialFolder,
                                    const QString& filter) override;
    void runModal(platform::ModalForm& form) override;
    std::optional<QString> saveFile(const QString& title, const QString& initialPath,
                                    const QString& filter) override;

    /// The window the dialogs open over; the active window when none is set.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    /// "Label|*.ext|Label|*.a;*.b" as the name filters of a Qt file dialog:
    /// "Label (*.ext)", "Label (*.a *.b)".
    static QStringList nameFilters(const QString& filter);

private:
    QWidget* parentWindow() const;
    QPointer<QWidget> m_parent;
};

} // namespace view
