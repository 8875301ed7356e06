#include "view/Bindings.h"

#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"
#include "view/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

namespace view {

using controls::Control;

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

QString displayText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

namespace {

// Twips to pixels at the 96 dpi the program's geometry was drawn for.
int twipsToPixels(int twips) {
    return twips / 15;
}

// Base of the bindings: the binding is a child of its widget, holds a guarded pointer to its
// model and follows the model's `changed` signal. The common state (tooltip, enabled,
// visible) is applied here, the kind's own state by `update`.
class Binding : public QObject {
public:
    Binding(Control& control, QWidget* widget) : QObject(widget), m_control(&control), m(widget) {
        connect(&control, &Control::changed, this, [this] { refresh(); });
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

    QPointer<Control> m_control;
    QWidget* m;
};

// --- Buttons and pictures -----------------------------------------------------------------

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

class PictureBinding : public Binding {
public:
    PictureBinding(controls::Button& picture, ClickableLabel* widget) : Binding(picture, widget) {
        widget->setPixmap(
            pictureFor(picture.form() ? picture.form()->name() : QString(), picture.name()));
        widget->setCursor(Qt::PointingHandCursor);
        widget->setAlignment(Qt::AlignCenter);
        QObject::connect(widget, &ClickableLabel::clicked, this, [this] {
            if (auto* b = model<controls::Button>())
                b->click();
        });
        refresh();
    }
};

// A clickable text line bound to a button model (an e-mail or web address line).
class LinkBinding : public Binding {
public:
    LinkBinding(Control& control, ClickableLabel* widget) : Binding(control, widget) {
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

// --- Check box ------------------------------------------------------------------------------

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

// --- Text boxes -----------------------------------------------------------------------------

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

// --- Labels, frames, status bar -------------------------------------------------------------

class LabelBinding : public Binding {
public:
    LabelBinding(Control& control, QLabel* widget) : Binding(control, widget) {
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
    FrameBinding(Control& control, QGroupBox* widget) : Binding(control, widget) { refresh(); }

protected:
    void update() override {
        auto* w = static_cast<QGroupBox*>(m);
        if (w->title() != m_control->caption())
            w->setTitle(m_control->caption());
    }
};

class StatusBarBinding : public Binding {
public:
    StatusBarBinding(Control& control, QStatusBar* widget) : Binding(control, widget) {
        m_text = new QLabel(widget);
        m_text->setObjectName(QStringLiteral("SbText"));
        m_text->setTextFormat(Qt::PlainText);
        // A long page name must not widen the window.
        m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_text->setMinimumWidth(0);
        widget->addWidget(m_text, 1);
        widget->setSizeGripEnabled(true);
        refresh();
    }

protected:
    void update() override {
        const QString text = displayText(m_control->caption());
        if (m_text->text() != text) {
            m_text->setText(text);
            m_text->setToolTip(text);
        }
    }

private:
    QLabel* m_text;
};

// --- Lists ----------------------------------------------------------------------------------

// Cells keep to one line: a record's source text (several lines) shows its lines side by
// side, so every row has the same height and a long list scrolls evenly.
class OneLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        // The base class has already turned line feeds into line separators.
        QString text = QStyledItemDelegate::displayText(value, locale);
        text.replace(QLatin1String("\r") + QChar(QChar::LineSeparator), QLatin1String(" "));
        for (QChar brk : {QChar(QChar::LineSeparator), QChar(u'\n'), QChar(u'\r')})
            text.replace(brk, u' ');
        return text;
    }
};

// A report list over the list's own table model, so 100,000 rows show at once. The selection
// lives in the model's rows; the view mirrors it and reports the user's changes.
class ListViewBinding : public Binding {
public:
    ListViewBinding(controls::ListView& list, QTreeView* view) : Binding(list, view) {
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setItemsExpandable(false);
        view->setAllColumnsShowFocus(true);
        view->setAlternatingRowColors(false);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setTextElideMode(Qt::ElideRight);
        view->header()->setStretchLastSection(true);
        view->header()->setSectionsMovable(false);
        view->setItemDelegate(new OneLineDelegate(view));
        view->setModel(list.model());
        view->viewport()->installEventFilter(this);
        QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                         [this](const QItemSelection& on, const QItemSelection& off) {
                             userSelection(on, off);
                         });
        QObject::connect(view, &QAbstractItemView::clicked, this, [this] {
            if (auto* l = model<controls::ListView>())
                l->click();
        });
        QObject::connect(view, &QAbstractItemView::doubleClicked, this, [this] {
            if (auto* l = model<controls::ListView>())
                l->dblClick();
        });
        QAbstractItemModel* source = list.model();
        QObject::connect(source, &QAbstractItemModel::modelReset, this, [this] { scheduleSync(); });
        QObject::connect(source, &QAbstractItemModel::layoutChanged, this,
                         [this] { scheduleSync(); });
        QObject::connect(source, &QAbstractItemModel::rowsInserted, this,
                         [this] { scheduleSync(); });
        QObject::connect(source, &QAbstractItemModel::rowsRemoved, this,
                         [this] { scheduleSync(); });
        refresh();
        syncSelection();
    }

protected:
    void update() override {
        auto* l = model<controls::ListView>();
        auto* view = static_cast<QTreeView*>(m);
        view->setHeaderHidden(!l->headerVisible());
        view->setSelectionMode(l->multiSelect() ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
        QList<int> widths;
        QStringList headers;
        for (const auto& c : l->columns()) {
            widths.append(c.width);
            headers.append(c.header);
        }
        // Widths are applied when the columns change, so a column the user widened stays.
        if (widths != m_widths || headers != m_headers) {
            m_widths = widths;
            m_headers = headers;
            for (int i = 0; i < widths.size(); ++i)
                view->setColumnWidth(i, qMax(20, twipsToPixels(widths[i])));
        }
        scheduleSync();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        // The list's own tooltip ("Double clic pour ...") over the rows rather than the
        // cell text.
        if (event->type() == QEvent::ToolTip && m_control && !m_control->toolTip().isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_control->toolTip(),
                               m);
            return true;
        }
        return false;
    }

private:
    // Row selection changes come one row at a time from code that walks a long list; the
    // view is brought in line once, when the program is idle again.
    void scheduleSync() {
        if (m_syncPending)
            return;
        m_syncPending = true;
        QTimer::singleShot(0, this, [this] {
            m_syncPending = false;
            syncSelection();
        });
    }

    void syncSelection() {
        auto* l = model<controls::ListView>();
        if (!l)
            return;
        auto* view = static_cast<QTreeView*>(m);
        QAbstractItemModel* source = l->model();
        const int lastColumn = qMax(0, source->columnCount() - 1);
        QItemSelection wanted;
        const int rows = l->rowCount();
        for (int r = 0; r < rows;) {
            if (!l->isSelected(r)) {
                ++r;
                continue;
            }
            int end = r;
            while (end + 1 < rows && l->isSelected(end + 1))
                ++end;
            wanted.select(source->index(r, 0), source->index(end, lastColumn));
            r = end + 1;
        }
        m_syncing = true;
        view->selectionModel()->select(wanted, QItemSelectionModel::ClearAndSelect);
        m_syncing = false;
    }

    void userSelection(const QItemSelection& on, const QItemSelection& off) {
        auto* l = model<controls::ListView>();
        if (m_syncing || !l)
            return;
        m_syncing = true;
        for (const QItemSelectionRange& range : off)
            for (int r = range.top(); r <= range.bottom(); ++r)
                if (!static_cast<QTreeView*>(m)->selectionModel()->isRowSelected(r, {}))
                    l->setSelected(r, false);
        for (const QItemSelectionRange& range : on)
            for (int r = range.top(); r <= range.bottom(); ++r)
                l->setSelected(r, true);
        m_syncing = false;
    }

    QList<int> m_widths;
    QStringList m_headers;
    bool m_syncing = false;
    bool m_syncPending = false;
};

class ListBoxBinding : public Binding {
public:
    ListBoxBinding(controls::ListBox& box, QListWidget* widget) : Binding(box, widget) {
        widget->setUniformItemSizes(true);
        QObject::connect(widget, &QListWidget::itemSelectionChanged, this,
                         [this] { userSelection(); });
        QObject::connect(widget, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
            auto* b = model<controls::ListBox>();
            if (!b || m_syncing)
                return;
            const int row = static_cast<QListWidget*>(m)->row(item);
            if (b->multiSelect()) {
                m_syncing = true;
                b->setListIndex(row);
                m_syncing = false;
            }
        });
        QObject::connect(widget, &QListWidget::itemClicked, this, [this] {
            if (auto* b = model<controls::ListBox>())
                b->click();
        });
        QObject::connect(widget, &QListWidget::itemDoubleClicked, this, [this] {
            if (auto* b = model<controls::ListBox>())
                b->dblClick();
        });
        refresh();
        sync();
    }

protected:
    void update() override {
        auto* b = model<controls::ListBox>();
        static_cast<QListWidget*>(m)->setSelectionMode(b->multiSelect()
                                                           ? QAbstractItemView::ExtendedSelection
                                                           : QAbstractItemView::SingleSelection);
        if (m_syncPending)
            return;
        m_syncPending = true;
        QTimer::singleShot(0, this, [this] {
            m_syncPending = false;
            sync();
        });
    }

private:
    void sync() {
        auto* b = model<controls::ListBox>();
        if (!b)
            return;
        auto* w = static_cast<QListWidget*>(m);
        m_syncing = true;
        bool same = w->count() == b->count();
        for (int i = 0; same && i < b->count(); ++i)
            same = w->item(i)->text() == b->item(i);
        if (!same) {
            w->clear();
            w->addItems(b->items());
        }
        for (int i = 0; i < b->count(); ++i)
            if (w->item(i)->isSelected() != b->isSelected(i))
                w->item(i)->setSelected(b->isSelected(i));
        if (b->listIndex() >= 0 && w->currentRow() != b->listIndex())
            w->setCurrentRow(b->listIndex(), QItemSelectionModel::NoUpdate);
        m_syncing = false;
    }

    void userSelection() {
        auto* b = model<controls::ListBox>();
        if (m_syncing || !b)
            return;
        auto* w = static_cast<QListWidget*>(m);
        if (w->count() != b->count())
            return;
        m_syncing = true;
        if (!b->multiSelect()) {
            const auto items = w->selectedItems();
            if (!items.isEmpty())
                b->setListIndex(w->row(items.first()));
        } else {
            for (int i = 0; i < b->count(); ++i)
                if (w->item(i)->isSelected() != b->isSelected(i))
                    b->setSelected(i, w->item(i)->isSelected());
        }
        m_syncing = false;
    }

    bool m_syncing = false;
    bool m_syncPending = false;
};

class ComboBoxBinding : public Binding {
public:
    ComboBoxBinding(controls::ComboBox& box, QComboBox* widget) : Binding(box, widget) {
        widget->setEditable(false);
        QObject::connect(widget, &QComboBox::activated, this, [this](int index) {
            if (auto* b = model<controls::ComboBox>(); b && !m_syncing)
                b->setCurrentIndex(index);
        });
        widget->installEventFilter(this);
        refresh();
    }

protected:
    void update() override {
        auto* b = model<controls::ComboBox>();
        auto* w = static_cast<QComboBox*>(m);
        m_syncing = true;
        QStringList shown;
        for (int i = 0; i < w->count(); ++i)
            shown.append(w->itemText(i));
        if (shown != b->items()) {
            w->clear();
            w->addItems(b->items());
        }
        if (w->currentIndex() != b->currentIndex())
            w->setCurrentIndex(b->currentIndex());
        m_syncing = false;
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut && m_control) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_control->loseFocus();
        }
        return false;
    }

private:
    bool m_syncing = false;
};

// --- Drive and folder lists -----------------------------------------------------------------

// The drive list as a drop-down list; the user's choice goes to the model.
class DriveListBinding : public Binding {
public:
    DriveListBinding(controls::DriveList& drives, QComboBox* widget) : Binding(drives, widget) {
        widget->setEditable(false);
        QObject::connect(widget, &QComboBox::activated, this, [this](int index) {
            if (auto* d = model<controls::DriveList>(); d && !m_syncing) {
                d->choose(index);
                if (m_control)
                    update();
            }
        });
        refresh();
    }

protected:
    void update() override {
        auto* d = model<controls::DriveList>();
        auto* w = static_cast<QComboBox*>(m);
        m_syncing = true;
        QStringList shown;
        for (int i = 0; i < w->count(); ++i)
            shown.append(w->itemText(i));
        if (shown != d->drives()) {
            w->clear();
            w->addItems(d->drives());
        }
        if (w->currentIndex() != d->currentIndex())
            w->setCurrentIndex(d->currentIndex());
        m_syncing = false;
    }

private:
    bool m_syncing = false;
};

// The folder list as a folder tree is drawn in a list: the folders from the root down to
// the current one, then the current folder's subfolders, one step further in. A double
// click opens a subfolder or goes back up to a folder above.
class FolderListBinding : public Binding {
public:
    FolderListBinding(controls::FolderList& folders, QListWidget* widget)
        : Binding(folders, widget) {
        widget->setUniformItemSizes(true);
        widget->setSelectionMode(QAbstractItemView::SingleSelection);
        QObject::connect(widget, &QListWidget::itemActivated, this,
                         [this](QListWidgetItem* item) { activated(item); });
        refresh();
    }

protected:
    void update() override {
        auto* f = model<controls::FolderList>();
        auto* w = static_cast<QListWidget*>(m);
        const QStringList chain = ancestors(f->path());
        if (chain == m_chain && f->folders() == m_folders)
            return;
        m_chain = chain;
        m_folders = f->folders();
        w->clear();
        const QIcon closed = w->style()->standardIcon(QStyle::SP_DirClosedIcon);
        const QIcon open = w->style()->standardIcon(QStyle::SP_DirOpenIcon);
        for (int i = 0; i < chain.size(); ++i) {
            const QString name = i == 0 ? QStringLiteral("/") : chain.at(i).section(u'/', -1);
            auto* item = new QListWidgetItem(open, QString(2 * i, u' ') + name, w);
            item->setData(Qt::UserRole, -1 - (int(chain.size()) - 1 - i)); // levels up
            item->setToolTip(chain.at(i));
        }
        for (int i = 0; i < m_folders.size(); ++i) {
            auto* item = new QListWidgetItem(
                closed, QString(2 * int(chain.size()), u' ') + m_folders.at(i), w);
            item->setData(Qt::UserRole, i);
        }
        if (!chain.isEmpty())
            w->setCurrentRow(int(chain.size()) - 1);
    }

private:
    static QStringList ancestors(const QString& path) {
        if (path.isEmpty())
            return {};
        QStringList chain{QStringLiteral("/")};
        QString walked;
        for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
            walked += u'/' + part;
            chain.append(walked);
        }
        return chain;
    }

    void activated(QListWidgetItem* item) {
        auto* f = model<controls::FolderList>();
        if (!f || !item)
            return;
        const int code = item->data(Qt::UserRole).toInt();
        if (code >= 0) {
            f->openFolder(code);
            return;
        }
        // -1 is the current folder itself; -1 - n is n levels up.
        for (int up = -1 - code; up > 0 && m_control; --up)
            f->openParent();
    }

    QStringList m_chain;
    QStringList m_folders;
};

// --- Tabs -----------------------------------------------------------------------------------

// The pages are plain widgets that the window fills; the binding keeps the captions, the
// disabled tabs and the current tab, and gives the user's choice to the model, which may
// refuse it or choose another tab.
class TabBinding : public Binding {
public:
    TabBinding(controls::TabControl& tabs, QTabWidget* widget) : Binding(tabs, widget) {
        m_syncing = true;
        for (int i = 0; i < tabs.count(); ++i) {
            auto* page = new QWidget(widget);
            page->setObjectName(tabs.name() + QStringLiteral("_page") + QString::number(i));
            widget->addTab(page, tabs.captions().at(i));
        }
        m_syncing = false;
        QObject::connect(widget, &QTabWidget::currentChanged, this, [this](int index) {
            auto* t = model<controls::TabControl>();
            if (m_syncing || !t)
                return;
            t->userSelect(index);
            if (m_control)
                update();
        });
        refresh();
    }

protected:
    void update() override {
        auto* t = model<controls::TabControl>();
        auto* w = static_cast<QTabWidget*>(m);
        m_syncing = true;
        for (int i = 0; i < t->count() && i < w->count(); ++i) {
            if (w->tabText(i) != t->captions().at(i))
                w->setTabText(i, t->captions().at(i));
            if (w->isTabEnabled(i) != t->tabEnabled(i))
                w->setTabEnabled(i, t->tabEnabled(i));
        }
        if (w->currentIndex() != t->current())
            w->setCurrentIndex(t->current());
        m_syncing = false;
    }

private:
    bool m_syncing = false;
};

// --- Timers and menu items ------------------------------------------------------------------

class TimerBinding : public QObject {
public:
    TimerBinding(controls::Timer& timer, QTimer* qtimer) : QObject(qtimer), m_timer(&timer) {
        qtimer->setInterval(timer.interval());
        connect(&timer, &Control::changed, this, [this] { follow(); });
        connect(qtimer, &QTimer::timeout, this, [this] {
            if (!m_timer || m_running)
                return;
            m_running = true;
            m_timer->tick();
            m_running = false;
        });
        follow();
    }

private:
    void follow() {
        auto* q = static_cast<QTimer*>(parent());
        if (!m_timer)
            return;
        if (m_timer->enabled() && !q->isActive())
            q->start();
        else if (!m_timer->enabled() && q->isActive())
            q->stop();
    }

    QPointer<controls::Timer> m_timer;
    bool m_running = false;
};

class MenuItemBinding : public QObject {
public:
    MenuItemBinding(controls::MenuItem& item, QAction* action) : QObject(action), m_item(&item) {
        action->setSeparator(item.separator());
        connect(&item, &Control::changed, this, [this] { follow(); });
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

QWidget* createWidget(Control& control, QWidget* parent) {
    QWidget* w = nullptr;
    switch (control.kind()) {
    case Control::Kind::Button: {
        auto* button = new QPushButton(parent);
        new ButtonBinding(static_cast<controls::Button&>(control), button);
        w = button;
        break;
    }
    case Control::Kind::Picture: {
        auto* label = new ClickableLabel(parent);
        new PictureBinding(static_cast<controls::Button&>(control), label);
        w = label;
        break;
    }
    case Control::Kind::CheckBox: {
        auto* box = new ModelCheckBox(parent);
        new CheckBoxBinding(static_cast<controls::CheckBox&>(control), box);
        w = box;
        break;
    }
    case Control::Kind::TextBox: {
        auto& model = static_cast<controls::TextBox&>(control);
        QWidget* edit = nullptr;
        if (model.multiLine()) {
            auto* plain = new QPlainTextEdit(parent);
            plain->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit = plain;
        } else {
            edit = new QLineEdit(parent);
        }
        new TextBoxBinding(model, edit);
        w = edit;
        break;
    }
    case Control::Kind::Label: {
        auto* label = new QLabel(parent);
        new LabelBinding(control, label);
        w = label;
        break;
    }
    case Control::Kind::Frame: {
        auto* group = new QGroupBox(parent);
        new FrameBinding(control, group);
        w = group;
        break;
    }
    case Control::Kind::ListView: {
        auto* view = new QTreeView(parent);
        new ListViewBinding(static_cast<controls::ListView&>(control), view);
        w = view;
        break;
    }
    case Control::Kind::ListBox: {
        auto* list = new QListWidget(parent);
        new ListBoxBinding(static_cast<controls::ListBox&>(control), list);
        w = list;
        break;
    }
    case Control::Kind::ComboBox: {
        auto* combo = new QComboBox(parent);
        new ComboBoxBinding(static_cast<controls::ComboBox&>(control), combo);
        w = combo;
        break;
    }
    case Control::Kind::StatusBar: {
        auto* bar = new QStatusBar(parent);
        new StatusBarBinding(control, bar);
        w = bar;
        break;
    }
    case Control::Kind::TabControl: {
        auto* tabs = new QTabWidget(parent);
        new TabBinding(static_cast<controls::TabControl&>(control), tabs);
        w = tabs;
        break;
    }
    case Control::Kind::DriveList: {
        auto* combo = new QComboBox(parent);
        new DriveListBinding(static_cast<controls::DriveList&>(control), combo);
        w = combo;
        break;
    }
    case Control::Kind::FolderList: {
        auto* list = new QListWidget(parent);
        new FolderListBinding(static_cast<controls::FolderList&>(control), list);
        w = list;
        break;
    }
    default:
        return nullptr;
    }
    w->setObjectName(control.name());
    return w;
}

QWidget* createLinkLabel(Control& control, QWidget* parent) {
    auto* label = new ClickableLabel(parent);
    label->setObjectName(control.name());
    new LinkBinding(control, label);
    return label;
}

QTimer* bindTimer(Control& timer, QObject* parent) {
    auto* t = qobject_cast<controls::Timer*>(&timer);
    if (!t)
        return nullptr;
    auto* q = new QTimer(parent);
    q->setObjectName(timer.name());
    new TimerBinding(*t, q);
    return q;
}

QAction* bindMenuItem(Control& item, QObject* parent) {
    auto* m = qobject_cast<controls::MenuItem*>(&item);
    if (!m)
        return nullptr;
    auto* a = new QAction(parent);
    a->setObjectName(item.name());
    new MenuItemBinding(*m, a);
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
