#pragma once

#include <QByteArray>

class QWidget;

namespace view {

// Keeps a window's place while it is hidden: `hide` remembers where the window is and hides
// it, `show` shows it back where it was (window managers place a window that is shown again
// as they like).
class GeometryGuard {
public:
    explicit GeometryGuard(QWidget& window) : m_window(window) {}

    void hide();
    void show();

private:
    QWidget& m_window;
    QByteArray m_saved;
};

} // namespace view
