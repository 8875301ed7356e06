#include "dialer/DialerBlock.h"

#include "app/FrmMain.h"

namespace dialer {

DialerBlock::DialerBlock(app::FrmMain& form) : f(form) {}

void DialerBlock::SetDialerBlock(int state) {
    (void)state;
}

} // namespace dialer
