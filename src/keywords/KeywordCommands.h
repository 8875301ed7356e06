#pragma once

#include <QString>

namespace app {
class FrmMain;
}

namespace keywords {

// The commands that add, edit and delete keywords, and reopen a journal address.
class KeywordCommands {
public:
    explicit KeywordCommands(app::FrmMain& f);
    /// Appends a keyword at the bottom of the list and gives it a statistics record.
    void AddKeyword(const QString& text);

private:
    app::FrmMain& f;
};

} // namespace keywords
