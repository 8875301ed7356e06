#include "keywords/ListViews.h"

#include "app/FrmMain.h"

namespace keywords {

// Widths of the lists in twips, from which their column widths are computed.
constexpr int kWindowListWidth = 11400;
constexpr int kTabListWidth = 9600;

ListViews::ListViews(app::FrmMain& form) : f(form) {
    f.windowListView.setWidth(kWindowListWidth);
    for (controls::ListView* list :
         {&f.statisticsView, &f.keywordListView, &f.journalView, &f.totalsView})
        list->setWidth(kTabListWidth);
    f.windowListView.onClick = [this] { ListView1_Click(); };
}

void ListViews::PreparListeView() {
    int w = f.windowListView.width();
    f.windowListView.clearColumns();
    f.windowListView.addColumn(QStringLiteral("Nom de la page"), w / 4 - 100);
    f.windowListView.addColumn(QStringLiteral("Adresses Url"), w / 2);
    f.windowListView.addColumn(QStringLiteral("Largeur"), w / 8);
    f.windowListView.addColumn(QStringLiteral("Hauteur"), w / 8);

    w = f.statisticsView.width();
    f.statisticsView.clearColumns();
    f.statisticsView.addColumn(QStringLiteral("Fermées"), 1500);
    f.statisticsView.addColumn(QStringLiteral("Mots clés ou adresses URL"), w - 1600);

    w = f.keywordListView.width();
    f.keywordListView.clearColumns();
    f.keywordListView.addColumn(QStringLiteral("Filtre"), w - 350);
    f.keywordListView.setHeaderVisible(false);

    w = f.journalView.width();
    f.journalView.clearColumns();
    f.journalView.addColumn(QStringLiteral("Heure"), 1000);
    f.journalView.addColumn(QStringLiteral("Mots clés"), 2000);
    f.journalView.addColumn(QStringLiteral("Adresses Url"), w - 3100);

    w = f.totalsView.width();
    f.totalsView.clearColumns();
    for (const char* header : {"Mots clés", "Auto", "Taille Mots clés", "Taille Auto"})
        f.totalsView.addColumn(QString::fromUtf8(header), w / 4 - 25);
    f.totalsView.clear();
    f.totalsView.appendRow({QString(), QString(), QString(), QString()});
    showTotals();
}

void ListViews::showTotals() {
    if (f.totalsView.rowCount() == 0)
        return;
    for (int i = 0; i < 4; ++i)
        f.totalsView.setCell(0, i, QString::number(f.gClosureTotals[i]));
}

void ListViews::ListView1_Click() {
    for (int r = 0; r < f.windowListView.rowCount(); ++r) {
        const bool selected = f.windowListView.isSelected(r);
        f.addUrlButton.setEnabled(selected);
        f.addPageNameButton.setEnabled(selected);
        if (selected)
            return;
    }
}

} // namespace keywords
