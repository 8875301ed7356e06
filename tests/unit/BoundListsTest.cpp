// The program's lists (keywords, statistics, journal) and the list views bound to them.

#include "controls/ListView.h"
#include "keywords/Journal.h"
#include "keywords/KeywordList.h"
#include "keywords/Statistics.h"

#include "CheckedModel.h"

#include <gtest/gtest.h>

namespace {

struct Lists : ::testing::Test {
    controls::Form form{QStringLiteral("f"), QString()};
    controls::ListView view{&form, QStringLiteral("ListView3")};
    keywords::KeywordList keywords;
};

} // namespace

TEST_F(Lists, TheViewFollowsEveryChangeAndTheSelectionStaysOnItsRow) {
    view.addColumn(QStringLiteral("Filtre"), 1000);
    view.bind(&keywords);
    Checked checked(view);
    keywords.assign({QStringLiteral("pub"), QStringLiteral("Casino"), QStringLiteral("popup")});
    ASSERT_EQ(view.rowCount(), 3);
    view.setSelected(2, true);

    keywords.removeAt(0); // the selected row moves up with its keyword
    EXPECT_TRUE(checked.consistent());
    EXPECT_EQ(view.firstSelected(), 1);
    EXPECT_EQ(view.text(1), QStringLiteral("popup"));
    keywords.append(QStringLiteral("banniere"));
    keywords.replace(0, QStringLiteral("jeu"));
    EXPECT_TRUE(checked.consistent());
    EXPECT_EQ(view.firstSelected(), 1);
    EXPECT_EQ(view.cells(0), QStringList{QStringLiteral("jeu")});
    EXPECT_EQ(view.model()->data(view.model()->index(2, 0), Qt::DisplayRole).toString(),
              QStringLiteral("banniere"));
    keywords.removeAt(1); // the selected row itself goes
    EXPECT_TRUE(checked.consistent());
    EXPECT_EQ(view.firstSelected(), -1);
    keywords.assign({});
    EXPECT_EQ(view.rowCount(), 0);
    EXPECT_TRUE(checked.warnings().isEmpty()) << checked.warnings().join(u'\n').toStdString();
}

TEST_F(Lists, ABoundListRefusesRowsOfItsOwnAndUnbindingShowsThemAgain) {
    view.appendRow({QStringLiteral("own")});
    view.bind(&keywords);
    keywords.append(QStringLiteral("bound"));
    view.appendRow({QStringLiteral("ignored")});
    view.setRows({{QStringLiteral("ignored")}});
    EXPECT_EQ(view.rowCount(), 1);
    EXPECT_EQ(view.text(0), QStringLiteral("bound"));
    view.bind(nullptr);
    EXPECT_EQ(view.rowCount(), 1);
    EXPECT_EQ(view.text(0), QStringLiteral("own"));
}

TEST_F(Lists, TheMatcherFollowsTheListAndComparesLowerCasedForms) {
    keywords.assign({QStringLiteral("PUB"), QStringLiteral("casino")});
    std::vector<int> found;
    keywords.matcher().findAll(u"une pub", u"", found);
    EXPECT_EQ(found, std::vector<int>{0});
    keywords.replace(0, QStringLiteral("jeu"));
    found.clear();
    keywords.matcher().findAll(u"une pub de jeu", u"http://casino/", found);
    EXPECT_EQ(found, (std::vector<int>{0, 1}));
    keywords.removeAt(0);
    found.clear();
    keywords.matcher().findAll(u"jeu", u"casino", found);
    EXPECT_EQ(found, std::vector<int>{0});
    EXPECT_EQ(keywords.indexOfLowered(QStringLiteral("casino")), 0);
    EXPECT_EQ(keywords.indexOfLowered(QStringLiteral("jeu")), -1);
}

// A closure counts against the first entry holding its keyword, exactly (case matters), also
// for entries added after the file was loaded.
TEST(Statistics, CountsGoToTheFirstEntryOfTheExactKeyword) {
    keywords::Statistics stats;
    stats.append(
        {{QStringLiteral("pub"), 4}, {QStringLiteral("Pub"), 0}, {QStringLiteral("pub"), 9}});
    EXPECT_TRUE(stats.increment(QStringLiteral("pub")));
    EXPECT_TRUE(stats.increment(QStringLiteral("Pub")));
    EXPECT_FALSE(stats.increment(QStringLiteral("PUB")));
    stats.append(QStringLiteral("casino"));
    stats.append(QStringLiteral("casino"));
    EXPECT_TRUE(stats.increment(QStringLiteral("casino")));
    EXPECT_EQ(stats.cell(0, 0), QStringLiteral("5"));
    EXPECT_EQ(stats.cell(1, 0), QStringLiteral("1"));
    EXPECT_EQ(stats.cell(2, 0), QStringLiteral("9"));
    EXPECT_EQ(stats.cell(3, 0), QStringLiteral("1"));
    EXPECT_EQ(stats.cell(4, 0), QStringLiteral("0"));
    // A count at the largest number stays there.
    stats.append(QStringLiteral("max"), std::numeric_limits<qint64>::max());
    stats.increment(QStringLiteral("max"));
    EXPECT_EQ(stats.at(5).count, std::numeric_limits<qint64>::max());
}

TEST(Journal, EntriesShowAsTimeKeywordAndAddress) {
    keywords::Journal journal;
    journal.append(
        {QStringLiteral("12:00:01"), QStringLiteral("pub"), QStringLiteral("http://x/")});
    journal.append(
        {QStringLiteral("12:00:02"), QStringLiteral("jeu"), QStringLiteral("http://y/")});
    journal.removeAt(0);
    journal.removeAt(5); // nothing there: nothing happens
    ASSERT_EQ(journal.size(), 1);
    EXPECT_EQ(journal.cell(0, 1), QStringLiteral("jeu"));
    EXPECT_EQ(journal.cell(0, 2), QStringLiteral("http://y/"));
}
