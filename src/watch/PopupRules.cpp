#include "watch/PopupRules.h"

#include "controls/Simple.h"

namespace watch {

PopupRules::PopupRules(platform::BrowserShell& shell, const RuleSettings& settings,
                       const controls::CheckBox& sizeRuleSwitch, controls::Timer& flashTimer,
                       Feedback feedback)
    : m_shell(shell), m_settings(settings), m_sizeRuleSwitch(sizeRuleSwitch),
      m_flashTimer(flashTimer), m_feedback(std::move(feedback)) {}

bool PopupRules::refuse(platform::BrowserWindow* opener) {
    // What is asked for, and by which page: a site always allowed is never refused.
    Closure refusal{ClosureTotals::ByPopupRule, {}, {}, {}};
    QString openerUrl;
    if (opener) {
        refusal.url = m_shell.requestedWindowUrl(opener->hwnd());
        refusal.pageName = opener->locationName().value_or(QString());
        openerUrl = opener->locationURL().value_or(QString());
    }
    if (m_feedback.allowances.sparesRequest(openerUrl, refusal.url))
        return false;
    // Once decided, a refusal is told, as the size rule's when both rules refuse.
    auto decided = [this, &refusal](bool cancel) {
        if (cancel && m_feedback.closed)
            m_feedback.closed(refusal);
        return cancel;
    };

    bool cancel = false;

    // Size rule: a small window asking for a new one is refused. A size that cannot be read
    // is not taken for 0: it refuses nothing.
    if (m_sizeRuleSwitch.value() == 1 && opener) {
        const std::optional<int> w = opener->width();
        const std::optional<int> h = opener->height();
        if (w && h && *w <= m_settings.limitWidth && *h <= m_settings.limitHeight) {
            cancel = true;
            m_feedback.status.setSimpleText(QStringLiteral("Fermeture par taille de fenêtre L=") +
                                            QString::number(*w) + QStringLiteral(" H=:") +
                                            QString::number(*h));
            m_feedback.totals.add(ClosureTotals::ByPopupSize);
            m_feedback.playSound();
            refusal.cause = ClosureTotals::ByPopupSize;
        }
    }

    // Control held: the user asks for this window; the click allowance is kept for later.
    if (m_shell.keyDown(platform::Key::Control))
        return decided(cancel);

    // Automatic rule: one new window per click in a page. A click is known from the pages'
    // reports, which a page can make up: where the browser tells whether it saw a gesture
    // behind the request, it must have seen one too.
    if (m_settings.autoClose) {
        if (!m_userClick || !m_shell.newWindowGesture().value_or(true)) {
            cancel = true;
            m_flashTimer.setEnabled(true);
            m_feedback.status.setSimpleText(QStringLiteral("Fermeture automatique de la fenêtre"));
            m_feedback.totals.add(ClosureTotals::ByPopupRule);
            m_feedback.playSound();
        }
        m_userClick = false;
    }
    return decided(cancel);
}

void PopupRules::countRefusedByPage(platform::BrowserWindow* opener, int count,
                                    const QString& url) {
    // A page is told to refuse only after the automatic rule refused it a window; what it
    // refused since counts as that rule's, one closure each, with one sound for the lot.
    if (!m_settings.autoClose || count <= 0)
        return;
    Closure refusal{ClosureTotals::ByPopupRule, {}, {}, url};
    if (opener)
        refusal.pageName = opener->locationName().value_or(QString());
    m_flashTimer.setEnabled(true);
    m_feedback.status.setSimpleText(QStringLiteral("Fermeture automatique de la fenêtre"));
    for (int i = 0; i < count; ++i) {
        m_feedback.totals.add(ClosureTotals::ByPopupRule);
        if (m_feedback.closed)
            m_feedback.closed(refusal);
    }
    m_feedback.playSound();
}

} // namespace watch
