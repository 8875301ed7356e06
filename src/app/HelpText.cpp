#include "app/HelpText.h"

#include "app/FrmMain.h"
#include "keywords/TextItems.h"

namespace app {

HelpText::HelpText(FrmMain& form) : f(form) {}

void HelpText::Charg_Aide() {
    auto& files = f.platform().files;
    const QString path = f.programFile(QStringLiteral("Tavrel.aide"));
    // A missing help file is not worth a message: the tab simply stays empty.
    if (!platform::FileExists(files, path))
        return;
    const auto bytes = files.readAll(path);
    if (!bytes)
        return;
    f.helpBox.setText(keywords::decodeText(*bytes));
}

} // namespace app
