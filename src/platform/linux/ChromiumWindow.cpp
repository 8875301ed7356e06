#include "platform/linux/ChromiumWindow.h"

namespace platform::linuxp {

ChromiumWindow::ChromiumWindow(WindowHandle handle, QString targetId)
    : m_handle(handle), m_targetId(std::move(targetId)) {}

std::optional<QString> ChromiumWindow::locationName() const {
    if (m_gone)
        return std::nullopt;
    return m_title;
}

std::optional<QString> ChromiumWindow::locationURL() const {
    if (m_gone)
        return std::nullopt;
    return m_url;
}

std::optional<int> ChromiumWindow::width() const {
    return m_gone ? std::nullopt : m_width;
}

std::optional<int> ChromiumWindow::height() const {
    return m_gone ? std::nullopt : m_height;
}

bool ChromiumWindow::hasDocument() const {
    return !m_gone && m_scriptReady && !m_sessionId.isEmpty();
}

} // namespace platform::linuxp
