#pragma once

#include <QString>

namespace controls {
class Button;
}
namespace app {
class FrmMain;
}

namespace keywords {

// The commands that add, edit and delete keywords, and reopen a journal address. None of them
// writes the keyword file: that is left to the save, hide and quit commands.
class KeywordCommands {
public:
    explicit KeywordCommands(app::FrmMain& f);
    /// Appends a keyword at the bottom of the list and gives it a statistics record.
    void AddKeyword(const QString& text);

    /// Adds a keyword typed by the user.
    void Command5_Click();
    /// Adds the address of the selected open window.
    void Command3_Click();
    /// Adds the page title of the selected open window.
    void Command6_Click();
    /// Edits the selected keyword.
    void Command7_Click();
    /// Deletes the selected keyword, without confirmation.
    void Command8_Click();
    /// Reopens the selected journal address and removes the keyword that closed it.
    void Command1_Click();

private:
    /// The first selected row of the open-window list, or -1; `button` ends enabled exactly
    /// when a row is selected (an empty list leaves it as it is).
    int selectedWindowRow(controls::Button& button);

    app::FrmMain& f;
};

} // namespace keywords
