#include "cookies/CookieManager.h"

#include "app/FrmMain.h"

namespace cookies {

CookieManager::CookieManager(app::FrmMain& form) : f(form) {}

void CookieManager::Charge_Cookie() {}

} // namespace cookies
