#include "tools/scenario/Commands.h"

#include "controls/Chart.h"

namespace scenario {

namespace {

// What a scenario's chart "draws": the PNG signature, then its panels as text, so that a
// saved image shows in `dump file` what it held.
QByteArray chartStandIn(const controls::Chart& chart) {
    QByteArray bytes("\x89PNG\r\n\x1a\n");
    for (const controls::Chart::Panel& panel : chart.panels()) {
        bytes += panel.title.toUtf8() + ':';
        for (const controls::Chart::Bar& bar : panel.bars)
            bytes += ' ' + bar.label.toUtf8() + '=' + QByteArray::number(bar.value);
        bytes += '\n';
    }
    return bytes;
}

} // namespace

void installChartStandIns(controls::Form& form) {
    for (controls::Control* c : form.controls())
        if (auto* chart = qobject_cast<controls::Chart*>(c))
            chart->render = [chart] { return chartStandIn(*chart); };
}

// Commands of the long lists: ordering a list by a column as a click on its header does.
// (Filter boxes are typed into with `type`; charts are printed by `dump`.)
void registerListCommands(ScenarioRunner& runner) {
    // `sort LIST N`: a click on the header of column N (1 is the first column).
    runner.addCommand("sort", [&runner](const auto& a) {
        need(a, 2);
        auto& list = runner.controlAs<controls::ListView>(a[0].text);
        const int column = toInt(a[1]) - 1;
        if (column < 0 || column >= int(list.columns().size()))
            throw LineError{QStringLiteral("no such column")};
        if (!list.headerVisible())
            throw LineError{QStringLiteral("the header of that list is hidden")};
        list.headerClicked(column);
    });
}

} // namespace scenario
