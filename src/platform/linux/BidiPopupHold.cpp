#include "platform/linux/BidiPopupHold.h"

#include <QJsonArray>

namespace platform::linuxp {

namespace {

QString text(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

// Frames nest at most this deep (a guard against a cycle in what the browser said).
constexpr int kMaxDepth = 64;

} // namespace

BidiPopupHold::Command BidiPopupHold::proceed(const QString& request) {
    return {
        {},
        {},
        QJsonObject{{QStringLiteral("method"), QStringLiteral("network.continueRequest")},
                    {QStringLiteral("params"), QJsonObject{{QStringLiteral("request"), request}}}}};
}

QString BidiPopupHold::topOf(const QString& context) const {
    QString at = context;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        const auto up = m_parent.find(at);
        if (up == m_parent.end())
            return at;
        at = up->second;
    }
    return {};
}

BidiPopupHold::Outcome BidiPopupHold::onMessage(const QJsonObject& message, qint64 nowMs) {
    Outcome out;
    const QJsonValue id = message.value(QStringLiteral("id"));
    if (id.isDouble()) {
        if (id.toInteger(-1) == m_holdAfter)
            m_holding = true;
        return out;
    }
    const QString method = text(message, "method");
    const QJsonObject params = message.value(QStringLiteral("params")).toObject();
    if (method == u"browsingContext.contextCreated") {
        onCreated(params, out);
    } else if (method == u"browsingContext.contextDestroyed") {
        const QString context = text(params, "context");
        m_top.erase(context);
        m_parent.erase(context);
    } else if (method == u"network.beforeRequestSent" && m_guard == PopupGuard::Strict &&
               params.value(QStringLiteral("isBlocked")).toBool()) {
        onBlocked(message, nowMs, out);
    }
    return out;
}

void BidiPopupHold::onCreated(const QJsonObject& params, Outcome& out) {
    const QString context = text(params, "context");
    if (context.isEmpty())
        return;
    const QJsonValue parent = params.value(QStringLiteral("parent"));
    const QJsonValue opener = params.value(QStringLiteral("originalOpener"));
    const bool popup =
        m_holding && !parent.isString() && opener.isString() && !opener.toString().isEmpty();
    if (m_guard == PopupGuard::Light) {
        if (!popup)
            return;
        // Only a subscribed context's requests can be held; both go before the event.
        const QJsonArray contexts{context};
        out.send.push_back(
            {context, QStringLiteral("subscription"),
             QJsonObject{{QStringLiteral("method"), QStringLiteral("session.subscribe")},
                         {QStringLiteral("params"),
                          QJsonObject{{QStringLiteral("events"),
                                       QJsonArray{QStringLiteral("network.beforeRequestSent")}},
                                      {QStringLiteral("contexts"), contexts}}}}});
        out.send.push_back(
            {context, QStringLiteral("intercept"),
             QJsonObject{{QStringLiteral("method"), QStringLiteral("network.addIntercept")},
                         {QStringLiteral("params"),
                          QJsonObject{{QStringLiteral("phases"),
                                       QJsonArray{QStringLiteral("beforeRequestSent")}},
                                      {QStringLiteral("contexts"), contexts}}}}});
        return;
    }
    if (parent.isString() && !parent.toString().isEmpty())
        m_parent[context] = parent.toString();
    else
        m_top[context] = popup ? State::Held : State::Admitted;
    // Requests that came before their context was named: those of a page already decided
    // go; a pop-up's go on to the program.
    for (auto it = m_unannounced.begin(); it != m_unannounced.end();) {
        const auto top = m_top.find(topOf(it->context));
        if (top == m_top.end()) {
            ++it;
            continue;
        }
        if (top->second == State::Admitted)
            out.send.push_back(proceed(it->request));
        else
            out.release.push_back(it->message);
        it = m_unannounced.erase(it);
    }
}

void BidiPopupHold::onBlocked(const QJsonObject& message, qint64 nowMs, Outcome& out) {
    const QJsonObject params = message.value(QStringLiteral("params")).toObject();
    const QString request = text(params.value(QStringLiteral("request")).toObject(), "request");
    const QString context = text(params, "context");
    if (request.isEmpty())
        return;
    if (context.isEmpty()) {
        // Not a page's (a worker's, the browser's own): nothing to decide.
        out.forward = false;
        out.send.push_back(proceed(request));
        return;
    }
    const auto top = m_top.find(topOf(context));
    if (top == m_top.end()) {
        out.forward = false;
        m_unannounced.push_back({context, request, nowMs, message});
        return;
    }
    if (top->second == State::Admitted) {
        out.forward = false;
        out.send.push_back(proceed(request));
    }
    // A held pop-up's request goes on to the program, which decides.
}

void BidiPopupHold::admit(const QString& context) {
    if (const auto it = m_top.find(context); it != m_top.end())
        it->second = State::Admitted;
}

BidiPopupHold::Outcome BidiPopupHold::expire(qint64 nowMs) {
    Outcome out;
    out.forward = false;
    for (auto it = m_unannounced.begin(); it != m_unannounced.end();) {
        if (nowMs - it->since < kUnannouncedMs) {
            ++it;
            continue;
        }
        out.send.push_back(proceed(it->request));
        it = m_unannounced.erase(it);
    }
    return out;
}

} // namespace platform::linuxp
