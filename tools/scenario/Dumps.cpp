#include "tools/scenario/Commands.h"

#include "controls/Chart.h"

namespace scenario {

namespace {

using fakes::FakeBrowserWindow;
using fakes::quote;

// File contents byte by byte: printable ASCII as it is, the rest escaped.
QString bytesQuoted(const QByteArray& bytes) {
    QString out = QStringLiteral("\"");
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        switch (b) {
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        default:
            if (b < 0x20 || b >= 0x7F)
                out += QStringLiteral("\\x%1")
                           .arg(b, 2, 16, QChar(u'0'))
                           .toUpper()
                           .replace(QStringLiteral("\\X"), QStringLiteral("\\x"));
            else
                out += QChar(b);
        }
    }
    out += u'"';
    return out;
}

// A control's state: its value or text, enabled or not, and the rows of a list.
void dumpControl(ScenarioRunner& runner, const controls::Control& c) {
    using K = controls::Control::Kind;
    const QString state = c.enabled() ? QStringLiteral("enabled") : QStringLiteral("disabled");
    switch (c.kind()) {
    case K::ListView: {
        const auto& list = static_cast<const controls::ListView&>(c);
        // A filter and an order, when the user set them.
        QString head = QStringLiteral("%1: %2 rows").arg(c.name()).arg(list.rowCount());
        if (!list.filterText().isEmpty())
            head += QStringLiteral(" of %1, filter %2")
                        .arg(list.sourceRowCount())
                        .arg(quote(list.filterText()));
        if (list.orderColumn() >= 0)
            head += QStringLiteral(", sorted by column %1 %2")
                        .arg(list.orderColumn() + 1)
                        .arg(list.orderDescending() ? QStringLiteral("descending")
                                                    : QStringLiteral("ascending"));
        runner.print(head);
        const int columns = int(list.columns().size());
        for (int r = 0; r < list.rowCount(); ++r) {
            const QStringList cells = list.cells(r);
            QString text = (list.isSelected(r) ? QStringLiteral("* ") : QStringLiteral("  ")) +
                           QString::number(r + 1);
            const int shown = std::max<int>(columns, int(cells.size()));
            for (int k = 0; k < shown; ++k)
                text += u' ' + quote(cells.value(k));
            runner.print(text);
        }
        break;
    }
    case K::ListBox: {
        const auto& list = static_cast<const controls::ListBox&>(c);
        runner.print(QStringLiteral("%1: %2 items").arg(c.name()).arg(list.count()));
        for (int i = 0; i < list.count(); ++i)
            runner.print((list.isSelected(i) ? QStringLiteral("* ") : QStringLiteral("  ")) +
                         QString::number(i + 1) + u' ' + quote(list.item(i)));
        break;
    }
    case K::CheckBox:
        runner.print(QStringLiteral("%1 = %2 %3 %4")
                         .arg(c.name())
                         .arg(static_cast<const controls::CheckBox&>(c).value())
                         .arg(state, quote(c.caption())));
        break;
    case K::TextBox:
        runner.print(
            QStringLiteral("%1 = %2 %3")
                .arg(c.name(), quote(static_cast<const controls::TextBox&>(c).text()), state));
        break;
    case K::ComboBox:
        runner.print(QStringLiteral("%1 = %2 %3")
                         .arg(c.name(),
                              quote(static_cast<const controls::ComboBox&>(c).currentText()),
                              state));
        break;
    case K::Label:
        runner.print(QStringLiteral("%1 = %2 %3").arg(c.name(), quote(c.caption()), state));
        break;
    case K::FolderList: {
        const auto& d = static_cast<const controls::FolderList&>(c);
        QString text = QStringLiteral("%1 = %2 %3").arg(c.name(), quote(d.path()), state);
        for (const QString& folder : d.folders())
            text += u' ' + quote(folder);
        runner.print(text);
        break;
    }
    case K::DriveList:
        runner.print(QStringLiteral("%1 = %2 %3")
                         .arg(c.name(),
                              quote(static_cast<const controls::DriveList&>(c).currentDrive()),
                              state));
        break;
    case K::Timer: {
        const auto& t = static_cast<const controls::Timer&>(c);
        runner.print(QStringLiteral("%1 %2 %3")
                         .arg(c.name(), t.enabled() ? QStringLiteral("on") : QStringLiteral("off"))
                         .arg(t.interval()));
        break;
    }
    case K::StatusBar:
        runner.print(QStringLiteral("%1 = %2").arg(c.name(), quote(c.caption())));
        break;
    case K::TabControl: {
        const auto& tabs = static_cast<const controls::TabControl&>(c);
        QStringList disabled;
        for (int i = 0; i < tabs.count(); ++i)
            if (!tabs.tabEnabled(i))
                disabled.append(QString::number(i));
        runner.print(QStringLiteral("%1 = %2 disabled-tabs %3")
                         .arg(c.name())
                         .arg(tabs.current())
                         .arg(disabled.isEmpty() ? QStringLiteral("none") : disabled.join(u',')));
        break;
    }
    case K::Chart: {
        const auto& chart = static_cast<const controls::Chart&>(c);
        runner.print(QStringLiteral("%1: %2 panels").arg(c.name()).arg(chart.panels().size()));
        for (const controls::Chart::Panel& panel : chart.panels()) {
            QString text = QStringLiteral("  ") + quote(panel.title) + u':';
            for (const controls::Chart::Bar& bar : panel.bars)
                text += QStringLiteral(" %1=%2").arg(quote(bar.label)).arg(bar.value);
            runner.print(text);
        }
        break;
    }
    default:
        runner.print(QStringLiteral("%1 %2 %3").arg(c.name(), state, quote(c.caption())));
        break;
    }
}

} // namespace

// `dump ...`: the program's state, the files, the settings, the browser windows, the key tree.
void registerDumpCommands(ScenarioRunner& runner) {
    runner.addCommand("dump", [&runner](const auto& a) {
        need(a, 1);
        const QString what = a[0].text;
        if (what == u"totals") {
            const watch::ClosureTotals& t = runner.program().closures;
            runner.print(QStringLiteral("totals %1 %2 %3 %4")
                             .arg(t.byKeyword())
                             .arg(t.byPopupRule())
                             .arg(t.bySizeScan())
                             .arg(t.byPopupSize()));
        } else if (what == u"file") {
            need(a, 2);
            const QString path = runner.programPath(a[1]);
            const auto bytes = runner.fake().files.readAll(path);
            if (!bytes)
                runner.print(QStringLiteral("file %1: missing").arg(a[1].text));
            else
                runner.print(QStringLiteral("file %1: %2 bytes %3")
                                 .arg(a[1].text)
                                 .arg(bytes->size())
                                 .arg(bytesQuoted(*bytes)));
        } else if (what == u"access") {
            // Who may read a file: its owner only, or others too.
            need(a, 2);
            const QString path = runner.programPath(a[1]);
            if (!runner.fake().files.readAll(path))
                runner.print(QStringLiteral("access %1: missing").arg(a[1].text));
            else
                runner.print(QStringLiteral("access %1: %2")
                                 .arg(a[1].text, runner.fake().files.ownerOnly(path)
                                                     ? QStringLiteral("owner only")
                                                     : QStringLiteral("others too")));
        } else if (what == u"settings") {
            const auto& all = runner.fake().settings.all();
            for (auto it = all.constBegin(); it != all.constEnd(); ++it)
                runner.print(it.key() + QStringLiteral(" = ") + quote(it.value()));
        } else if (what == u"windows") {
            for (platform::BrowserWindow* w : runner.fake().browser.windows()) {
                auto* fw = static_cast<FakeBrowserWindow*>(w);
                runner.print(QStringLiteral("window %1 %2 %3 %4x%5")
                                 .arg(fw->hwnd())
                                 .arg(quote(fw->title), quote(fw->url))
                                 .arg(fw->w)
                                 .arg(fw->h));
            }
        } else if (what == u"registry") {
            need(a, 2);
            for (const QString& line : runner.fake().registry.dump(a[1].text))
                runner.print(line);
        } else if (what == u"state") {
            auto& f = runner.form();
            runner.print(
                QStringLiteral("state %1 %2 %3")
                    .arg(f.visible() ? QStringLiteral("visible") : QStringLiteral("hidden"),
                         runner.program().passwordLock().locked() ? QStringLiteral("locked")
                                                                  : QStringLiteral("unlocked"),
                         quote(runner.mainControl(QStringLiteral("CmdIconize"))->caption())));
        } else {
            dumpControl(runner, *runner.control(what));
        }
    });
}

} // namespace scenario
