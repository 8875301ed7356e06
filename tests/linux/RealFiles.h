#pragma once

#include "UserHome.h"

#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/LinuxFiles.h"

#include <cstdio>
#include <memory>

// The program on the real file system (the rest of the platform is the fakes'): its program
// folder is PROG in a temporary home.
struct RealFiles {
    UserHome home;
    fakes::FakePlatform fake;
    platform::linuxp::LinuxFiles files;
    platform::Platform platform{fake.browser,  files,       fake.settings,  fake.dialogs,
                                fake.clock,    fake.sound,  fake.processes, fake.instance,
                                fake.registry, fake.system, fake.notifier};
    std::unique_ptr<app::Program> program;

    explicit RealFiles(const QString& programFolder = {})
        : files(programFolder.isEmpty() ? home.path(QStringLiteral("prog")) : programFolder) {
        QDir().mkpath(files.programFolder());
    }
    QString prog(const QString& name) const { return files.programFolder() + u'/' + name; }
    /// Builds the program and runs its load step.
    void start() {
        program = std::make_unique<app::Program>(platform);
        program->load();
    }
    app::MainForm& form() { return program->form(); }
    QStringList transcript() { return fake.transcript.take(); }
};

inline bool writeRaw(const QByteArray& path, const QByteArray& bytes) {
    FILE* f = std::fopen(path.constData(), "wb");
    if (!f)
        return false;
    const bool ok =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
    return std::fclose(f) == 0 && ok;
}

/// The bytes of a file named by its bytes, or "<missing>".
inline QByteArray readRaw(const QByteArray& path) {
    FILE* f = std::fopen(path.constData(), "rb");
    if (!f)
        return "<missing>";
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, qsizetype(n));
    std::fclose(f);
    return bytes;
}
