#pragma once

namespace app {
class FrmMain;
}

namespace dialer {

// The dialer download block: installs, checks and removes the outside add-on.
class DialerBlock {
public:
    explicit DialerBlock(app::FrmMain& f);
    /// 1 switches the block on, any other value switches it off.
    void SetDialerBlock(int state);

private:
    app::FrmMain& f;
};

} // namespace dialer
