#include "platform/linux/LinuxPlatform.h"

#include "platform/ModalForm.h"

#include <cstdio>

namespace platform::linuxp {

MessageAnswer DialogsSlot::message(const QString& text, MessageButtons buttons, MessageIcon icon,
                                   const QString& title) {
    if (m_dialogs)
        return m_dialogs->message(text, buttons, icon, title);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title.isEmpty() ? QStringLiteral("Tavrel") : title),
                 qPrintable(text));
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

QString DialogsSlot::input(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    return m_dialogs ? m_dialogs->input(prompt, title, defaultText) : QString();
}

std::optional<QString> DialogsSlot::openFile(const QString& title, const QString& initialFolder,
                                             const QString& filter) {
    if (m_dialogs)
        return m_dialogs->openFile(title, initialFolder, filter);
    return std::nullopt;
}

void DialogsSlot::runModal(ModalForm& form) {
    if (m_dialogs) {
        m_dialogs->runModal(form);
        return;
    }
    form.load();
    form.requestClose();
}

LinuxPlatform::LinuxPlatform(platform::BrowserShell& browser)
    : m_platform{browser, files,     settings, m_dialogs, clock,
                 sound,   processes, instance, registry,  system} {
    // An immediate end runs no destructor: the lock is given back on the way out, so that the
    // next start does not depend on recognising a stale lock.
    processes.beforeEnd = [this] { instance.release(); };
}

} // namespace platform::linuxp
