#pragma once

#include <QObject>

class QSystemTrayIcon;
class QWidget;

namespace view {

class FormWidgets;

// The signal of a refused pop-up: the notification-area icon, the window's icon and the
// status bar light up. It follows the form's flash picture `imgFlash` when the form has one,
// otherwise it blinks at every other tick of the flash timer `tmrFlash` while that runs.
class Flash : public QObject {
    Q_OBJECT
public:
    /// `widgets` must have bound the form's timers; `tray` may be null.
    Flash(FormWidgets& widgets, QWidget& window, QSystemTrayIcon* tray);

    /// True while the lit state is showing.
    bool shown() const { return m_on; }

private:
    void tick();
    void show(bool on);

    FormWidgets& m_widgets;
    QWidget& m_window;
    QSystemTrayIcon* m_tray;
    bool m_on = false;
};

} // namespace view
