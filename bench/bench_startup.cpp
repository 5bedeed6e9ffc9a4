// Start-up as the operator meets it: a fresh process runs the main window's start-up
// with a 12,000-record log until the entry row is ready, the benchmark closing the
// station window with "Done" and answering Yes to the open-log question; and the peak
// memory of that process.
#include "BenchData.h"
#include "TestDoubles.h"
#include "app/EntryPanel.h"
#include "app/MainWindow.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"
#include "log/SharedPreferences.h"
#include "log/windows/StationWindow.h"
#include "platform/SettingsStore.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

using namespace ditlog;

namespace {
constexpr char kChildSwitch[] = "--start-up-child";

// The program's start-up in this process: prints "ready" once the call field has the
// focus and the window is painted, then ends.
int runChild(int argc, char* argv[], const QString& working) {
    QApplication app(argc, argv);
    testing::SettableClock clock(QDateTime(QDate(2026, 12, 8), QTime(14, 5, 33)), 0);
    QtSettingsStore settings(QDir(working).filePath(QStringLiteral("settings.ini")));
    testing::ScriptedPrompts prompts;
    testing::FixedScreen screen(QSize(1280, 960));
    const DataFolders folders = dataFoldersFor(working, working);
    createDataFolders(folders);
    SharedPreferences shared;
    shared.OpenSharedPreferences(folders.sharedPreferencesPath());
    MainWindow window(Services{clock, settings, prompts, screen}, folders, shared);
    prompts.script(PromptAnswer::Yes); // continue the existing log
    QObject::connect(&window, &MainWindow::startUpFinished, &window, [&window] {
        window.repaint();
        if (window.entry().txtCall->hasFocus() || QApplication::focusWidget() == nullptr) {
            std::puts("ready");
            std::fflush(stdout);
        }
        QCoreApplication::exit(0);
    });
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        window.startUp();
        // The operator's "Done" on the station window, once it is shown.
        QTimer::singleShot(0, window.stationWindow(), [&window] {
            window.stationWindow()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
    });
    return QApplication::exec();
}
} // namespace

class BenchStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    qint64 m_processorMs = 0;

    // User and system time of the ended child processes, in microseconds.
    static qint64 childProcessorUs() {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec +
               usage.ru_stime.tv_usec;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(!writeFileAtomically(m_dir.filePath(QStringLiteral("log.txt")),
                                     bench::generatedLog(ContactLog::kMaxRecords)));
    }

    void startUpToEntryRow() {
        QList<qint64> times;
        QList<qint64> processorTimes;
        for (int run = 0; run < 7; ++run) {
            const qint64 before = childProcessorUs();
            QProcess child;
            QElapsedTimer timer;
            timer.start();
            child.start(QCoreApplication::applicationFilePath(),
                        {QLatin1String(kChildSwitch), m_dir.path()});
            QVERIFY(child.waitForFinished(60000));
            const qint64 ms = timer.elapsed();
            QVERIFY2(child.readAllStandardOutput().contains("ready"), "the entry row was not ready");
            if (run > 0) { // the first run warms the file cache
                times.append(ms);
                processorTimes.append(childProcessorUs() - before);
            }
        }
        std::sort(times.begin(), times.end());
        std::sort(processorTimes.begin(), processorTimes.end());
        QTest::setBenchmarkResult(qreal(times.at(times.size() / 2)), QTest::WalltimeMilliseconds);
        m_processorMs = processorTimes.at(processorTimes.size() / 2) / 1000;
    }

    void cleanupTestCase() {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        qInfo("start-up to the entry row, processor time of the program (median): %lld ms",
              qlonglong(m_processorMs));
        qInfo("peak memory of the program, started with a %d-record log: %ld MiB",
              ContactLog::kMaxRecords, usage.ru_maxrss / 1024);
    }
};

int main(int argc, char* argv[]) {
    if (argc == 3 && qstrcmp(argv[1], kChildSwitch) == 0) {
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    BenchStartup bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_startup.moc"
