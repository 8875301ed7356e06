// Lists narrowed by a filter text and ordered by a column: the rows shown, the source row
// behind each, and the selection, while the data changes underneath.

#include "controls/ListView.h"
#include "keywords/KeywordList.h"
#include "keywords/Statistics.h"

#include "CheckedModel.h"

#include <gtest/gtest.h>

using controls::compareCells;

namespace {

QStringList shown(const controls::ListView& list, int column = 0) {
    QStringList out;
    for (int r = 0; r < list.rowCount(); ++r)
        out.append(list.cell(r, column));
    return out;
}

QStringList words(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* w : list)
        out.append(QString::fromUtf8(w));
    return out;
}

struct Shown : ::testing::Test {
    controls::Form form{QStringLiteral("f"), QString()};
    controls::ListView view{&form, QStringLiteral("ListView3")};
    keywords::KeywordList keywords;

    void SetUp() override {
        view.addColumn(QStringLiteral("Filtre"), 1000);
        view.bind(&keywords);
        keywords.assign(words({"pub", "casino", "popup", "Publicite", "jeu"}));
    }
};

} // namespace

TEST(CompareCells, NumbersAsNumbersDatesAsDatesTextsIgnoringCase) {
    EXPECT_LT(compareCells(QStringLiteral("9"), QStringLiteral("10")), 0);
    EXPECT_LT(compareCells(QStringLiteral("-3"), QStringLiteral("2.5")), 0);
    EXPECT_EQ(compareCells(QStringLiteral("007"), QStringLiteral("7")), 0);
    EXPECT_LT(
        compareCells(QStringLiteral("31/12/2025 23:59:59"), QStringLiteral("01/01/2026 00:00:00")),
        0);
    EXPECT_LT(compareCells(QStringLiteral("05/12/2026"), QStringLiteral("06/11/2027")), 0);
    EXPECT_LT(compareCells(QStringLiteral("100"), QStringLiteral("abc")), 0);
    EXPECT_EQ(compareCells(QStringLiteral("Pub"), QStringLiteral("pub")), 0);
    EXPECT_LT(compareCells(QStringLiteral("casino"), QStringLiteral("Pub")), 0);
    EXPECT_GT(compareCells(QStringLiteral("1.2.3"), QStringLiteral("99")), 0); // a text
}

TEST_F(Shown, TheFilterShowsTheRowsHoldingItsTextAndMapsThemToTheirSource) {
    Checked checked(view);
    view.setSelected(2, true); // popup
    view.setFilterText(QStringLiteral("PU"));
    EXPECT_EQ(shown(view), words({"pub", "popup", "Publicite"}));
    EXPECT_EQ(view.sourceRowCount(), 5);
    EXPECT_EQ(view.firstSelected(), 1);
    EXPECT_EQ(view.selectedSourceRow(), 2);
    EXPECT_EQ(view.sourceRow(2), 3);
    EXPECT_EQ(view.sourceRow(3), -1);

    // A longer text narrows what is shown; the selection stays on its keyword.
    view.setFilterText(QStringLiteral("PUP"));
    EXPECT_EQ(shown(view), words({"popup"}));
    EXPECT_EQ(view.selectedSourceRow(), 2);
    // A filter that hides the selected row drops it from the selection.
    view.setFilterText(QStringLiteral("pub"));
    EXPECT_EQ(shown(view), words({"pub", "Publicite"}));
    EXPECT_EQ(view.firstSelected(), -1);
    view.setSelected(1, true);
    view.setFilterText(QString());
    EXPECT_EQ(view.rowCount(), 5);
    EXPECT_EQ(view.firstSelected(), 3);
    EXPECT_TRUE(checked.consistent());
    EXPECT_TRUE(checked.warnings().isEmpty()) << checked.warnings().join(u'\n').toStdString();
}

TEST_F(Shown, AFilteredListFollowsTheChangesOfItsSource) {
    view.setFilterText(QStringLiteral("pu"));
    Checked checked(view);
    view.setSelected(2, true); // Publicite
    keywords.append(QStringLiteral("pub2"));
    keywords.append(QStringLiteral("dice"));
    keywords.append(words({"puce", "x", "apu"}));
    EXPECT_EQ(shown(view), words({"pub", "popup", "Publicite", "pub2", "puce", "apu"}));
    keywords.removeAt(1); // casino: hidden, nothing shown moves
    keywords.removeAt(0); // pub
    EXPECT_EQ(shown(view), words({"popup", "Publicite", "pub2", "puce", "apu"}));
    EXPECT_EQ(view.text(view.firstSelected()), QStringLiteral("Publicite"));
    EXPECT_EQ(keywords.at(view.selectedSourceRow()), QStringLiteral("Publicite"));
    // An edited keyword shows or hides by its new text.
    keywords.replace(keywords.indexOfLowered(QStringLiteral("jeu")), QStringLiteral("jeu pub"));
    keywords.replace(keywords.indexOfLowered(QStringLiteral("popup")), QStringLiteral("pop"));
    EXPECT_EQ(shown(view), words({"Publicite", "jeu pub", "pub2", "puce", "apu"}));
    EXPECT_EQ(view.selectedSourceRow(), keywords.indexOfLowered(QStringLiteral("publicite")));
    keywords.assign(words({"a", "pu"}));
    EXPECT_EQ(shown(view), words({"pu"}));
    EXPECT_TRUE(checked.consistent());
    EXPECT_TRUE(checked.warnings().isEmpty()) << checked.warnings().join(u'\n').toStdString();
}

TEST(ShownStatistics, AHeaderClickOrdersByNumbersAndTheRowsMoveAsCountsRise) {
    controls::Form form{QStringLiteral("f"), QString()};
    controls::ListView view{&form, QStringLiteral("ListView2")};
    view.addColumn(QStringLiteral("Fermées"), 1500);
    view.addColumn(QStringLiteral("Mots clés"), 3000);
    keywords::Statistics stats;
    view.bind(&stats);
    stats.append({{QStringLiteral("pub"), 9},
                  {QStringLiteral("casino"), 10},
                  {QStringLiteral("jeu"), 2},
                  {QStringLiteral("popup"), 9}});
    Checked checked(view);
    view.headerClicked(0);
    EXPECT_EQ(shown(view, 1), words({"jeu", "pub", "popup", "casino"}));
    view.headerClicked(0); // again: the other way; equal counts keep the file's order
    EXPECT_TRUE(view.orderDescending());
    EXPECT_EQ(shown(view, 1), words({"casino", "pub", "popup", "jeu"}));
    view.setSelected(3, true); // jeu
    for (int i = 0; i < 8; ++i)
        stats.increment(QStringLiteral("jeu"));
    EXPECT_EQ(shown(view, 1), words({"casino", "jeu", "pub", "popup"}));
    EXPECT_EQ(view.firstSelected(), 1);
    EXPECT_EQ(stats.at(view.selectedSourceRow()).keyword, QStringLiteral("jeu"));
    // New rows take their places; many at once too.
    stats.append(QStringLiteral("zero"));
    stats.append({{QStringLiteral("top"), 50}, {QStringLiteral("mid"), 9}});
    EXPECT_EQ(shown(view, 1), words({"top", "casino", "jeu", "pub", "popup", "mid", "zero"}));
    EXPECT_EQ(view.text(view.firstSelected()), QStringLiteral("10"));
    view.headerClicked(1);
    EXPECT_EQ(shown(view, 1), words({"casino", "jeu", "mid", "popup", "pub", "top", "zero"}));
    view.setFilterText(QStringLiteral("p"));
    EXPECT_EQ(shown(view, 1), words({"popup", "pub", "top"}));
    view.setOrder(-1, false);
    EXPECT_EQ(shown(view, 1), words({"pub", "popup", "top"}));
    EXPECT_TRUE(checked.consistent());
    EXPECT_TRUE(checked.warnings().isEmpty()) << checked.warnings().join(u'\n').toStdString();
}

TEST(ShownOwnRows, RowsOfTheListItselfAreEditedWhereTheyAreShown) {
    controls::Form form{QStringLiteral("f"), QString()};
    controls::ListView view{&form, QStringLiteral("lstCookies")};
    view.addColumn(QStringLiteral("Nom"), 1000);
    view.addColumn(QStringLiteral("Taille"), 1000);
    view.setSorted(true); // the list's own order, by name
    view.setRows({{QStringLiteral("b.txt"), QStringLiteral("20")},
                  {QStringLiteral("a.txt"), QStringLiteral("100")},
                  {QStringLiteral("c.txt"), QStringLiteral("3")}});
    Checked checked(view);
    view.headerClicked(1); // by size, as numbers
    EXPECT_EQ(shown(view), words({"c.txt", "b.txt", "a.txt"}));
    view.setSelected(2, true);
    view.setCell(0, 1, QStringLiteral("999")); // c.txt grows and moves down
    EXPECT_EQ(shown(view), words({"b.txt", "a.txt", "c.txt"}));
    EXPECT_EQ(view.text(view.firstSelected()), QStringLiteral("a.txt"));
    view.removeRow(0);
    EXPECT_EQ(shown(view), words({"a.txt", "c.txt"}));
    EXPECT_EQ(view.insertRow(0, {QStringLiteral("d.txt"), QStringLiteral("50")}), 0);
    // The list's own order changes underneath: the selection stays with its row.
    view.setSortKey(1);
    view.setSorted(false);
    view.setSorted(true);
    EXPECT_EQ(shown(view), words({"d.txt", "a.txt", "c.txt"}));
    EXPECT_EQ(view.text(view.firstSelected()), QStringLiteral("a.txt"));
    view.setFilterText(QStringLiteral("zzz"));
    view.clear();
    view.setFilterText(QString());
    EXPECT_EQ(view.rowCount(), 0);
    EXPECT_TRUE(checked.consistent());
    EXPECT_TRUE(checked.warnings().isEmpty()) << checked.warnings().join(u'\n').toStdString();
}
