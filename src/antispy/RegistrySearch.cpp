#include "antispy/RegistrySearch.h"

#include "app/FrmMain.h"

namespace antispy {

RegistrySearch::RegistrySearch(app::FrmMain& form) : f(form) {
    (void)f;
}

} // namespace antispy
