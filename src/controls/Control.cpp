#include "controls/Control.h"

#include <algorithm>

namespace controls {

Control::Control(Form* form, QString name, QString caption)
    : m_form(form), m_name(std::move(name)), m_caption(std::move(caption)) {
    if (m_form)
        m_form->add(this);
}

Control::~Control() {
    if (m_form)
        m_form->forget(this);
}

void Control::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit changed();
}

void Control::setToolTip(const QString& toolTip) {
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    emit changed();
}

void Control::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit changed();
}

void Control::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    emit changed();
}

void Control::loseFocus() {
    if (onLostFocus)
        onLostFocus();
}

Form::Form(QString name, QString caption)
    : m_name(std::move(name)), m_caption(std::move(caption)) {}

void Form::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit changed();
}

void Form::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    emit changed();
}

void Form::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

Control* Form::find(const QString& name) const {
    for (Control* c : m_controls)
        if (c->name() == name)
            return c;
    return nullptr;
}

void Form::add(Control* control) {
    m_controls.push_back(control);
}

void Form::forget(Control* control) {
    std::erase(m_controls, control);
}

} // namespace controls
