#pragma once

#include "controls/Control.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace view::bindings {

// Base of the widget bindings: the binding is a child of its widget, holds a guarded pointer
// to its model and follows the model's `changed` signal. The common state (tooltip, enabled,
// visible) is applied here, the kind's own state by `update`.
class Binding : public QObject {
public:
    Binding(controls::Control& control, QWidget* widget)
        : QObject(widget), m_control(&control), m(widget) {
        connect(&control, &controls::Control::changed, this, [this] { refresh(); });
    }

    void refresh() {
        if (!m_control)
            return;
        if (m->toolTip() != m_control->toolTip())
            m->setToolTip(m_control->toolTip());
        if (m->isEnabled() != m_control->enabled())
            m->setEnabled(m_control->enabled());
        if (m->isHidden() == m_control->visible())
            m->setHidden(!m_control->visible());
        update();
    }

protected:
    virtual void update() {}
    template <class T> T* model() const { return static_cast<T*>(m_control.data()); }

    QPointer<controls::Control> m_control;
    QWidget* m;
};

/// Twips to pixels at the 96 dpi the program's geometry was drawn for.
inline int twipsToPixels(int twips) {
    return twips / 15;
}

} // namespace view::bindings
