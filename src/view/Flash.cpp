#include "view/Flash.h"

#include "controls/Simple.h"
#include "view/Bindings.h"
#include "view/Icons.h"

#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

namespace view {

Flash::Flash(FormWidgets& widgets, QWidget& window, QSystemTrayIcon* tray)
    : QObject(&window), m_widgets(widgets), m_window(window), m_tray(tray) {
    const controls::Form& form = widgets.form();
    if (auto* picture = form.findAs<controls::Picture>(QStringLiteral("imgFlash"))) {
        connect(picture, &controls::Control::changed, this,
                [this, picture] { show(picture->visible()); });
        show(picture->visible());
    } else if (QTimer* timer = widgets.timer(QStringLiteral("tmrFlash"))) {
        connect(timer, &QTimer::timeout, this, [this] { tick(); });
        if (auto* model = form.findAs<controls::Timer>(QStringLiteral("tmrFlash")))
            connect(model, &controls::Control::changed, this, [this, model] {
                if (!model->enabled())
                    show(false);
            });
    }
}

void Flash::tick() {
    auto* model = m_widgets.form().findAs<controls::Timer>(QStringLiteral("tmrFlash"));
    show(model && model->enabled() ? !m_on : false);
}

void Flash::show(bool on) {
    if (on == m_on)
        return;
    m_on = on;
    if (m_tray)
        m_tray->setIcon(appIcon(on));
    m_window.setWindowIcon(appIcon(on));
    if (auto* sb = m_widgets.getAs<QStatusBar>(QStringLiteral("Sb"))) {
        sb->setAutoFillBackground(on);
        QPalette pal = sb->palette();
        pal.setColor(QPalette::Window,
                     on ? QColor(255, 200, 60) : m_window.palette().color(QPalette::Window));
        sb->setPalette(pal);
    }
}

} // namespace view
