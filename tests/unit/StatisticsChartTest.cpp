// The statistics at a glance: the keywords that closed the most windows, the closures per
// day, and the chart saved as an image.

#include "keywords/StatisticsChart.h"
#include "controls/Chart.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using keywords::DayCount;
using keywords::KeywordCount;

TEST(StatisticsChart, TheTopKeywordsCountTheirEntriesTogetherMostFirst) {
    keywords::Statistics stats;
    stats.append({{QStringLiteral("pub"), 3},
                  {QStringLiteral("zero"), 0},
                  {QStringLiteral("casino"), 5},
                  {QStringLiteral("jeu"), 5},
                  {QStringLiteral("pub"), 4},
                  {QStringLiteral("Pub"), 1}});
    EXPECT_EQ(keywords::topKeywords(stats, 15),
              (std::vector<KeywordCount>{{QStringLiteral("pub"), 7},
                                         {QStringLiteral("casino"), 5},
                                         {QStringLiteral("jeu"), 5},
                                         {QStringLiteral("Pub"), 1}}));
    EXPECT_EQ(keywords::topKeywords(stats, 2).size(), 2u);
    EXPECT_TRUE(keywords::topKeywords(stats, 0).empty());
    // Counts at the largest number do not wrap when added.
    stats.append(
        {{QStringLiteral("max"), std::numeric_limits<qint64>::max()}, {QStringLiteral("max"), 2}});
    EXPECT_EQ(keywords::topKeywords(stats, 1).front().count, std::numeric_limits<qint64>::max());
}

TEST(StatisticsChart, ClosuresArePerDayOldestFirst) {
    const QDate d1(2026, 12, 6), d2(2026, 12, 7);
    EXPECT_EQ(keywords::closuresPerDay({d2, d1, d2, QDate(), d2}),
              (std::vector<DayCount>{{d1, 1}, {d2, 3}}));
}

namespace {

struct Chart : ::testing::Test {
    fakes::FakePlatform fake;
    keywords::Statistics stats;
    controls::Form form{QStringLiteral("f"), QString()};
    controls::Chart chart{&form, QStringLiteral("chtStatistics")};
    keywords::StatisticsChart statisticsChart{fake.files, fake.dialogs, stats, chart};
};

} // namespace

TEST_F(Chart, TheChartFollowsTheStatisticsAndShowsTheDaysWhenThereAreSome) {
    ASSERT_EQ(chart.panels().size(), 1u);
    EXPECT_EQ(chart.panels()[0].title,
              QStringLiteral("Les 15 mots clés qui ont fermé le plus de fenêtres"));
    EXPECT_TRUE(chart.panels()[0].bars.empty());
    for (int i = 0; i < 20; ++i)
        stats.append(QStringLiteral("k%1").arg(i), i + 1);
    stats.increment(QStringLiteral("k0"));
    ASSERT_EQ(chart.panels()[0].bars.size(), 15u);
    EXPECT_EQ(chart.panels()[0].bars.front(), (controls::Chart::Bar{QStringLiteral("k19"), 20}));
    EXPECT_EQ(chart.panels()[0].bars.back(), (controls::Chart::Bar{QStringLiteral("k5"), 6}));
    statisticsChart.setClosuresPerDay({{QDate(2026, 12, 7), 4}});
    ASSERT_EQ(chart.panels().size(), 2u);
    EXPECT_EQ(chart.panels()[1].title, QStringLiteral("Fenêtres fermées par jour"));
    EXPECT_EQ(chart.panels()[1].bars,
              (std::vector<controls::Chart::Bar>{{QStringLiteral("07/12/2026"), 4}}));
    statisticsChart.setClosuresPerDay({});
    EXPECT_EQ(chart.panels().size(), 1u);
}

TEST_F(Chart, TheImageIsSavedWhereTheUserChoosesAsPng) {
    fake.dialogs.fileAnswers = {QStringLiteral("/prog/stats"), std::nullopt,
                                QStringLiteral("/prog/nothing.png"),
                                QStringLiteral("/prog/ro.PNG")};
    chart.render = [] { return QByteArray("\x89PNG image"); };
    statisticsChart.saveImage();
    EXPECT_EQ(fake.files.readAll(QStringLiteral("/prog/stats.png")), QByteArray("\x89PNG image"));
    statisticsChart.saveImage(); // cancelled
    chart.render = nullptr;
    statisticsChart.saveImage();
    chart.render = [] { return QByteArray("\x89PNG image"); };
    fake.files.setFile(QStringLiteral("/prog/ro.PNG"), "old");
    fake.files.setReadOnly(QStringLiteral("/prog/ro.PNG"), true);
    statisticsChart.saveImage();
    EXPECT_EQ(fake.files.readAll(QStringLiteral("/prog/ro.PNG")), QByteArray("old"));
    EXPECT_FALSE(fake.files.readAll(QStringLiteral("/prog/nothing.png")));
    EXPECT_EQ(
        fake.transcript.take(),
        QStringList({
            QStringLiteral("savedialog \"Enregistrer l'image\" \"/prog/Statistiques.png\" -> "
                           "\"/prog/stats\""),
            QStringLiteral("savedialog \"Enregistrer l'image\" \"/prog/Statistiques.png\" -> "
                           "cancel"),
            QStringLiteral("savedialog \"Enregistrer l'image\" \"/prog/Statistiques.png\" -> "
                           "\"/prog/nothing.png\""),
            QStringLiteral("message warning \"Enregistrer l'image\": \"L'image des statistiques "
                           "n'a pas pu être dessinée.\""),
            QStringLiteral("savedialog \"Enregistrer l'image\" \"/prog/Statistiques.png\" -> "
                           "\"/prog/ro.PNG\""),
            QStringLiteral("message warning \"Enregistrer l'image\": \"Impossible "
                           "d'enregistrer l'image :\\r/prog/ro.PNG\""),
        }));
}
