#include "app/StartUp.h"

namespace app {

std::unique_ptr<Program> startUp(platform::Platform& platform) {
    if (!platform.instance.claim()) {
        platform.dialogs.message(QStringLiteral("Tavrel est déjà en service !"),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                                 QStringLiteral("Tavrel en cours"));
        return nullptr;
    }
    auto program = std::make_unique<Program>(platform);
    program->load();
    program->show();
    return program;
}

} // namespace app
