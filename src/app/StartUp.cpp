#include "app/StartUp.h"

namespace app {

std::unique_ptr<FrmMain> startUp(platform::Platform& platform) {
    if (!platform.instance.claim()) {
        platform.dialogs.message(QStringLiteral("Tavrel est déjà en service !"),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                                 QStringLiteral("Tavrel en cours"));
        return nullptr;
    }
    auto form = std::make_unique<FrmMain>(platform);
    form->Form_Load();
    form->show();
    return form;
}

} // namespace app
