// Bar charts (Qt Charts): one chart a panel, side by side.

#include "controls/Chart.h"
#include "view/bindings/Binding.h"
#include "view/bindings/Families.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QValueAxis>

namespace view::bindings {

namespace {

// Long keywords (whole addresses) keep their start and end on the axis.
QString shortLabel(const QString& label) {
    constexpr int kMax = 36;
    if (label.size() <= kMax)
        return label;
    return label.left(kMax / 2 - 1) + QChar(0x2026) + label.right(kMax / 2 - 1);
}

// The first panel lists keywords: horizontal bars, the largest at the top. Other panels
// (days) are upright bars in their order.
QChart* chartOf(const controls::Chart::Panel& panel, bool horizontal) {
    auto* chart = new QChart;
    chart->setTitle(panel.title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    auto* set = new QBarSet(QStringLiteral("Fenêtres fermées"));
    QStringList labels;
    qint64 top = 0;
    std::vector<controls::Chart::Bar> bars = panel.bars;
    if (horizontal)
        std::reverse(bars.begin(), bars.end()); // categories run from the bottom up
    for (const controls::Chart::Bar& bar : bars) {
        *set << double(bar.value);
        labels << shortLabel(bar.label);
        top = qMax(top, bar.value);
    }
    set->setColor(QColor(0x3a, 0x6e, 0xa5));
    QAbstractBarSeries* series = horizontal
                                     ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                     : static_cast<QAbstractBarSeries*>(new QBarSeries);
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    categories->setTruncateLabels(false); // shortLabel keeps them short enough
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%d"));
    // Whole numbers at round steps: 0, 1, 2 ... for a few closures, 0, 20, 40 ... for more.
    values->setRange(0, double(qMax<qint64>(top, 4)));
    values->applyNiceNumbers();
    chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
    return chart;
}

class ChartBinding : public Binding {
public:
    ChartBinding(controls::Chart& chart, QWidget* widget) : Binding(chart, widget) {
        m_layout = new QHBoxLayout(widget);
        m_layout->setContentsMargins(0, 0, 0, 0);
        chart.render = [widget] {
            QByteArray png;
            QBuffer buffer(&png);
            if (!buffer.open(QIODevice::WriteOnly) || !widget->grab().save(&buffer, "PNG"))
                return QByteArray();
            return png;
        };
        refresh();
    }
    ~ChartBinding() override {
        if (auto* c = model<controls::Chart>())
            c->render = nullptr;
    }

protected:
    void update() override {
        auto* c = model<controls::Chart>();
        if (c->panels() == m_shown)
            return;
        m_shown = c->panels();
        while (QLayoutItem* item = m_layout->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        for (std::size_t i = 0; i < m_shown.size(); ++i) {
            auto* view = new QChartView(chartOf(m_shown[i], i == 0), m);
            view->setRenderHint(QPainter::Antialiasing);
            m_layout->addWidget(view, i == 0 ? 3 : 2);
        }
    }

private:
    QHBoxLayout* m_layout;
    std::vector<controls::Chart::Panel> m_shown;
};

} // namespace

QWidget* createChart(controls::Chart& chart, QWidget* parent) {
    auto* widget = new QWidget(parent);
    new ChartBinding(chart, widget);
    return widget;
}

} // namespace view::bindings
