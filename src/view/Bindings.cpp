#include "view/Bindings.h"

#include "controls/Chart.h"
#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"
#include "view/bindings/Families.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace view {

using controls::Control;

QWidget* createWidget(Control& control, QWidget* parent) {
    using namespace bindings;
    QWidget* w = nullptr;
    switch (control.kind()) {
    case Control::Kind::Button:
        w = createButton(static_cast<controls::Button&>(control), parent);
        break;
    case Control::Kind::Picture:
        w = createPicture(static_cast<controls::Button&>(control), parent);
        break;
    case Control::Kind::CheckBox:
        w = createCheckBox(static_cast<controls::CheckBox&>(control), parent);
        break;
    case Control::Kind::TextBox:
        w = createTextBox(static_cast<controls::TextBox&>(control), parent);
        break;
    case Control::Kind::Label:
        w = createLabel(control, parent);
        break;
    case Control::Kind::Frame:
        w = createFrame(control, parent);
        break;
    case Control::Kind::ListView:
        w = createListView(static_cast<controls::ListView&>(control), parent);
        break;
    case Control::Kind::ListBox:
        w = createListBox(static_cast<controls::ListBox&>(control), parent);
        break;
    case Control::Kind::ComboBox:
        w = createComboBox(static_cast<controls::ComboBox&>(control), parent);
        break;
    case Control::Kind::StatusBar:
        w = createStatusBar(control, parent);
        break;
    case Control::Kind::TabControl:
        w = createTabs(static_cast<controls::TabControl&>(control), parent);
        break;
    case Control::Kind::DriveList:
        w = createDriveList(static_cast<controls::DriveList&>(control), parent);
        break;
    case Control::Kind::FolderList:
        w = createFolderList(static_cast<controls::FolderList&>(control), parent);
        break;
    case Control::Kind::Chart:
        w = createChart(static_cast<controls::Chart&>(control), parent);
        break;
    default:
        return nullptr;
    }
    w->setObjectName(control.name());
    return w;
}

QWidget* createLinkLabel(Control& control, QWidget* parent) {
    QWidget* label = bindings::createLink(control, parent);
    label->setObjectName(control.name());
    return label;
}

QTimer* bindTimer(Control& timer, QObject* parent) {
    auto* t = qobject_cast<controls::Timer*>(&timer);
    if (!t)
        return nullptr;
    QTimer* q = bindings::createTimer(*t, parent);
    q->setObjectName(timer.name());
    return q;
}

QAction* bindMenuItem(Control& item, QObject* parent) {
    auto* m = qobject_cast<controls::MenuItem*>(&item);
    if (!m)
        return nullptr;
    QAction* a = bindings::createMenuAction(*m, parent);
    a->setObjectName(item.name());
    return a;
}

FormWidgets::FormWidgets(controls::Form& form, QWidget* owner)
    : QObject(owner), m_form(form), m_owner(owner) {}

QWidget* FormWidgets::get(const QString& name) {
    if (auto it = m_widgets.find(name); it != m_widgets.end() && *it)
        return *it;
    Control* c = m_form.find(name);
    if (!c)
        return nullptr;
    QWidget* w = createWidget(*c, m_owner);
    if (w)
        m_widgets.insert(name, w);
    return w;
}

QWidget* FormWidgets::getLink(const QString& name) {
    if (auto it = m_widgets.find(name); it != m_widgets.end() && *it)
        return *it;
    Control* c = m_form.find(name);
    if (!c || c->kind() != Control::Kind::Button)
        return get(name);
    QWidget* w = createLinkLabel(*c, m_owner);
    m_widgets.insert(name, w);
    return w;
}

QStringList FormWidgets::unplaced() const {
    QStringList names;
    for (Control* c : m_form.controls()) {
        switch (c->kind()) {
        case Control::Kind::Timer:
        case Control::Kind::MenuItem:
        case Control::Kind::FileList: // a source of file names for the form, never shown
            continue;
        default:
            if (!m_widgets.contains(c->name()))
                names.append(c->name());
        }
    }
    return names;
}

void FormWidgets::bindTimers() {
    for (Control* c : m_form.controls())
        if (c->kind() == Control::Kind::Timer && !m_timers.contains(c->name()))
            m_timers.insert(c->name(), bindTimer(*c, this));
}

QMenu* FormWidgets::buildMenu(const QString& menuName, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(menuName);
    bool inMenu = false;
    for (Control* c : m_form.controls()) {
        if (c->kind() != Control::Kind::MenuItem) {
            inMenu = false;
            continue;
        }
        if (c->name() == menuName) {
            inMenu = true;
            menu->setTitle(c->caption());
            continue;
        }
        if (inMenu)
            menu->addAction(bindMenuItem(*c, menu));
    }
    return menu;
}

} // namespace view
