#pragma once

#include "platform/Browser.h"

#include <QJsonObject>

namespace platform::linuxp {

class ChromiumLauncher;

// The cookies of a Chromium browser over the DevTools Protocol: read on the browser's own
// session (Storage.getCookies), deleted one by one on a page's session (Network.deleteCookies,
// which the browser's session does not offer), each named by name, domain, path and
// partition, so that no other cookie goes with it. The protocol tells neither when a cookie
// was made nor when it was last sent.
namespace chromium {

/// A cookie as Storage.getCookies gives it.
BrowserCookie cookieFromCdp(const QJsonObject& cookie);
/// The parameters of Network.deleteCookies that name exactly this cookie.
QJsonObject deleteCookieParams(const BrowserCookie& cookie);

/// Reads every cookie of the browser.
void readCookies(ChromiumLauncher& launcher, CookieCallback done);
/// Deletes the cookies through the page session `sessionId` (empty: there is no page, and
/// nothing is deleted). The answer comes when the browser has answered for every cookie.
void deleteCookies(ChromiumLauncher& launcher, const QString& sessionId,
                   const QList<BrowserCookie>& cookies, CookieCallback done);

} // namespace chromium

} // namespace platform::linuxp
