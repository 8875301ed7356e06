#include "platform/linux/FirefoxWindow.h"

namespace platform::linuxp {

FirefoxWindow::FirefoxWindow(WindowHandle handle, QString context)
    : m_handle(handle), m_context(std::move(context)) {}

std::optional<QString> FirefoxWindow::locationName() const {
    if (m_gone)
        return std::nullopt;
    return m_title;
}

std::optional<QString> FirefoxWindow::locationURL() const {
    if (m_gone)
        return std::nullopt;
    return m_url;
}

std::optional<int> FirefoxWindow::width() const {
    return m_gone ? std::nullopt : m_width;
}

std::optional<int> FirefoxWindow::height() const {
    return m_gone ? std::nullopt : m_height;
}

bool FirefoxWindow::hasDocument() const {
    return !m_gone && m_scriptReady;
}

} // namespace platform::linuxp
