#include "view/MainWindowLayout.h"

#include "view/Bindings.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <iterator>

namespace view {

namespace {

// Adds the widget when the form has that control; a control the form lacks is left out.
void put(QBoxLayout* layout, QWidget* w, int stretch = 0, Qt::Alignment align = {}) {
    if (w)
        layout->addWidget(w, stretch, align);
}

// A frame's box, or a plain box when the form has no such frame, so its contents still show.
QGroupBox* frameBox(FormWidgets& w, const QString& name, QWidget* parent) {
    if (auto* box = w.getAs<QGroupBox>(name))
        return box;
    return new QGroupBox(parent);
}

// Height of a list view showing its header and `rows` rows.
int listHeightFor(QTableView* view, int rows) {
    const int row = view->verticalHeader()->defaultSectionSize();
    return view->horizontalHeader()->sizeHint().height() + rows * row + 2 * view->frameWidth() + 4;
}

// A filter box over a list: a line with a clear button, when the form has that box.
void putFindBox(QBoxLayout* layout, FormWidgets& w, const QString& name) {
    if (auto* box = w.getAs<QLineEdit>(name)) {
        box->setClearButtonEnabled(true);
        layout->addWidget(box);
    }
}

void buildWindowList(FormWidgets& w, QWidget* central) {
    QGroupBox* frame = frameBox(w, QStringLiteral("Frame2"), central);
    auto* v = new QVBoxLayout(frame);
    put(v, w.get(QStringLiteral("ListView1")), 1);
    auto* buttons = new QHBoxLayout;
    put(buttons, w.get(QStringLiteral("Command3")));
    put(buttons, w.get(QStringLiteral("Command6")));
    buttons->addStretch(1);
    // The refused pop-up signal, when the form has one; its place stays while it is dark.
    if (QWidget* flash = w.get(QStringLiteral("imgFlash"))) {
        auto* holder = new QWidget(frame);
        auto* hl = new QHBoxLayout(holder);
        hl->setContentsMargins(0, 0, 0, 0);
        hl->addWidget(flash);
        holder->setFixedSize(flash->sizeHint().expandedTo(QSize(32, 32)));
        buttons->addWidget(holder);
    }
    put(buttons, w.get(QStringLiteral("Image1")));
    put(buttons, w.get(QStringLiteral("Image2")));
    buttons->addSpacing(12);
    put(buttons, w.get(QStringLiteral("Command10")));
    put(buttons, w.get(QStringLiteral("Command9")));
    v->addLayout(buttons);
}

// The sites always allowed, beside the keywords: the exceptions to the rules sit next to the
// rules, where a user who sees a wrong closure goes first.
QWidget* buildAllowedSites(FormWidgets& w, QWidget* page) {
    if (!w.has(QStringLiteral("lstSitesAllowed")))
        return nullptr;
    QGroupBox* frame = frameBox(w, QStringLiteral("fraSitesAllowed"), page);
    auto* v = new QVBoxLayout(frame);
    auto* entry = new QHBoxLayout;
    put(entry, w.get(QStringLiteral("txtSiteAllowed")), 1);
    put(entry, w.get(QStringLiteral("cmdAllowSite")));
    v->addLayout(entry);
    put(v, w.get(QStringLiteral("lstSitesAllowed")), 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    put(row, w.get(QStringLiteral("cmdRemoveSite")));
    v->addLayout(row);
    return frame;
}

void buildKeywordTab(FormWidgets& w, QWidget* page) {
    auto* outer = new QHBoxLayout(page);
    QGroupBox* frame = frameBox(w, QStringLiteral("Frame3"), page);
    outer->addWidget(frame, 3);
    auto* h = new QHBoxLayout(frame);
    // The filter box over the list, when the form has one.
    auto* list = new QVBoxLayout;
    putFindBox(list, w, QStringLiteral("txtFindKeyword"));
    put(list, w.get(QStringLiteral("ListView3")), 1);
    h->addLayout(list, 1);
    auto* buttons = new QVBoxLayout;
    for (const char* name : {"Command5", "Command7", "Command8"})
        put(buttons, w.get(QString::fromLatin1(name)));
    if (QWidget* import = w.get(QStringLiteral("cmdImportList"))) {
        buttons->addSpacing(12);
        buttons->addWidget(import);
    }
    buttons->addStretch(1);
    put(buttons, w.get(QStringLiteral("Command19")));
    h->addLayout(buttons);
    if (QWidget* sites = buildAllowedSites(w, page))
        outer->addWidget(sites, 2);
}

void buildJournalTab(FormWidgets& w, QWidget* page) {
    auto* v = new QVBoxLayout(page);
    put(v, w.get(QStringLiteral("Label2")));
    put(v, w.get(QStringLiteral("ListView4")), 1);
    auto* row = new QHBoxLayout;
    put(row, w.get(QStringLiteral("Command1")));
    put(row, w.get(QStringLiteral("cmdAllowJournalSite")));
    row->addStretch(1);
    v->addLayout(row);
    put(v, w.get(QStringLiteral("Label6")));
    if (auto* totals = w.getAs<QTableView>(QStringLiteral("ListView5"))) {
        totals->setFixedHeight(listHeightFor(totals, 1));
        totals->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->addWidget(totals);
    }
}

void buildConfigurationTab(FormWidgets& w, QWidget* page) {
    auto* grid = new QGridLayout(page);

    QGroupBox* options = frameBox(w, QStringLiteral("Frame4"), page);
    auto* ov = new QVBoxLayout(options);
    for (const char* name : {"chkStartOnWin", "chkActive", "Check2", "chkDial", "ChkMasq",
                             "ChkPass", "ChkFen", "ChkFenMotCle", "chkNotices"})
        put(ov, w.get(QString::fromLatin1(name)));
    ov->addStretch(1);
    grid->addWidget(options, 0, 0, 6, 1);

    // The watched browser: which one, and with which profile.
    QGroupBox* browser = frameBox(w, QStringLiteral("fraBrowser"), page);
    auto* bv = new QVBoxLayout(browser);
    auto* which = new QHBoxLayout;
    put(which, w.get(QStringLiteral("lblBrowser")));
    put(which, w.get(QStringLiteral("cboBrowser")), 1);
    bv->addLayout(which);
    put(bv, w.get(QStringLiteral("chkOwnProfile")));

    QGroupBox* size = frameBox(w, QStringLiteral("Frame6"), page);
    auto* sh = new QHBoxLayout(size);
    for (const char* name : {"Label7", "TxtLarge", "Label8", "TxtHaut"}) {
        QWidget* c = w.get(QString::fromLatin1(name));
        if (auto* edit = qobject_cast<QLineEdit*>(c))
            edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
        put(sh, c);
    }
    sh->addStretch(1);
    grid->addWidget(size, 0, 1);

    QGroupBox* sound = frameBox(w, QStringLiteral("Frame1"), page);
    auto* sv = new QVBoxLayout(sound);
    put(sv, w.get(QStringLiteral("Check1")));
    auto* file = new QHBoxLayout;
    put(file, w.get(QStringLiteral("Label1")));
    put(file, w.get(QStringLiteral("Text1")), 1);
    put(file, w.get(QStringLiteral("Command2")));
    sv->addLayout(file);
    grid->addWidget(sound, 1, 1);

    QGroupBox* password = frameBox(w, QStringLiteral("Frame7"), page);
    auto* ph = new QHBoxLayout(password);
    put(ph, w.get(QStringLiteral("TxtPass")), 1);
    put(ph, w.get(QStringLiteral("Command18")));
    grid->addWidget(password, 2, 1);

    QGroupBox* keywords = frameBox(w, QStringLiteral("Frame5"), page);
    auto* kh = new QHBoxLayout(keywords);
    put(kh, w.get(QStringLiteral("Label10")));
    if (auto* path = w.getAs<QLabel>(QStringLiteral("LblMotCle"))) {
        path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        path->setFrameShape(QFrame::StyledPanel);
        kh->addWidget(path, 1);
    }
    put(kh, w.get(QStringLiteral("Command21")));
    grid->addWidget(keywords, 3, 1);
    grid->addWidget(browser, 4, 1);
    grid->setRowStretch(5, 1);

    for (const char* name : {"Command2", "Command21"})
        if (auto* b = w.getAs<QPushButton>(QString::fromLatin1(name)))
            b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 20);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    put(bottom, w.get(QStringLiteral("Command11")));
    put(bottom, w.get(QStringLiteral("Command20")));
    grid->addLayout(bottom, 6, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void buildStatisticsTab(FormWidgets& w, QWidget* page) {
    auto* v = new QVBoxLayout(page);
    put(v, w.get(QStringLiteral("Label3")));
    QWidget* chart = w.get(QStringLiteral("chtStatistics"));
    if (!chart) {
        putFindBox(v, w, QStringLiteral("txtFindStatistic"));
        put(v, w.get(QStringLiteral("ListView2")), 1);
        return;
    }
    // The list with its filter box on the left, the chart and its save button on the right.
    auto* split = new QSplitter(Qt::Horizontal, page);
    auto* left = new QWidget(split);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(0, 0, 0, 0);
    putFindBox(lv, w, QStringLiteral("txtFindStatistic"));
    put(lv, w.get(QStringLiteral("ListView2")), 1);
    auto* right = new QWidget(split);
    auto* rv = new QVBoxLayout(right);
    rv->setContentsMargins(0, 0, 0, 0);
    chart->setParent(right);
    chart->setMinimumSize(360, 240);
    rv->addWidget(chart, 1);
    auto* save = new QHBoxLayout;
    save->addStretch(1);
    put(save, w.get(QStringLiteral("cmdSaveChart")));
    rv->addLayout(save);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    v->addWidget(split, 1);
}

void buildCookieTab(FormWidgets& w, QWidget* page) {
    auto* v = new QVBoxLayout(page);
    auto* folder = new QHBoxLayout;
    put(folder, w.get(QStringLiteral("Label4")));
    put(folder, w.get(QStringLiteral("txtCookieDir")), 1);
    v->addLayout(folder);

    auto* files = new QHBoxLayout;
    put(files, w.get(QStringLiteral("lstCookies")), 1);
    auto* buttons = new QVBoxLayout;
    for (const char* name : {"Command12", "Command13", "Command14", "Command15", "Command16",
                             "Command17", "cmdExportCookies"})
        put(buttons, w.get(QString::fromLatin1(name)));
    buttons->addStretch(1);
    files->addLayout(buttons);
    v->addLayout(files, 1);

    put(v, w.get(QStringLiteral("Label5")));
    auto* analysis = new QSplitter(Qt::Horizontal, page);
    if (QWidget* rtf = w.get(QStringLiteral("rtf")))
        analysis->addWidget(rtf);
    if (QWidget* records = w.get(QStringLiteral("Lst_Cook")))
        analysis->addWidget(records);
    analysis->setStretchFactor(0, 2);
    analysis->setStretchFactor(1, 3);
    analysis->setMinimumHeight(150);
    v->addWidget(analysis, 1);
}

void buildAntiSpyTab(FormWidgets& w, QWidget* page) {
    auto* v = new QVBoxLayout(page);
    auto* columns = new QHBoxLayout;
    v->addLayout(columns, 1);

    QGroupBox* filters = frameBox(w, QStringLiteral("fraFilters"), page);
    auto* fv = new QVBoxLayout(filters);
    put(fv, w.get(QStringLiteral("lstFilters")), 1);
    put(fv, w.get(QStringLiteral("Label9")));
    put(fv, w.get(QStringLiteral("txtFilter")));
    auto* fb = new QHBoxLayout;
    for (const char* name : {"cmdAddFilter", "cmdDeleteFilter", "Command4"})
        put(fb, w.get(QString::fromLatin1(name)));
    fv->addLayout(fb);
    columns->addWidget(filters, 2);

    auto* middle = new QVBoxLayout;
    QGroupBox* actions = frameBox(w, QStringLiteral("fraActions"), page);
    auto* av = new QVBoxLayout(actions);
    // The drive and folder lists of the start folder, when the form has them.
    put(av, w.get(QStringLiteral("drvStart")));
    QWidget* folders = w.get(QStringLiteral("dirStart"));
    put(av, folders, 1);
    put(av, w.get(QStringLiteral("chkRecurse")));
    auto* ab = new QHBoxLayout;
    put(ab, w.get(QStringLiteral("cmdFind")), 1);
    put(ab, w.get(QStringLiteral("Command22")));
    av->addLayout(ab);
    if (!folders)
        av->addStretch(1);
    middle->addWidget(actions, 1);
    QGroupBox* registry = frameBox(w, QStringLiteral("fraRegistry"), page);
    auto* rv = new QHBoxLayout(registry);
    put(rv, w.get(QStringLiteral("cmdCheckUp")));
    put(rv, w.get(QStringLiteral("lblFuture")), 1);
    middle->addWidget(registry);
    columns->addLayout(middle, 2);

    auto* found = new QVBoxLayout;
    put(found, w.get(QStringLiteral("lstFiles")), 1);
    auto* sel = new QHBoxLayout;
    put(sel, w.get(QStringLiteral("cmdSelAll")));
    put(sel, w.get(QStringLiteral("cmdDeSelAll")));
    found->addLayout(sel);
    put(found, w.get(QStringLiteral("cmdDelete")));
    columns->addLayout(found, 3);

    auto* warnings = new QHBoxLayout;
    for (const char* name : {"lblWarnSearch", "lblWarnDelete"})
        if (auto* label = w.getAs<QLabel>(QString::fromLatin1(name))) {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, QColor(160, 0, 0));
            label->setPalette(pal);
            warnings->addWidget(label, 1);
        }
    v->addLayout(warnings);
}

void buildHelpTab(FormWidgets& w, QWidget* page) {
    auto* v = new QVBoxLayout(page);
    put(v, w.get(QStringLiteral("TxtAide")), 1);
}

void buildHistoryTab(FormWidgets& w, QWidget* page) {
    auto* v = new QVBoxLayout(page);
    if (auto* file = w.getAs<QLabel>(QStringLiteral("lblHistoryFile"))) {
        file->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->addWidget(file);
    }
    putFindBox(v, w, QStringLiteral("txtFindHistory"));
    put(v, w.get(QStringLiteral("lstHistory")), 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    put(row, w.get(QStringLiteral("cmdExportJournal")));
    v->addLayout(row);
}

} // namespace

QWidget* layOutMainWindow(FormWidgets& w, QWidget* window) {
    auto* central = new QWidget(window);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);
    buildWindowList(w, central);
    put(layout, w.get(QStringLiteral("Frame2")), 2);
    if (auto* tabs = w.getAs<QTabWidget>(QStringLiteral("SSTab1"))) {
        tabs->setParent(central);
        put(layout, tabs, 5);
        using Build = void (*)(FormWidgets&, QWidget*);
        const Build builders[] = {buildKeywordTab,    buildJournalTab, buildConfigurationTab,
                                  buildStatisticsTab, buildCookieTab,  buildAntiSpyTab,
                                  buildHelpTab,       buildHistoryTab};
        for (int i = 0; i < tabs->count() && i < int(std::size(builders)); ++i)
            builders[i](w, tabs->widget(i));
    }
    return central;
}

} // namespace view
