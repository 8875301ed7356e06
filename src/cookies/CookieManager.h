#pragma once

namespace app {
class FrmMain;
}

namespace cookies {

// The "Cookies" tab: the cookie folder, its file list and the analysis of one file.
class CookieManager {
public:
    explicit CookieManager(app::FrmMain& f);
    /// Finds the cookie folder and lists it (start-up).
    void Charge_Cookie();

private:
    app::FrmMain& f;
};

} // namespace cookies
