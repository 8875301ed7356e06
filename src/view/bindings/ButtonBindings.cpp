// Buttons, clickable text lines and menu items: their caption follows the model, and the
// user's click clicks the model.

#include "controls/Simple.h"
#include "view/bindings/Binding.h"
#include "view/bindings/ClickableLabel.h"
#include "view/bindings/Families.h"

#include <QAction>
#include <QPushButton>

namespace view::bindings {

namespace {

class ButtonBinding : public Binding {
public:
    ButtonBinding(controls::Button& button, QPushButton* widget) : Binding(button, widget) {
        widget->setAutoDefault(false);
        QObject::connect(widget, &QPushButton::clicked, this, [this] {
            if (auto* b = model<controls::Button>())
                b->click();
        });
        refresh();
    }

protected:
    void update() override {
        auto* w = static_cast<QPushButton*>(m);
        if (w->text() != m_control->caption())
            w->setText(m_control->caption());
    }
};

// A clickable text line bound to a button model (an e-mail or web address line).
class LinkBinding : public Binding {
public:
    LinkBinding(controls::Control& control, ClickableLabel* widget) : Binding(control, widget) {
        widget->setTextFormat(Qt::PlainText);
        widget->setCursor(Qt::PointingHandCursor);
        QPalette pal = widget->palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
        widget->setPalette(pal);
        QFont font = widget->font();
        font.setUnderline(true);
        widget->setFont(font);
        QObject::connect(widget, &ClickableLabel::clicked, this, [this] {
            if (auto* b = qobject_cast<controls::Button*>(m_control.data()))
                b->click();
        });
        refresh();
    }

protected:
    void update() override {
        auto* w = static_cast<QLabel*>(m);
        if (w->text() != m_control->caption())
            w->setText(m_control->caption());
    }
};

class MenuItemBinding : public QObject {
public:
    MenuItemBinding(controls::MenuItem& item, QAction* action) : QObject(action), m_item(&item) {
        action->setSeparator(item.separator());
        connect(&item, &controls::Control::changed, this, [this] { follow(); });
        connect(action, &QAction::triggered, this, [this] {
            if (m_item)
                m_item->click();
        });
        follow();
    }

private:
    void follow() {
        auto* a = static_cast<QAction*>(parent());
        if (!m_item)
            return;
        if (!m_item->separator())
            a->setText(m_item->caption());
        a->setToolTip(m_item->toolTip());
        a->setEnabled(m_item->enabled());
        a->setVisible(m_item->visible());
    }

    QPointer<controls::MenuItem> m_item;
};

} // namespace

QWidget* createButton(controls::Button& button, QWidget* parent) {
    auto* widget = new QPushButton(parent);
    new ButtonBinding(button, widget);
    return widget;
}

QWidget* createLink(controls::Control& control, QWidget* parent) {
    auto* label = new ClickableLabel(parent);
    new LinkBinding(control, label);
    return label;
}

QAction* createMenuAction(controls::MenuItem& item, QObject* parent) {
    auto* action = new QAction(parent);
    new MenuItemBinding(item, action);
    return action;
}

} // namespace view::bindings
