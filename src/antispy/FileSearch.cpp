#include "antispy/FileSearch.h"

#include "app/FrmMain.h"

namespace antispy {

FileSearch::FileSearch(app::FrmMain& form) : f(form) {}

void FileSearch::setStartFolderToRoot() {}

} // namespace antispy
