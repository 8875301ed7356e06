// Timers: a QTimer runs while its model is enabled and ticks the model.

#include "controls/Simple.h"
#include "view/bindings/Binding.h"
#include "view/bindings/Families.h"

#include <QTimer>

namespace view::bindings {

namespace {

class TimerBinding : public QObject {
public:
    TimerBinding(controls::Timer& timer, QTimer* qtimer) : QObject(qtimer), m_timer(&timer) {
        qtimer->setInterval(timer.interval());
        connect(&timer, &controls::Control::changed, this, [this] { follow(); });
        connect(qtimer, &QTimer::timeout, this, [this] {
            if (!m_timer || m_running)
                return;
            m_running = true;
            m_timer->tick();
            m_running = false;
        });
        follow();
    }

private:
    void follow() {
        auto* q = static_cast<QTimer*>(parent());
        if (!m_timer)
            return;
        if (m_timer->enabled() && !q->isActive())
            q->start();
        else if (!m_timer->enabled() && q->isActive())
            q->stop();
    }

    QPointer<controls::Timer> m_timer;
    bool m_running = false;
};

} // namespace

QTimer* createTimer(controls::Timer& timer, QObject* parent) {
    auto* qtimer = new QTimer(parent);
    new TimerBinding(timer, qtimer);
    return qtimer;
}

} // namespace view::bindings
