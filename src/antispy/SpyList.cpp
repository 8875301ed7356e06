#include "antispy/SpyList.h"

#include "app/FrmMain.h"

namespace antispy {

SpyList::SpyList(app::FrmMain& form) : f(form) {}

void SpyList::loadAtStartup() {}

} // namespace antispy
