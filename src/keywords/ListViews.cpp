#include "keywords/ListViews.h"

#include "app/FrmMain.h"

namespace keywords {

// Widths of the lists in twips, from which their column widths are computed.
constexpr int kWindowListWidth = 11400;
constexpr int kTabListWidth = 9600;

ListViews::ListViews(app::FrmMain& form) : f(form) {
    f.ListView1.setWidth(kWindowListWidth);
    for (controls::ListView* list : {&f.ListView2, &f.ListView3, &f.ListView4, &f.ListView5})
        list->setWidth(kTabListWidth);
    f.ListView1.onClick = [this] { ListView1_Click(); };
}

void ListViews::PreparListeView() {
    int w = f.ListView1.width();
    f.ListView1.clearColumns();
    f.ListView1.addColumn(QStringLiteral("Nom de la page"), w / 4 - 100);
    f.ListView1.addColumn(QStringLiteral("Adresses Url"), w / 2);
    f.ListView1.addColumn(QStringLiteral("Largeur"), w / 8);
    f.ListView1.addColumn(QStringLiteral("Hauteur"), w / 8);

    w = f.ListView2.width();
    f.ListView2.clearColumns();
    f.ListView2.addColumn(QStringLiteral("Fermées"), 1500);
    f.ListView2.addColumn(QStringLiteral("Mots clés ou adresses URL"), w - 1600);

    w = f.ListView3.width();
    f.ListView3.clearColumns();
    f.ListView3.addColumn(QStringLiteral("Filtre"), w - 350);
    f.ListView3.setHeaderVisible(false);

    w = f.ListView4.width();
    f.ListView4.clearColumns();
    f.ListView4.addColumn(QStringLiteral("Heure"), 1000);
    f.ListView4.addColumn(QStringLiteral("Mots clés"), 2000);
    f.ListView4.addColumn(QStringLiteral("Adresses Url"), w - 3100);

    w = f.ListView5.width();
    f.ListView5.clearColumns();
    for (const char* header : {"Mots clés", "Auto", "Taille Mots clés", "Taille Auto"})
        f.ListView5.addColumn(QString::fromUtf8(header), w / 4 - 25);
    f.ListView5.clear();
    f.ListView5.appendRow({QString(), QString(), QString(), QString()});
    showTotals();
}

void ListViews::showTotals() {
    if (f.ListView5.rowCount() == 0)
        return;
    for (int i = 0; i < 4; ++i)
        f.ListView5.setCell(0, i, QString::number(f.gClosureTotals[i]));
}

void ListViews::ListView1_Click() {
    for (int r = 0; r < f.ListView1.rowCount(); ++r) {
        const bool selected = f.ListView1.isSelected(r);
        f.Command3.setEnabled(selected);
        f.Command6.setEnabled(selected);
        if (selected)
            return;
    }
}

} // namespace keywords
