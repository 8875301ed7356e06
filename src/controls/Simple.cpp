#include "controls/Simple.h"

namespace controls {

void Button::click() {
    if (enabled() && onClick)
        onClick();
}

bool CheckBox::setValue(int value) {
    if (value < 0 || value > 2)
        return false;
    if (value == m_value)
        return true;
    m_value = value;
    emit changed();
    if (onClick)
        onClick();
    return true;
}

void CheckBox::userSet(int value) {
    if (enabled())
        setValue(value);
}

void TextBox::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    emit changed();
    if (onChange)
        onChange();
}

void TextBox::type(const QString& keys) {
    if (!enabled())
        return;
    for (QChar ch : keys) {
        if (onKeyPress && !onKeyPress(ch))
            continue;
        if (m_readOnly)
            continue;
        if (ch == QChar(8)) {
            if (!m_text.isEmpty())
                setText(m_text.left(m_text.size() - 1));
        } else if (m_maxLength <= 0 || m_text.size() < m_maxLength) {
            setText(m_text + ch);
        }
    }
}

void ComboBox::addItem(const QString& item) {
    m_items.append(item);
    emit changed();
}

void ComboBox::clear() {
    m_items.clear();
    m_current = -1;
    emit changed();
}

void ComboBox::setCurrentIndex(int index) {
    if (index < -1 || index >= m_items.size() || index == m_current)
        return;
    m_current = index;
    emit changed();
}

void ComboBox::userSelect(int index) {
    if (!enabled() || index < 0 || index >= m_items.size() || index == m_current)
        return;
    setCurrentIndex(index);
    if (onClick)
        onClick();
}

Timer::Timer(Form* form, QString name, int intervalMs, bool enabled)
    : Control(form, std::move(name)), m_interval(intervalMs) {
    setEnabled(enabled);
}

void Timer::tick() {
    if (enabled() && onTimer)
        onTimer();
}

TabControl::TabControl(Form* form, QString name, QStringList captions)
    : Control(form, std::move(name)), m_captions(std::move(captions)),
      m_enabled(m_captions.size(), true) {}

void TabControl::setCurrent(int index) {
    if (index < 0 || index >= count() || index == m_current)
        return;
    const int previous = m_current;
    m_current = index;
    emit changed();
    if (onClick)
        onClick(previous);
}

void TabControl::userSelect(int index) {
    if (enabled() && index >= 0 && index < count() && m_enabled.at(index))
        setCurrent(index);
}

void TabControl::setTabEnabled(int index, bool enabled) {
    if (index < 0 || index >= count() || m_enabled.at(index) == enabled)
        return;
    m_enabled[index] = enabled;
    emit changed();
}

} // namespace controls
