#include "ScenarioRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv) {
    // Transcripts print times: the same ones whatever the machine's time zone.
    qputenv("TZ", "UTC");
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: tavrel-scenario FILE.scn\n";
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "cannot read " << file.fileName() << "\n";
        return 2;
    }
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    scenario::ScenarioRunner runner(out);
    const int code = runner.run(QString::fromUtf8(file.readAll()));
    out.flush();
    return code;
}
