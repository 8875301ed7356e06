#include "app/SettingsModule.h"

#include "app/FrmMain.h"

namespace app {

SettingsModule::SettingsModule(FrmMain& form) : f(form) {}

void SettingsModule::Charge_Settings() {}

void SettingsModule::SauveConfig() {}

} // namespace app
