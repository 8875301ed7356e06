#include "keywords/KeywordCommands.h"

#include "app/FrmMain.h"
#include "keywords/Statistics.h"

namespace keywords {

KeywordCommands::KeywordCommands(app::FrmMain& form) : f(form) {}

void KeywordCommands::AddKeyword(const QString& text) {
    f.ListView3.appendRow({text});
    f.statistics().AppendStatRecord(text);
}

} // namespace keywords
