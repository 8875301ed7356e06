#pragma once

#include "E2eSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"

#include <memory>

namespace e2e {

// The program with the real browser and the fakes for files, settings, dialogs and the rest.
struct Running {
    explicit Running(Browser& b)
        : platform{b.shell(),     fake.files,  fake.settings,  fake.dialogs,
                   fake.clock,    fake.sound,  fake.processes, fake.instance,
                   fake.registry, fake.system, fake.notifier} {}
    void start() {
        program = app::startUp(platform);
        form = &program->form();
        form->keywordScanTimer.setEnabled(true);
    }
    void keyword(const QString& k) {
        program->keywords.append(k);
        program->statistics.append(k);
    }
    /// A switch clicked by the user (its change rule runs).
    void check(controls::CheckBox& box) { box.userSet(1); }
    int listed() const { return form->windowListView.rowCount(); }
    fakes::FakePlatform fake;
    platform::Platform platform;
    std::unique_ptr<app::Program> program;
    app::MainForm* form = nullptr;
};

} // namespace e2e
