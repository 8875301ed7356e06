#pragma once

#include "keywords/Statistics.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <QDate>
#include <QString>
#include <vector>

namespace controls {
class Chart;
}

namespace keywords {

struct KeywordCount {
    QString keyword;
    qint64 count = 0;
    bool operator==(const KeywordCount&) const = default;
};

/// The keywords that closed the most windows, the most first, at most `limit` of them. The
/// entries of one keyword count together; equal counts keep the statistics' order; keywords
/// that closed nothing are left out.
std::vector<KeywordCount> topKeywords(const Statistics& statistics, int limit);

struct DayCount {
    QDate day;
    qint64 count = 0;
    bool operator==(const DayCount&) const = default;
};

/// The closures of each day, from the day of each closure (in any order), oldest day first.
std::vector<DayCount> closuresPerDay(const std::vector<QDate>& closureDays);

// The statistics at a glance: the chart of the keywords that closed the most windows, kept up
// to date with the statistics, beside the closures per day when a journal gives them; and the
// command that saves the chart as a PNG image.
class StatisticsChart {
public:
    static constexpr int kTopCount = 15;

    StatisticsChart(platform::Files& files, platform::Dialogs& dialogs,
                    const Statistics& statistics, controls::Chart& chart);

    /// Computes the chart again from the statistics (done at each change of them).
    void refresh();
    /// The closures per day to show beside the keywords (none: that panel is not shown); the
    /// last `kDaysShown` days that have closures are drawn.
    void setClosuresPerDay(std::vector<DayCount> days);
    /// One more closure on `day` (a day after those given so far, or the last of them), while
    /// the closures per day are shown.
    void countClosure(const QDate& day);

    static constexpr int kDaysShown = 30;
    /// The user chooses a file and the chart is written there as a PNG image.
    void saveImage();

private:
    platform::Files& m_files;
    platform::Dialogs& m_dialogs;
    const Statistics& m_statistics;
    controls::Chart& m_chart;
    std::vector<DayCount> m_days;
};

} // namespace keywords
