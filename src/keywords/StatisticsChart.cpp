#include "keywords/StatisticsChart.h"

#include "controls/Chart.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <map>

namespace keywords {

namespace {
const QString kSaveTitle = QStringLiteral("Enregistrer l'image");
} // namespace

std::vector<KeywordCount> topKeywords(const Statistics& statistics, int limit) {
    // Most entries never closed anything: only the others are gathered by keyword.
    QHash<QString, std::size_t> index;
    std::vector<KeywordCount> counts;
    for (const Statistics::Entry& e : statistics.entries()) {
        if (e.count <= 0)
            continue;
        const auto it = index.constFind(e.keyword);
        if (it == index.constEnd()) {
            index.insert(e.keyword, counts.size());
            counts.push_back({e.keyword, e.count});
            continue;
        }
        qint64& sum = counts[it.value()].count;
        sum = e.count > std::numeric_limits<qint64>::max() - sum
                  ? std::numeric_limits<qint64>::max()
                  : sum + e.count;
    }
    const auto more = [](const KeywordCount& a, const KeywordCount& b) {
        return a.count > b.count;
    };
    const std::size_t kept = std::min(counts.size(), std::size_t(std::max(0, limit)));
    // Gathered in the statistics' order, so a stable order keeps it among equal counts.
    std::stable_sort(counts.begin(), counts.end(), more);
    counts.resize(kept);
    return counts;
}

std::vector<DayCount> closuresPerDay(const std::vector<QDate>& closureDays) {
    std::map<QDate, qint64> perDay;
    for (const QDate& day : closureDays)
        if (day.isValid())
            ++perDay[day];
    std::vector<DayCount> days;
    days.reserve(perDay.size());
    for (const auto& [day, count] : perDay)
        days.push_back({day, count});
    return days;
}

StatisticsChart::StatisticsChart(platform::Files& files, platform::Dialogs& dialogs,
                                 const Statistics& statistics, controls::Chart& chart)
    : m_files(files), m_dialogs(dialogs), m_statistics(statistics), m_chart(chart) {
    const auto update = [this] { refresh(); };
    QObject::connect(&statistics, &controls::RowSource::reset, &chart, update);
    QObject::connect(&statistics, &controls::RowSource::inserted, &chart, update);
    QObject::connect(&statistics, &controls::RowSource::removed, &chart, update);
    QObject::connect(&statistics, &controls::RowSource::rowsChanged, &chart, update);
    refresh();
}

void StatisticsChart::refresh() {
    std::vector<controls::Chart::Panel> panels(1);
    panels[0].title =
        QStringLiteral("Les %1 mots clés qui ont fermé le plus de fenêtres").arg(kTopCount);
    for (const KeywordCount& k : topKeywords(m_statistics, kTopCount))
        panels[0].bars.push_back({k.keyword, k.count});
    if (!m_days.empty()) {
        controls::Chart::Panel perDay{QStringLiteral("Fenêtres fermées par jour"), {}};
        const std::size_t first =
            m_days.size() > std::size_t(kDaysShown) ? m_days.size() - kDaysShown : 0;
        for (std::size_t i = first; i < m_days.size(); ++i)
            perDay.bars.push_back(
                {m_days[i].day.toString(QStringLiteral("dd/MM/yyyy")), m_days[i].count});
        panels.push_back(std::move(perDay));
    }
    m_chart.setPanels(std::move(panels));
}

void StatisticsChart::setClosuresPerDay(std::vector<DayCount> days) {
    m_days = std::move(days);
    refresh();
}

void StatisticsChart::countClosure(const QDate& day) {
    if (m_days.empty() || !day.isValid())
        return;
    if (m_days.back().day == day)
        ++m_days.back().count;
    else if (m_days.back().day < day)
        m_days.push_back({day, 1});
    else
        return;
    refresh();
}

void StatisticsChart::saveImage() {
    const auto chosen = m_dialogs.saveFile(
        kSaveTitle, platform::programFile(m_files, QStringLiteral("Statistiques.png")),
        QStringLiteral("Image PNG (*.png)|*.png"));
    if (!chosen || chosen->isEmpty())
        return;
    QString path = *chosen;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    const QByteArray image = m_chart.image();
    if (image.isEmpty()) {
        m_dialogs.message(QStringLiteral("L'image des statistiques n'a pas pu être dessinée."),
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning, kSaveTitle);
        return;
    }
    if (m_files.writeAll(path, image) != platform::FileError::None)
        m_dialogs.message(QStringLiteral("Impossible d'enregistrer l'image :\r") + path,
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning, kSaveTitle);
}

} // namespace keywords
