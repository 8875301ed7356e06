// Report lists (ListView), lists of lines (ListBox) and drop-down lists (ComboBox).

#include "controls/ListView.h"
#include "controls/Simple.h"
#include "view/bindings/Binding.h"
#include "view/bindings/Families.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolTip>

namespace view::bindings {

namespace {

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
// lives in the model's rows; the view mirrors it and reports the user's changes. A table view
// without grid or row header: unlike a tree view, it keeps nothing per row (a tree view's
// item for each of 100,000 rows is 4 MB).
class ListViewBinding : public Binding {
public:
    ListViewBinding(controls::ListView& list, QTableView* view) : Binding(list, view) {
        view->setShowGrid(false);
        view->setWordWrap(false);
        view->setCornerButtonEnabled(false);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setAlternatingRowColors(false);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setTextElideMode(Qt::ElideRight);
        view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        // Rows of one height, one line each, as in a report list.
        QHeaderView* rows = view->verticalHeader();
        rows->hide();
        rows->setSectionResizeMode(QHeaderView::Fixed);
        rows->setDefaultSectionSize(view->fontMetrics().height() + 4);
        rows->setMinimumSectionSize(1);
        QHeaderView* header = view->horizontalHeader();
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->setHighlightSections(false);
        header->setStretchLastSection(true);
        header->setSectionsMovable(false);
        // A click on a column's header orders the list by it (the list decides how).
        header->setSectionsClickable(true);
        QObject::connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
            if (auto* l = model<controls::ListView>())
                l->headerClicked(section);
        });
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
        auto* view = static_cast<QTableView*>(m);
        view->horizontalHeader()->setVisible(l->headerVisible());
        view->horizontalHeader()->setSortIndicatorShown(l->orderColumn() >= 0);
        if (l->orderColumn() >= 0)
            view->horizontalHeader()->setSortIndicator(
                l->orderColumn(), l->orderDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
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
        auto* view = static_cast<QTableView*>(m);
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
                if (!static_cast<QTableView*>(m)->selectionModel()->isRowSelected(r, {}))
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
            if (auto* b = model<controls::ComboBox>(); b && !m_syncing) {
                b->userSelect(index);
                refresh(); // a refused choice shows the model's entry again
            }
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

} // namespace

QWidget* createListView(controls::ListView& list, QWidget* parent) {
    auto* view = new QTableView(parent);
    new ListViewBinding(list, view);
    return view;
}

QWidget* createListBox(controls::ListBox& box, QWidget* parent) {
    auto* list = new QListWidget(parent);
    new ListBoxBinding(box, list);
    return list;
}

QWidget* createComboBox(controls::ComboBox& box, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    new ComboBoxBinding(box, combo);
    return combo;
}

} // namespace view::bindings
