#pragma once

#include <QString>
#include <optional>

namespace platform {

enum class MessageIcon { None, Critical, Question, Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class ModalForm;

// Modal dialogs. Each call returns when the user has answered.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// Message box; an empty title shows the application title "Tavrel".
    virtual MessageAnswer message(const QString& text, MessageButtons buttons, MessageIcon icon,
                                  const QString& title) = 0;
    /// Input box with OK and Cancel; Cancel returns the empty text.
    virtual QString input(const QString& prompt, const QString& title,
                          const QString& defaultText) = 0;
    /// File-open dialog; `filter` in the form "Label|*.ext|Label|*.ext"; nothing on Cancel.
    virtual std::optional<QString> openFile(const QString& title, const QString& initialFolder,
                                            const QString& filter) = 0;
    /// Shows a form modally and returns when it has closed.
    virtual void runModal(ModalForm& form) = 0;
    /// File-save dialog (asks before replacing a file); the filter as for `openFile`; nothing
    /// on Cancel.
    virtual std::optional<QString> saveFile(const QString& title, const QString& initialPath,
                                            const QString& filter) {
        Q_UNUSED(title);
        Q_UNUSED(initialPath);
        Q_UNUSED(filter);
        return std::nullopt;
    }
};

} // namespace platform
