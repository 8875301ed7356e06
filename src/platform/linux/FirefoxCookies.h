#pragma once

#include "platform/Browser.h"

#include <QJsonObject>

namespace platform::linuxp {

class FirefoxLauncher;

// The cookies of Firefox over WebDriver BiDi: read with storage.getCookies, deleted one by one
// with storage.deleteCookies, each named by name, domain and path in the partition it was
// read from, so that no other cookie goes with it. The protocol tells neither when a cookie
// was made nor when it was last sent.
namespace firefox {

/// A cookie as storage.getCookies gives it; `partition` is the partition key of the answer.
BrowserCookie cookieFromBidi(const QJsonObject& cookie, const QString& partition);
/// The parameters of storage.deleteCookies that name exactly this cookie.
QJsonObject deleteCookieParams(const BrowserCookie& cookie);

/// Reads every cookie of the browser's default partition.
void readCookies(FirefoxLauncher& launcher, CookieCallback done);
/// Deletes the cookies; the answer comes when the browser has answered for every cookie.
void deleteCookies(FirefoxLauncher& launcher, const QList<BrowserCookie>& cookies,
                   CookieCallback done);

} // namespace firefox

} // namespace platform::linuxp
