#include "keywords/Saving.h"

#include "app/FrmMain.h"
#include "app/TaskBarIcon.h"

namespace keywords {

Saving::Saving(app::FrmMain& form) : f(form) {
    f.Command10.onClick = [this] { Command10_Click(); };
    f.Image1.onClick = [this] { Command10_Click(); };
}

void Saving::Command10_Click() {
    f.taskBarIcon().CmdIconize_Click();
}

} // namespace keywords
