#pragma once

namespace app {

class FrmMain;

// Loading and saving of the options in the per-user settings store.
class SettingsModule {
public:
    explicit SettingsModule(FrmMain& f);
    /// Reads every setting and applies it to the switches, in the fixed order.
    void Charge_Settings();
    /// Writes every setting back, in the fixed order.
    void SauveConfig();

private:
    FrmMain& f;
};

} // namespace app
