// The drive list and the folder list of a folder chooser.

#include "controls/FolderList.h"
#include "view/bindings/Binding.h"
#include "view/bindings/Families.h"

#include <QComboBox>
#include <QListWidget>
#include <QStyle>

namespace view::bindings {

namespace {

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

} // namespace

QWidget* createDriveList(controls::DriveList& drives, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    new DriveListBinding(drives, combo);
    return combo;
}

QWidget* createFolderList(controls::FolderList& folders, QWidget* parent) {
    auto* list = new QListWidget(parent);
    new FolderListBinding(folders, list);
    return list;
}

} // namespace view::bindings
