// Check boxes.

#include "controls/Simple.h"
#include "view/bindings/Binding.h"
#include "view/bindings/Families.h"

#include <QCheckBox>

namespace view::bindings {

namespace {

// A check box whose state is the model's: a click asks the model (its change rule may refuse
// or change other boxes), then shows whatever state the model holds.
class ModelCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;
    QPointer<controls::CheckBox> box;
    void showState() {
        if (!box)
            return;
        const Qt::CheckState state = box->value() == 1   ? Qt::Checked
                                     : box->value() == 2 ? Qt::PartiallyChecked
                                                         : Qt::Unchecked;
        if (checkState() != state)
            setCheckState(state);
    }

protected:
    void nextCheckState() override {
        if (box)
            box->userSet(box->value() == 1 ? 0 : 1);
        showState();
    }
};

class CheckBoxBinding : public Binding {
public:
    CheckBoxBinding(controls::CheckBox& box, ModelCheckBox* widget) : Binding(box, widget) {
        widget->box = &box;
        refresh();
    }

protected:
    void update() override {
        auto* w = static_cast<ModelCheckBox*>(m);
        if (w->text() != m_control->caption())
            w->setText(m_control->caption());
        w->showState();
    }
};

} // namespace

QWidget* createCheckBox(controls::CheckBox& box, QWidget* parent) {
    auto* widget = new ModelCheckBox(parent);
    new CheckBoxBinding(box, widget);
    return widget;
}

} // namespace view::bindings
