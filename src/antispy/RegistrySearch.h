#pragma once

namespace app {
class FrmMain;
}

namespace antispy {

// The search of the class registry for key names holding a known spyware name.
class RegistrySearch {
public:
    explicit RegistrySearch(app::FrmMain& f);

private:
    app::FrmMain& f;
};

} // namespace antispy
