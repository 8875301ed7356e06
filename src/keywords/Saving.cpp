#include "keywords/Saving.h"

#include "app/FrmMain.h"
#include "app/SettingsModule.h"
#include "app/TaskBarIcon.h"
#include "keywords/KeywordFile.h"
#include "keywords/Statistics.h"

namespace keywords {

Saving::Saving(app::FrmMain& form) : f(form) {
    f.Command19.onClick = [this] { Command19_Click(); };
    f.Command10.onClick = [this] { Command10_Click(); };
    f.Image1.onClick = [this] { Command10_Click(); };
    f.quit.onClick = [this] { quit_Click(); };
    f.Command9.onClick = [this] { quit_Click(); };
}

void Saving::saveStatisticsAndList() {
    f.statistics().SaveStatistics();
    f.LblMotCle.setCaption(f.gKeywordFile);
    if (f.gKeywordFile.isEmpty())
        f.gKeywordFile = f.programFile(QStringLiteral("NouveauHost.dat"));
    f.keywordFile().SaveKeywordList(f.gKeywordFile);
}

void Saving::Command19_Click() {
    saveStatisticsAndList();
}

void Saving::Command10_Click() {
    f.statistics().SaveStatistics();
    f.keywordFile().SaveKeywordListQuoted(f.programFile(QStringLiteral("ListeUrl.dat")));
    app::TaskBarIcon& icon = f.taskBarIcon();
    if (icon.IconInTray())
        icon.ShowFromTray();
    else
        icon.HideToTray();
}

void Saving::quit_Click() {
    saveStatisticsAndList();
    f.settings().SauveConfig();
    f.endNow();
}

} // namespace keywords
