#pragma once

#include "controls/Control.h"

#include <QStringList>

namespace controls {

// A push button, a picture acting as a button, or a menu item.
class Button : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::Button; }
    std::function<void()> onClick;
    /// The user's click: runs the handler when the button is enabled.
    void click();
};

class Picture : public Button {
    Q_OBJECT
public:
    using Button::Button;
    Kind kind() const override { return Kind::Picture; }
};

class MenuItem : public Button {
    Q_OBJECT
public:
    MenuItem(Form* form, QString name, QString caption, bool separator = false)
        : Button(form, std::move(name), std::move(caption)), m_separator(separator) {}
    Kind kind() const override { return Kind::MenuItem; }
    bool separator() const { return m_separator; }

private:
    bool m_separator;
};

class Label : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::Label; }
};

class Frame : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::Frame; }
};

// An on/off box with the greyed third state 2. Setting a new state, from the user or from
// code, runs `onClick` (the change rule); setting the state it already has runs nothing.
class CheckBox : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::CheckBox; }
    int value() const { return m_value; }
    /// Sets the state; false (and nothing changes) for a state other than 0, 1 and 2.
    bool setValue(int value);
    /// The user sets the state: nothing happens while the box is disabled.
    void userSet(int value);
    std::function<void()> onClick;

private:
    int m_value = 0;
};

// A text box. Typed characters pass through `onKeyPress`, which may discard them.
class TextBox : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::TextBox; }
    const QString& text() const { return m_text; }
    /// Replaces the text (as code does); runs `onChange` when it differs.
    void setText(const QString& text);
    /// Keystrokes, one character at a time, each through the input rule; "\b" is backspace.
    void type(const QString& keys);
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int maxLength) { m_maxLength = maxLength; }
    bool password() const { return m_password; }
    void setPassword(bool password) { m_password = password; }
    bool multiLine() const { return m_multiLine; }
    void setMultiLine(bool multiLine) { m_multiLine = multiLine; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    /// The grey hint an empty box shows ("Rechercher ...").
    const QString& placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder) { m_placeholder = placeholder; }

    /// Input rule: return false to discard the typed character.
    std::function<bool(QChar)> onKeyPress;
    std::function<void()> onChange;

private:
    QString m_text;
    int m_maxLength = 0;
    bool m_password = false;
    bool m_multiLine = false;
    bool m_readOnly = false;
    QString m_placeholder;
};

// A drop-down list: its entries and the chosen one (-1 for none). The user's choice of
// another entry runs `onClick`; a choice made by code runs nothing.
class ComboBox : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::ComboBox; }
    const QStringList& items() const { return m_items; }
    void addItem(const QString& item);
    void clear();
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    QString currentText() const { return m_current >= 0 ? m_items.at(m_current) : QString(); }
    /// The user chooses an entry: nothing happens while the list is disabled.
    void userSelect(int index);
    std::function<void()> onClick;

private:
    QStringList m_items;
    int m_current = -1;
};

// A timer model: the view (or the scenario runner) calls `tick` every `interval` ms while
// it is enabled.
class Timer : public Control {
    Q_OBJECT
public:
    Timer(Form* form, QString name, int intervalMs, bool enabled);
    Kind kind() const override { return Kind::Timer; }
    int interval() const { return m_interval; }
    std::function<void()> onTimer;
    /// One period elapsed: runs the handler when enabled.
    void tick();

private:
    int m_interval;
};

// The status bar's simple text.
class StatusBar : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::StatusBar; }
    const QString& simpleText() const { return caption(); }
    void setSimpleText(const QString& text) { setCaption(text); }
};

// Tabs with captions; a disabled tab cannot be selected by the user.
class TabControl : public Control {
    Q_OBJECT
public:
    TabControl(Form* form, QString name, QStringList captions);
    Kind kind() const override { return Kind::TabControl; }
    const QStringList& captions() const { return m_captions; }
    int count() const { return int(m_captions.size()); }
    int current() const { return m_current; }
    /// Selects a tab (from code); runs `onClick` with the previous tab when it changes.
    void setCurrent(int index);
    /// The user selects a tab: nothing happens when that tab is disabled.
    void userSelect(int index);
    bool tabEnabled(int index) const { return m_enabled.at(index); }
    void setTabEnabled(int index, bool enabled);
    std::function<void(int previous)> onClick;

private:
    QStringList m_captions;
    std::vector<bool> m_enabled;
    int m_current = 0;
};

} // namespace controls
