// Start-up as the operator meets it, on the program itself (every library, the voice, the
// keyers and the rig as at a real start), started with --start-up-timing: the station
// window first painted after the process started, with an empty log; the entry row ready
// with a 12,000-record log, the station window closed with "Done" and the open-log
// question answered Yes; the processor time at each moment and the program's peak memory.
// The moments are counted from just before the process is started. The usual start is
// timed (its working folder already holds the placed data files); the first start in a
// new folder is reported beside it.
#include "BenchData.h"
#include "log/RecordFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>

namespace {

struct Moments {
    double stationMs = -1;
    double stationCpuMs = -1;
    double entryMs = -1;
    double entryCpuMs = -1;
    long rssKiB = 0;
};

qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

} // namespace

class BenchStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_emptyLog;
    QString m_fullLog;
    int m_fresh = 0;

    // One timed start of the program in a working folder.
    Moments start(const QString& folder) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The settings store and the documents folder of a user of its own.
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("home/.config")));
        if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        environment.insert(QStringLiteral("DITLOG_TIMING_START"), QString::number(steadyNs()));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(DITLOG_PROGRAM),
                      {QStringLiteral("--start-up-timing"), QStringLiteral("--working-folder"), folder});
        Moments m;
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            return m;
        }
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError()).trimmed();
        if (!errors.isEmpty()) {
            qWarning("%s", qPrintable(errors));
        }
        const QByteArray output = program.readAllStandardOutput();
        if (!output.contains("start-up")) {
            qWarning("the program said: %s", output.constData());
        }
        for (const QByteArray& line : output.split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 7 || f.at(0) != "start-up") {
                continue;
            }
            const double ms = f.at(2).toDouble();
            const double cpu = f.at(4).toDouble();
            if (f.at(1) == "station-window") {
                m.stationMs = ms;
                m.stationCpuMs = cpu;
            } else if (f.at(1) == "entry-row") {
                m.entryMs = ms;
                m.entryCpuMs = cpu;
                m.rssKiB = f.at(6).toLong();
            }
        }
        return m;
    }

    QString freshFolder() {
        const QString path = m_dir.filePath(QStringLiteral("fresh%1").arg(++m_fresh));
        QDir().mkpath(path);
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFile::exists(QStringLiteral(DITLOG_PROGRAM)));
        m_emptyLog = m_dir.filePath(QStringLiteral("empty"));
        m_fullLog = m_dir.filePath(QStringLiteral("full"));
        QVERIFY(QDir().mkpath(m_emptyLog) && QDir().mkpath(m_fullLog));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("home/Documents"))));
        QVERIFY(!ditlog::writeFileAtomically(QDir(m_fullLog).filePath(QStringLiteral("log.txt")),
                                     ditlog::bench::generatedLog(ditlog::ContactLog::kMaxRecords)));
    }

    void firstStartInANewFolder() {
        QList<double> wall;
        QList<double> cpu;
        for (int run = 0; run < 3; ++run) {
            const Moments m = start(freshFolder());
            QVERIFY2(m.stationMs >= 0, "the station window was never painted");
            wall << m.stationMs;
            cpu << m.stationCpuMs;
        }
        qInfo("first start in a new folder, station window painted: %.1f ms, processor %.1f ms "
              "(median of 3)", median(wall), median(cpu));
    }

    void stationWindowEmptyLog() {
        QList<double> wall;
        QList<double> cpu;
        for (int run = 0; run < 8; ++run) {
            const Moments m = start(m_emptyLog);
            QVERIFY2(m.stationMs >= 0, "the station window was never painted");
            if (run > 0) { // the first run places the data files and warms the file cache
                wall << m.stationMs;
                cpu << m.stationCpuMs;
            }
        }
        std::sort(wall.begin(), wall.end());
        qInfo("station window painted after the process started, empty log: %.1f ms "
              "(%.1f to %.1f), processor %.1f ms (median of %lld)",
              median(wall), wall.first(), wall.last(), median(cpu), qlonglong(wall.size()));
    }

    void entryRowFullLog() {
        QList<double> wall;
        QList<double> cpu;
        long rss = 0;
        for (int run = 0; run < 8; ++run) {
            const Moments m = start(m_fullLog);
            QVERIFY2(m.entryMs >= 0, "the entry row was never ready");
            if (run > 0) {
                wall << m.entryMs;
                cpu << m.entryCpuMs;
                rss = std::max(rss, m.rssKiB);
            }
        }
        std::sort(wall.begin(), wall.end());
        qInfo("entry row ready after the process started, %d-record log: %.1f ms (%.1f to "
              "%.1f), processor %.1f ms (median of %lld)",
              ditlog::ContactLog::kMaxRecords, median(wall), wall.first(), wall.last(),
              median(cpu), qlonglong(wall.size()));
        qInfo("peak memory of the program, entry row ready with the %d-record log: %.1f MiB",
              ditlog::ContactLog::kMaxRecords, double(rss) / 1024.0);
    }
};

QTEST_GUILESS_MAIN(BenchStartup)
#include "bench_startup.moc"
