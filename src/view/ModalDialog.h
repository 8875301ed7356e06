#pragma once

#include <QDialog>

namespace platform {
class ModalForm;
}

namespace view {

class FormWidgets;

// A modal form of the program (the cookie details, the About box) as a dialog. The form
// decides when it is done: the close box and Escape only ask it to close.
class ModalDialog : public QDialog {
    Q_OBJECT
public:
    ModalDialog(platform::ModalForm& form, QWidget* parent = nullptr);

    FormWidgets& widgets() { return *m_widgets; }
    /// Shows the dialog and returns once the form has closed.
    void run();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void layOutDetails();
    void layOutAbout();
    void layOutGeneric();
    void checkClosed();

    platform::ModalForm& m_form;
    FormWidgets* m_widgets;
};

} // namespace view
