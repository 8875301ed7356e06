// The cookie tab on a real headless Chromium (see CookieCase.h).

#include "CookieCase.h"

TEST(Cookies, TheTabListsAnalysesExportsAndDeletesAPagesCookiesInChromium) {
    e2e::Browser b;
    E2E_NEED_BROWSER(b);
    e2e::cookieTabCase(b);
}
