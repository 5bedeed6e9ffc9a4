// The soak run as a benchmark: the real program through a whole sprint (20 minutes, or the
// seconds given as the first argument), its figures printed as "name value" lines.
// bench_soak <seconds> [folder kept] [idle]: "idle" keys the calling loop alone, the
// baseline of the keying figures. bench_soak --lines <lines.log> reads the keying figures
// again from a kept run's line record.
#include "SoakRun.h"
#include "SoakStation.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ditlog::soak::SoakOptions options;
    options.progress = true;
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--lines")) {
        QFile record(args.at(2));
        if (!record.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(2)));
            return 1;
        }
        ditlog::soak::SoakFigures figures;
        figures.keying = ditlog::testing::analyseKeying(ditlog::testing::dtrEdges(record.readAll()),
                                                        ditlog::soak::StationPlan().wpm);
        for (const QString& line : ditlog::soak::describe(figures)) {
            if (line.startsWith(QLatin1String("keying")) || line.startsWith(QLatin1String("  marks"))) {
                std::printf("%s\n", qPrintable(line));
            }
        }
        return 0;
    }
    if (args.size() > 1) {
        options.seconds = args.at(1).toInt();
    }
    if (args.size() > 2) {
        options.keepFolder = args.at(2); // the run's files, kept for a look afterwards
    }
    options.idle = args.size() > 3 && args.at(3) == QLatin1String("idle");
    const auto figures = ditlog::soak::runSoak(options);
    for (const QString& line : ditlog::soak::describe(figures)) {
        std::printf("%s\n", qPrintable(line));
    }
    return figures.failure.isEmpty() ? 0 : 1;
}
