#pragma once

namespace app {
class FrmMain;
}

namespace about {

/// Opens the About box modally over the main window.
void openAbout(app::FrmMain& owner);

} // namespace about
