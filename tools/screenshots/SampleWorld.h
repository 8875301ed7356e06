#pragma once

namespace app {
class Program;
}
namespace fakes {
class FakePlatform;
}

namespace screens {

/// The files, settings and browser windows of a user who has run Tavrel for a while.
void seedWorld(fakes::FakePlatform& fake);
/// Where a loader of this build left a list empty, sample rows stand in, so that every tab
/// shows what it looks like in use.
void fillSamples(app::Program& program);

} // namespace screens
