#include "platform/linux/FirefoxCookies.h"

#include "platform/TextCodec.h"
#include "platform/linux/CdpJson.h"
#include "platform/linux/FirefoxLauncher.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <memory>

namespace platform::linuxp::firefox {

using cdp::str;

namespace {
// Answers from the event loop: the caller may open a dialog, which must not run inside the
// connection's own handling of a message or of its end. A browser let go of meanwhile takes
// its answers with it.
void answerLater(QObject& context, const CookieCallback& done, const CookieAnswer& answer) {
    QTimer::singleShot(0, &context, [done, answer] { done(answer); });
}
} // namespace

BrowserCookie cookieFromBidi(const QJsonObject& c, const QString& partition) {
    BrowserCookie cookie;
    cookie.name = str(c, "name");
    // The value is text, or bytes (base64) where it is not UTF-8.
    const QJsonObject value = c.value(QStringLiteral("value")).toObject();
    if (str(value, "type") == u"base64")
        cookie.value = platform::decodeText(QByteArray::fromBase64(str(value, "value").toLatin1()));
    else
        cookie.value = str(value, "value");
    cookie.domain = str(c, "domain");
    cookie.path = str(c, "path");
    cookie.secure = c.value(QStringLiteral("secure")).toBool();
    cookie.httpOnly = c.value(QStringLiteral("httpOnly")).toBool();
    cookie.size = c.value(QStringLiteral("size")).toInteger();
    // A session cookie has no expiry.
    if (const QJsonValue expiry = c.value(QStringLiteral("expiry")); expiry.isDouble())
        cookie.expires = QDateTime::fromMSecsSinceEpoch(qint64(expiry.toDouble()) * 1000, Qt::UTC);
    cookie.partition = partition;
    return cookie;
}

QJsonObject deleteCookieParams(const BrowserCookie& cookie) {
    QJsonObject filter{{QStringLiteral("name"), cookie.name},
                       {QStringLiteral("domain"), cookie.domain},
                       {QStringLiteral("path"), cookie.path}};
    QJsonObject params{{QStringLiteral("filter"), filter}};
    // The partition it was read from: a storage key (user context, source origin).
    QJsonObject key = QJsonDocument::fromJson(cookie.partition.toUtf8()).object();
    if (!key.isEmpty()) {
        key.insert(QStringLiteral("type"), QStringLiteral("storageKey"));
        params.insert(QStringLiteral("partition"), key);
    }
    return params;
}

void readCookies(FirefoxLauncher& launcher, CookieCallback done) {
    launcher.send(
        QStringLiteral("storage.getCookies"), {},
        [&launcher, done = std::move(done)](const BidiReply& reply) {
            CookieAnswer answer;
            answer.ok = reply.ok;
            answer.error = reply.error;
            const QJsonValue key = reply.result.value(QStringLiteral("partitionKey"));
            const QString partition =
                key.isObject() ? QString::fromUtf8(
                                     QJsonDocument(key.toObject()).toJson(QJsonDocument::Compact))
                               : QString();
            if (reply.ok)
                for (const QJsonValue& c : reply.result.value(QStringLiteral("cookies")).toArray())
                    answer.cookies.append(cookieFromBidi(c.toObject(), partition));
            answerLater(launcher, done, answer);
        });
}

void deleteCookies(FirefoxLauncher& launcher, const QList<BrowserCookie>& cookies,
                   CookieCallback done) {
    if (cookies.isEmpty())
        return answerLater(launcher, done, {true, {}, {}});
    // The answers are counted in; the first error is the one told.
    struct Count {
        qsizetype left = 0;
        QString error;
        CookieCallback done;
    };
    auto count = std::make_shared<Count>(Count{cookies.size(), {}, std::move(done)});
    for (const BrowserCookie& cookie : cookies)
        launcher.send(
            QStringLiteral("storage.deleteCookies"), deleteCookieParams(cookie),
            [&launcher, count](const BidiReply& reply) {
                if (!reply.ok && count->error.isEmpty())
                    count->error = reply.error;
                if (--count->left == 0)
                    answerLater(launcher, count->done, {count->error.isEmpty(), {}, count->error});
            });
}

} // namespace platform::linuxp::firefox
