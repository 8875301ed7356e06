#include "watch/IEWindows.h"

#include "app/FrmMain.h"

namespace watch {

cIEWindows::cIEWindows(app::FrmMain& form) : f(form) {}

cIEWindows::~cIEWindows() = default;

int cIEWindows::Count() const {
    return 0;
}

} // namespace watch
