#include "keywords/Saving.h"

#include "app/FrmMain.h"
#include "app/SettingsModule.h"
#include "app/TaskBarIcon.h"
#include "keywords/KeywordFile.h"
#include "keywords/Statistics.h"

namespace keywords {

Saving::Saving(app::FrmMain& form) : f(form) {
    f.saveKeywordsButton.onClick = [this] { Command19_Click(); };
    f.hideButton.onClick = [this] { Command10_Click(); };
    f.hidePicture.onClick = [this] { Command10_Click(); };
    f.quitMenuItem.onClick = [this] { quit_Click(); };
    f.quitButton.onClick = [this] { quit_Click(); };
}

void Saving::saveStatisticsAndList() {
    f.statistics().SaveStatistics();
    f.keywordFilePathLabel.setCaption(f.gKeywordFile);
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
