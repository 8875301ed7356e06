#include "platform/linux/ChromiumCookies.h"

#include "platform/linux/CdpJson.h"
#include "platform/linux/ChromiumLauncher.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <memory>

namespace platform::linuxp::chromium {

using cdp::str;

namespace {
// Answers from the event loop: the caller may open a dialog, which must not run inside the
// connection's own handling of a message or of its end. A browser let go of meanwhile takes
// its answers with it.
void answerLater(QObject& context, const CookieCallback& done, const CookieAnswer& answer) {
    QTimer::singleShot(0, &context, [done, answer] { done(answer); });
}
} // namespace

BrowserCookie cookieFromCdp(const QJsonObject& c) {
    BrowserCookie cookie;
    cookie.name = str(c, "name");
    cookie.value = str(c, "value");
    cookie.domain = str(c, "domain");
    cookie.path = str(c, "path");
    cookie.secure = c.value(QStringLiteral("secure")).toBool();
    cookie.httpOnly = c.value(QStringLiteral("httpOnly")).toBool();
    cookie.size = c.value(QStringLiteral("size")).toInteger();
    // A session cookie has the expiry -1 (and "session" true).
    const double expires = c.value(QStringLiteral("expires")).toDouble(-1);
    if (!c.value(QStringLiteral("session")).toBool() && expires > 0)
        cookie.expires = QDateTime::fromMSecsSinceEpoch(qint64(expires * 1000), Qt::UTC);
    // A cookie kept apart for one top-level site (CHIPS) is named with its partition.
    const QJsonValue key = c.value(QStringLiteral("partitionKey"));
    if (key.isObject())
        cookie.partition =
            QString::fromUtf8(QJsonDocument(key.toObject()).toJson(QJsonDocument::Compact));
    return cookie;
}

QJsonObject deleteCookieParams(const BrowserCookie& cookie) {
    QJsonObject p{{QStringLiteral("name"), cookie.name},
                  {QStringLiteral("domain"), cookie.domain},
                  {QStringLiteral("path"), cookie.path}};
    if (!cookie.partition.isEmpty())
        p.insert(QStringLiteral("partitionKey"),
                 QJsonDocument::fromJson(cookie.partition.toUtf8()).object());
    return p;
}

void readCookies(ChromiumLauncher& launcher, CookieCallback done) {
    launcher.send(QStringLiteral("Storage.getCookies"), {}, {},
                  [&launcher, done = std::move(done)](const CdpReply& reply) {
                      CookieAnswer answer;
                      answer.ok = reply.ok;
                      answer.error = reply.error;
                      if (reply.ok)
                          for (const QJsonValue& c :
                               reply.result.value(QStringLiteral("cookies")).toArray())
                              answer.cookies.append(cookieFromCdp(c.toObject()));
                      answerLater(launcher, done, answer);
                  });
}

void deleteCookies(ChromiumLauncher& launcher, const QString& sessionId,
                   const QList<BrowserCookie>& cookies, CookieCallback done) {
    if (cookies.isEmpty())
        return answerLater(launcher, done, {true, {}, {}});
    if (sessionId.isEmpty())
        return answerLater(launcher, done,
                           {false, {}, QStringLiteral("aucune page ouverte dans le navigateur")});
    // The answers are counted in; the first error is the one told.
    struct Count {
        qsizetype left = 0;
        QString error;
        CookieCallback done;
    };
    auto count = std::make_shared<Count>(Count{cookies.size(), {}, std::move(done)});
    for (const BrowserCookie& cookie : cookies)
        launcher.send(
            QStringLiteral("Network.deleteCookies"), deleteCookieParams(cookie), sessionId,
            [&launcher, count](const CdpReply& reply) {
                if (!reply.ok && count->error.isEmpty())
                    count->error = reply.error;
                if (--count->left == 0)
                    answerLater(launcher, count->done, {count->error.isEmpty(), {}, count->error});
            });
}

} // namespace platform::linuxp::chromium
