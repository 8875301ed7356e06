#include "app/StartWithSession.h"

#include "app/FrmMain.h"

namespace app {

StartWithSession::StartWithSession(FrmMain& form) : f(form) {}

void StartWithSession::readBack() {}

} // namespace app
