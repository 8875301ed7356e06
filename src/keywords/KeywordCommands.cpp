#include "keywords/KeywordCommands.h"

#include "app/FrmMain.h"
#include "keywords/Statistics.h"

namespace keywords {

KeywordCommands::KeywordCommands(app::FrmMain& form) : f(form) {
    f.addKeywordButton.onClick = [this] { Command5_Click(); };
    f.addUrlButton.onClick = [this] { Command3_Click(); };
    f.addPageNameButton.onClick = [this] { Command6_Click(); };
    f.editKeywordButton.onClick = [this] { Command7_Click(); };
    f.deleteKeywordButton.onClick = [this] { Command8_Click(); };
    f.reopenUrlButton.onClick = [this] { Command1_Click(); };
}

void KeywordCommands::AddKeyword(const QString& text) {
    f.keywordListView.appendRow({text});
    f.statistics().AppendStatRecord(text);
}

void KeywordCommands::Command5_Click() {
    const QString answer = f.platform().dialogs.input(
        QStringLiteral("Mot ou partie de l'url a fermer automatiquement?"), f.caption(), QString());
    if (answer.isEmpty())
        return;
    AddKeyword(answer);
}

int KeywordCommands::selectedWindowRow(controls::Button& button) {
    const controls::ListView& windows = f.windowListView;
    for (int r = 0; r < windows.rowCount(); ++r) {
        if (windows.isSelected(r)) {
            button.setEnabled(true);
            return r;
        }
        button.setEnabled(false);
    }
    return -1;
}

void KeywordCommands::Command3_Click() {
    const int r = selectedWindowRow(f.addUrlButton);
    if (r < 0)
        return;
    AddKeyword(f.windowListView.subItem(r, 1));
}

void KeywordCommands::Command6_Click() {
    const int r = selectedWindowRow(f.addPageNameButton);
    if (r < 0)
        return;
    AddKeyword(f.windowListView.text(r));
}

void KeywordCommands::Command7_Click() {
    // The row is taken before the prompt opens: the timers keep running while it is open.
    const int r = f.keywordListView.firstSelected();
    if (r < 0)
        return;
    const QString old = f.keywordListView.text(r);
    const QString answer =
        f.platform().dialogs.input(QStringLiteral("Modification de ") + old, f.caption(), old);
    if (answer.isEmpty() || r >= f.keywordListView.rowCount())
        return;
    f.keywordListView.setText(r, answer);
}

void KeywordCommands::Command8_Click() {
    const int r = f.keywordListView.firstSelected();
    if (r >= 0)
        f.keywordListView.removeRow(r);
}

void KeywordCommands::Command1_Click() {
    const int j = f.journalView.firstSelected();
    if (j < 0)
        return;
    const QString keyword = f.journalView.subItem(j, 1).toLower();
    const QString url = f.journalView.subItem(j, 2);
    const controls::ListView& list = f.keywordListView;
    for (int r = 0; r < list.rowCount(); ++r) {
        if (list.text(r).toLower() == keyword) {
            f.keywordListView.removeRow(r);
            break;
        }
    }
    // The address is handed over as one argument, never pasted into a command line, so
    // quotes or shell characters in it cannot make anything else run.
    if (!f.platform().processes.openUrl(url)) {
        // Keep the journal entry: it is the only place the address is still written.
        f.platform().dialogs.message(QStringLiteral("Impossible d'ouvrir l'adresse :\r") + url,
                                     platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                                     QStringLiteral("Erreur"));
        return;
    }
    f.journalView.removeRow(j);
}

} // namespace keywords
