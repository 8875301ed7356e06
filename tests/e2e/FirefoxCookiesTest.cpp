// The cookie tab on a real headless Firefox (see CookieCase.h).

#include "CookieCase.h"
#include "FirefoxSupport.h"

TEST(FirefoxCookies, TheTabListsAnalysesExportsAndDeletesAPagesCookiesInFirefox) {
    e2e::Firefox b;
    E2E_NEED_FIREFOX(b);
    e2e::cookieTabCase(b);
}
