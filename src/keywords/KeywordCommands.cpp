#include "keywords/KeywordCommands.h"

#include "controls/ListView.h"
#include "controls/Simple.h"

namespace keywords {

KeywordCommands::KeywordCommands(platform::Dialogs& dialogs, platform::Processes& processes,
                                 KeywordList& keywords, StatisticsFile& statistics,
                                 Journal& journal, Controls controls, QString promptTitle)
    : m_dialogs(dialogs), m_processes(processes), m_keywords(keywords), m_statistics(statistics),
      m_journal(journal), m_controls(controls), m_promptTitle(std::move(promptTitle)) {}

void KeywordCommands::add(const QString& keyword) {
    m_keywords.append(keyword);
    m_statistics.appendRecord(keyword);
}

void KeywordCommands::addTyped() {
    const QString answer = m_dialogs.input(
        QStringLiteral("Mot ou partie de l'url a fermer automatiquement?"), m_promptTitle, {});
    if (answer.isEmpty())
        return;
    add(answer);
}

int KeywordCommands::selectedWindowRow(controls::Button& button) {
    const controls::ListView& windows = m_controls.windowList;
    for (int r = 0; r < windows.rowCount(); ++r) {
        if (windows.isSelected(r)) {
            button.setEnabled(true);
            return r;
        }
        button.setEnabled(false);
    }
    return -1;
}

void KeywordCommands::addWindowUrl() {
    const int r = selectedWindowRow(m_controls.addUrlButton);
    if (r >= 0)
        add(m_controls.windowList.subItem(r, 1));
}

void KeywordCommands::addWindowPageName() {
    const int r = selectedWindowRow(m_controls.addPageNameButton);
    if (r >= 0)
        add(m_controls.windowList.text(r));
}

void KeywordCommands::windowListClicked() {
    const controls::ListView& windows = m_controls.windowList;
    for (int r = 0; r < windows.rowCount(); ++r) {
        const bool selected = windows.isSelected(r);
        m_controls.addUrlButton.setEnabled(selected);
        m_controls.addPageNameButton.setEnabled(selected);
        if (selected)
            return;
    }
}

void KeywordCommands::editSelected() {
    // The row is taken before the prompt opens: the timers keep running while it is open. It
    // is the keyword behind the selected row as shown, whatever the filter and the order. A
    // list file being read replaces the list first: the row is one of the list as it will be.
    m_keywords.settle();
    int r = m_controls.keywordList.selectedSourceRow();
    if (r < 0)
        return;
    const QString old = m_keywords.at(r);
    const QString answer =
        m_dialogs.input(QStringLiteral("Modification de ") + old, m_promptTitle, old);
    if (answer.isEmpty())
        return;
    // The list may have changed while the prompt was open: the word is found again.
    m_keywords.settle();
    if (r >= m_keywords.size() || m_keywords.at(r) != old)
        r = m_keywords.indexOf(old);
    if (r >= 0)
        m_keywords.replace(r, answer);
}

void KeywordCommands::deleteSelected() {
    m_keywords.settle();
    const int r = m_controls.keywordList.selectedSourceRow();
    if (r >= 0)
        m_keywords.removeAt(r);
}

void KeywordCommands::reopenJournalUrl() {
    const int j = m_controls.journalList.selectedSourceRow();
    if (j < 0)
        return;
    const Journal::Entry entry = m_journal.at(j);
    m_keywords.settle();
    const int k = m_keywords.indexOfLowered(entry.keyword.toLower());
    if (k >= 0)
        m_keywords.removeAt(k);
    // The address is handed over as one argument, never pasted into a command line, so
    // quotes or shell characters in it cannot make anything else run.
    if (!m_processes.openUrl(entry.url)) {
        // Keep the journal entry: it is the only place the address is still written.
        m_dialogs.message(QStringLiteral("Impossible d'ouvrir l'adresse :\r") + entry.url,
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Erreur"));
        return;
    }
    m_journal.removeAt(j);
}

} // namespace keywords
