#include "about/FrmAbout.h"

#include "app/FrmMain.h"

namespace about {

void openAbout(app::FrmMain& owner) {
    (void)owner;
}

} // namespace about
