#include "view/ModalDialog.h"

#include "controls/Simple.h"
#include "platform/ModalForm.h"
#include "view/Bindings.h"
#include "view/Icons.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

namespace view {

using controls::Control;

namespace {

bool isButton(const Control& c) {
    return c.kind() == Control::Kind::Button;
}

bool isField(const Control& c) {
    return c.kind() == Control::Kind::TextBox || c.kind() == Control::Kind::ComboBox ||
           c.kind() == Control::Kind::ListBox || c.kind() == Control::Kind::ListView;
}

bool isWidgetKind(const Control& c) {
    return c.kind() != Control::Kind::Timer && c.kind() != Control::Kind::MenuItem;
}

} // namespace

ModalDialog::ModalDialog(platform::ModalForm& form, QWidget* parent)
    : QDialog(parent), m_form(form), m_widgets(new FormWidgets(form.form(), this)) {
    controls::Form& f = form.form();
    setObjectName(f.name());
    setWindowTitle(f.caption());
    setWindowIcon(appIcon());
    setModal(true);
    connect(&f, &controls::Form::changed, this, [this] {
        setWindowTitle(m_form.form().caption());
        checkClosed();
    });
    if (f.name() == QLatin1String("frmAbout"))
        layOutAbout();
    else
        layOutGeneric();
    m_widgets->bindTimers();
}

// The About box: the picture on the left; title, version, author and the link lines on the
// right; the buttons below.
void ModalDialog::layOutAbout() {
    FormWidgets& w = *m_widgets;
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    outer->addLayout(top, 1);
    auto* left = new QVBoxLayout;
    if (QWidget* logo = w.get(QStringLiteral("Image1")))
        left->addWidget(logo, 0, Qt::AlignTop);
    left->addStretch(1);
    top->addLayout(left);
    top->addSpacing(12);

    auto* right = new QVBoxLayout;
    if (auto* title = w.getAs<QLabel>(QStringLiteral("lblTitle"))) {
        QFont font = title->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.8);
        title->setFont(font);
        right->addWidget(title);
    }
    for (const char* name : {"lblVersion", "lblDescription", "Label2"})
        if (QWidget* line = w.get(QString::fromLatin1(name)))
            right->addWidget(line);
    right->addSpacing(8);
    for (const char* name : {"lblDisclaimer", "Label3"})
        if (QWidget* link = w.getLink(QString::fromLatin1(name)))
            right->addWidget(link);
    if (QWidget* donation = w.get(QStringLiteral("Image2")))
        right->addWidget(donation, 0, Qt::AlignLeft);
    // Any further line of the box, in its order.
    const QStringList rest = w.unplaced();
    for (Control* c : m_form.form().controls())
        if (isWidgetKind(*c) && !isButton(*c) && rest.contains(c->name()))
            if (QWidget* extra = w.get(c->name()))
                right->addWidget(extra);
    right->addStretch(1);
    top->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    if (QWidget* details = w.get(QStringLiteral("Command1")))
        buttons->addWidget(details);
    buttons->addStretch(1);
    for (Control* c : m_form.form().controls())
        if (isButton(*c) && c->name() != QLatin1String("cmdOK") && w.unplaced().contains(c->name()))
            buttons->addWidget(w.get(c->name()));
    if (QWidget* ok = w.get(QStringLiteral("cmdOK")))
        buttons->addWidget(ok);
    outer->addLayout(buttons);
    setMinimumWidth(480);
}

// Any other form, the cookie details among them: the controls in their declared order, a
// label followed by its box on one row, a multi-line box over the full width, the buttons
// in a row at the bottom.
void ModalDialog::layOutGeneric() {
    FormWidgets& w = *m_widgets;
    auto* outer = new QVBoxLayout(this);
    auto* rows = new QFormLayout;
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    outer->addLayout(rows, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);

    const auto& controls = m_form.form().controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Control* c = controls[i];
        if (!isWidgetKind(*c))
            continue;
        if (isButton(*c)) {
            buttons->addWidget(w.get(c->name()));
            continue;
        }
        QWidget* widget = w.get(c->name());
        if (!widget)
            continue;
        Control* next = i + 1 < controls.size() ? controls[i + 1] : nullptr;
        if (c->kind() == Control::Kind::Label && next && isField(*next)) {
            QWidget* field = w.get(next->name());
            ++i;
            if (qobject_cast<QPlainTextEdit*>(field) || next->kind() == Control::Kind::ListView ||
                next->kind() == Control::Kind::ListBox) {
                rows->addRow(widget);
                rows->addRow(field);
            } else {
                rows->addRow(widget, field);
            }
            continue;
        }
        rows->addRow(widget);
    }
    outer->addLayout(buttons);
    setMinimumWidth(520);
}

void ModalDialog::run() {
    // The form closes itself from its own handlers (a button, a key); its state is looked at
    // after every event and on a short timer.
    auto* poll = new QTimer(this);
    poll->setInterval(50);
    connect(poll, &QTimer::timeout, this, [this] { checkClosed(); });
    poll->start();
    // The first text box takes the focus.
    for (Control* c : m_form.form().controls())
        if (c->kind() == Control::Kind::TextBox)
            if (QWidget* first = m_widgets->get(c->name())) {
                first->setFocus();
                break;
            }
    if (m_form.closed())
        return;
    exec();
    poll->stop();
}

void ModalDialog::checkClosed() {
    if (m_form.closed() && isVisible())
        done(QDialog::Accepted);
}

void ModalDialog::reject() {
    if (!m_form.closed())
        m_form.requestClose();
    checkClosed();
}

void ModalDialog::closeEvent(QCloseEvent* event) {
    if (!m_form.closed())
        m_form.requestClose();
    if (m_form.closed())
        event->accept();
    else
        event->ignore();
}

} // namespace view
