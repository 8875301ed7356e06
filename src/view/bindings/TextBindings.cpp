// Text boxes, labels and frames.

#include "controls/Simple.h"
#include "view/DisplayText.h"
#include "view/bindings/Binding.h"
#include "view/bindings/Families.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

namespace view::bindings {

namespace {

// Typed keys go through the model: at the end of the text they are typed into the model
// (its input rule decides); elsewhere the rule is asked and the widget edits. Focus leaving
// the box for another control of the program runs the model's lost-focus step.
class TextBoxBinding : public Binding {
public:
    TextBoxBinding(controls::TextBox& box, QWidget* widget) : Binding(box, widget) {
        widget->installEventFilter(this);
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            line->setAcceptDrops(false);
            if (box.password()) {
                line->setEchoMode(QLineEdit::Password);
                // The password shows as asterisks.
                line->setStyleSheet(
                    QStringLiteral("QLineEdit { lineedit-password-character: 42 }"));
            }
            QObject::connect(line, &QLineEdit::textEdited, this, [this](const QString& text) {
                if (auto* b = model<controls::TextBox>())
                    b->setText(text);
            });
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
            edit->setAcceptDrops(false);
            QObject::connect(edit, &QPlainTextEdit::textChanged, this, [this, edit] {
                if (m_updating)
                    return;
                // The program's texts end their lines with CR LF.
                if (auto* b = model<controls::TextBox>())
                    b->setText(edit->toPlainText().replace(u'\n', QLatin1String("\r\n")));
            });
        }
        refresh();
    }

protected:
    void update() override {
        auto* b = model<controls::TextBox>();
        if (auto* line = qobject_cast<QLineEdit*>(m)) {
            line->setMaxLength(b->maxLength() > 0 ? b->maxLength() : 32767);
            line->setReadOnly(b->readOnly());
            line->setPlaceholderText(b->placeholder());
            if (line->text() != b->text())
                line->setText(b->text());
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(m)) {
            edit->setReadOnly(b->readOnly());
            const QString shown = displayText(b->text());
            if (edit->toPlainText() != shown) {
                m_updating = true;
                edit->setPlainText(shown);
                m_updating = false;
            }
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* b = model<controls::TextBox>();
        if (watched != m || !b)
            return false;
        switch (event->type()) {
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                b->loseFocus();
            return false;
        }
        case QEvent::ContextMenu:
            if (!b->onKeyPress)
                return false;
            contextMenu(static_cast<QContextMenuEvent*>(event));
            return true;
        case QEvent::KeyPress:
            return keyPress(*b, static_cast<QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    bool atEnd() const {
        if (auto* line = qobject_cast<QLineEdit*>(m))
            return !line->hasSelectedText() && line->cursorPosition() == line->text().size();
        auto* edit = static_cast<QPlainTextEdit*>(m);
        return !edit->textCursor().hasSelection() && edit->textCursor().atEnd();
    }

    bool ruleRefuses(controls::TextBox& b, QChar ch) const {
        return b.onKeyPress && !b.onKeyPress(ch);
    }

    // Pasted text is typed: each character passes the input rule.
    void paste(controls::TextBox& b) {
        auto* line = qobject_cast<QLineEdit*>(m);
        QString text = QApplication::clipboard()->text();
        if (line)
            text = text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
        if (b.readOnly() || text.isEmpty())
            return;
        if (atEnd()) {
            b.type(text);
            return;
        }
        QString accepted;
        for (QChar ch : text)
            if (!ruleRefuses(b, ch))
                accepted += ch;
        if (!m_control)
            return;
        if (line) {
            line->insert(accepted);
            b.setText(line->text());
        } else {
            static_cast<QPlainTextEdit*>(m)->insertPlainText(accepted);
        }
    }

    // The usual edit menu, whose paste types the text through the input rule.
    void contextMenu(QContextMenuEvent* event) {
        QMenu* menu = nullptr;
        if (auto* line = qobject_cast<QLineEdit*>(m))
            menu = line->createStandardContextMenu();
        else
            menu = static_cast<QPlainTextEdit*>(m)->createStandardContextMenu();
        for (QAction* action : menu->actions())
            if (action->objectName() == QLatin1String("edit-paste")) {
                action->disconnect();
                QObject::connect(action, &QAction::triggered, this, [this] {
                    if (auto* box = model<controls::TextBox>())
                        paste(*box);
                });
            }
        menu->exec(event->globalPos());
        delete menu;
    }

    bool keyPress(controls::TextBox& b, QKeyEvent* event) {
        auto* line = qobject_cast<QLineEdit*>(m);
        if (event->matches(QKeySequence::Paste)) {
            paste(b);
            return true;
        }
        const int key = event->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The rule sees these keys. They never become text of a one-line box and go on to
            // the window (Escape closes a dialog); a multi-line box takes Enter as a line
            // break unless the rule refused it.
            const bool refused =
                b.onKeyPress && !b.onKeyPress(QChar(key == Qt::Key_Escape ? 27 : 13));
            if (!m_control)
                return true;
            if (!line && key != Qt::Key_Escape)
                return refused;
            return false;
        }
        if (key == Qt::Key_Backspace) {
            if (b.readOnly())
                return false;
            if (atEnd()) {
                b.type(QStringLiteral("\b"));
                return true;
            }
            return ruleRefuses(b, QChar(8));
        }
        const QString text = event->text();
        if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        for (QChar ch : text)
            if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
                return false;
        if (b.readOnly())
            return false;
        if (atEnd()) {
            b.type(text);
            return true;
        }
        for (QChar ch : text)
            if (ruleRefuses(b, ch))
                return true;
        return false;
    }

    bool m_updating = false;
};

class LabelBinding : public Binding {
public:
    LabelBinding(controls::Control& control, QLabel* widget) : Binding(control, widget) {
        widget->setTextFormat(Qt::PlainText);
        refresh();
    }

protected:
    void update() override {
        auto* w = static_cast<QLabel*>(m);
        if (w->text() != m_control->caption()) {
            w->setText(m_control->caption());
            w->setWordWrap(m_control->caption().size() > 60);
        }
    }
};

class FrameBinding : public Binding {
public:
    FrameBinding(controls::Control& control, QGroupBox* widget) : Binding(control, widget) {
        refresh();
    }

protected:
    void update() override {
        auto* w = static_cast<QGroupBox*>(m);
        if (w->title() != m_control->caption())
            w->setTitle(m_control->caption());
    }
};

} // namespace

QWidget* createTextBox(controls::TextBox& box, QWidget* parent) {
    QWidget* edit = nullptr;
    if (box.multiLine()) {
        auto* plain = new QPlainTextEdit(parent);
        plain->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit = plain;
    } else {
        edit = new QLineEdit(parent);
    }
    new TextBoxBinding(box, edit);
    return edit;
}

QWidget* createLabel(controls::Control& label, QWidget* parent) {
    auto* widget = new QLabel(parent);
    new LabelBinding(label, widget);
    return widget;
}

QWidget* createFrame(controls::Control& frame, QWidget* parent) {
    auto* group = new QGroupBox(parent);
    new FrameBinding(frame, group);
    return group;
}

} // namespace view::bindings
