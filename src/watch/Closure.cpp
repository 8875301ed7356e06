#include "watch/Closure.h"

#include <QStringList>

namespace watch {

QString causeText(ClosureTotals::Cause cause) {
    switch (cause) {
    case ClosureTotals::ByKeyword:
        return QStringLiteral("mot clé");
    case ClosureTotals::ByPopupRule:
        return QStringLiteral("pop-up sans clic");
    case ClosureTotals::ByPopupSize:
        return QStringLiteral("pop-up d'une petite fenêtre");
    case ClosureTotals::BySizeScan:
        return QStringLiteral("petite fenêtre");
    }
    return {};
}

QString noticeText(const Closure& closure) {
    QString headline;
    switch (closure.cause) {
    case ClosureTotals::ByKeyword:
        headline = QStringLiteral("Fenêtre fermée (mot clé « %1 »)").arg(closure.keyword);
        break;
    case ClosureTotals::BySizeScan:
        headline = QStringLiteral("Fenêtre fermée (petite fenêtre)");
        break;
    case ClosureTotals::ByPopupRule:
    case ClosureTotals::ByPopupSize:
        headline = QStringLiteral("Pop-up refusé (%1)").arg(causeText(closure.cause));
        break;
    }
    QStringList lines{headline};
    for (const QString& line : {closure.pageName, closure.url})
        if (!line.isEmpty())
            lines.append(line);
    return lines.join(u'\n');
}

} // namespace watch
