#include "view/GeometryGuard.h"

#include <QWidget>

namespace view {

void GeometryGuard::hide() {
    if (m_window.isVisible())
        m_saved = m_window.saveGeometry();
    m_window.hide();
}

void GeometryGuard::show() {
    m_window.show();
    if (!m_saved.isEmpty())
        m_window.restoreGeometry(m_saved);
}

} // namespace view
