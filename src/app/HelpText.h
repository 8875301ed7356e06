#pragma once

namespace app {

class FrmMain;

class HelpText {
public:
    explicit HelpText(FrmMain& f);
    /// Loads the help file into `TxtAide`.
    void Charg_Aide();

private:
    FrmMain& f;
};

} // namespace app
