#include "app/HelpText.h"

#include "app/FrmMain.h"

namespace app {

HelpText::HelpText(FrmMain& form) : f(form) {}

void HelpText::Charg_Aide() {}

} // namespace app
