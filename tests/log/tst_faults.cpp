// Faults while the log is written: a writer killed at random moments while it appends
// and rewrites, a full disk (file-size limit) and a log that cannot be written at all.
#include "MainWindowFixture.h"
#include "app/EntryPanel.h"
#include "log/ContactLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace ditlog;

namespace {
ContactRecord contact(int n) {
    return {QStringLiteral("K%1AB").arg(n), QStringLiteral("599"), QStringLiteral("1234"),
            QStringLiteral("599"),          QStringLiteral("CT"),  QStringLiteral("2026/12/08"),
            QStringLiteral("14:05:33"),      QStringLiteral("BOB"), QStringLiteral("20"),
            5.0f,                            QString()};
}

void report(const QByteArray& line) {
    const QByteArray out = line + '\n';
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, out.constData(), size_t(out.size()));
}

// Child: appends contacts forever, rewriting the whole file every tenth one, and reports
// each contact whose append has returned.
[[noreturn]] void appendRewriteLoop(const QString& path) {
    LogFile file(path);
    ContactLog log;
    if (file.load(log)) {
        ::_exit(2);
    }
    for (int n = log.count() + 1;; ++n) {
        if (file.append(log, contact(n), true)) {
            ::_exit(3);
        }
        report(contact(n).call.toLatin1());
        if (n % 10 == 0 && file.rewrite(log)) {
            ::_exit(4);
        }
    }
}

// Child: a disk that is full beyond the current size of the log.
[[noreturn]] void fullDisk(const QString& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(QFileInfo(path).size() + 20), rlim_t(QFileInfo(path).size() + 20)};
    setrlimit(RLIMIT_FSIZE, &limit);
    LogFile file(path);
    ContactLog log;
    if (file.load(log)) {
        ::_exit(2);
    }
    const int before = log.count();
    const auto appendError = file.append(log, contact(99), true);
    report(appendError ? "append failed" : "append succeeded");
    report(log.count() == before ? "log unchanged" : "log changed");
    log.addLogged(contact(100), true);
    report(file.rewrite(log) ? "rewrite failed" : "rewrite succeeded");
    ::_exit(0);
}
} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWriterKeepsEveryReturnedAppend() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(!LogFile(path).createEmpty());
        QStringList appended;
        // At least six kills, and on until more than ten appends were reported: a loaded
        // machine may kill a writer before its first sync returns.
        for (int round = 0; round < 60 && (round < 6 || appended.size() <= 10); ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--append-rewrite-loop"), path});
            QVERIFY(child.waitForStarted());
            // Kill it at a random moment once it is appending: on a loaded machine the
            // child may take a while to get going.
            QByteArray output;
            QTRY_VERIFY_WITH_TIMEOUT((output += child.readAllStandardOutput()).count('\n') >= 2,
                                     20000);
            QTest::qWait(QRandomGenerator::global()->bounded(120));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished());
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            output += child.readAllStandardOutput();
            appended += QString::fromLatin1(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

            ContactLog log;
            const auto error = LogFile(path).load(log);
            QVERIFY2(!error, qPrintable(error ? error->describe() : QString()));
            QStringList calls;
            for (const ContactRecord& r : log.records()) {
                calls.append(r.call);
            }
            for (const QString& call : std::as_const(appended)) {
                QVERIFY2(calls.contains(call), qPrintable(call + QStringLiteral(" was lost")));
            }
        }
        QVERIFY(appended.size() > 10);
    }

    void fullDiskLosesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        ContactLog log;
        log.addLogged(contact(1), true);
        log.addLogged(contact(2), true);
        QVERIFY(!LogFile(path).rewrite(log));
        const QByteArray before = readWholeFile(path).value();

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--full-disk"), path});
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitCode(), 0);
        const QString out = QString::fromLatin1(child.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("append failed")), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("log unchanged")));
        QVERIFY(out.contains(QStringLiteral("rewrite failed")));
        QCOMPARE(readWholeFile(path).value(), before); // not even half a line was left
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.txt")});
    }

    void unwritableLogKeepsTheEntry() {
        testing::MainWindowFixture f;
        f.startUp();
        // log.txt turned into a folder: no process, whatever its rights, can append to it.
        QVERIFY(QFile::remove(f.workingFile(QStringLiteral("log.txt"))));
        QVERIFY(QDir().mkdir(f.workingFile(QStringLiteral("log.txt"))));
        EntryPanel& e = f.window().entry();
        e.txtCall->setText(QStringLiteral("K1ABC"));
        e.txtRSTR->setText(QStringLiteral("599"));
        e.txtCntry->setText(QStringLiteral("CT"));
        e.txtName->setText(QStringLiteral("BOB"));
        e.txtSec->setText(QStringLiteral("1234"));
        e.txtRSTS->setText(QStringLiteral("599"));
        e.Mains();
        QCOMPARE(f.prompts.callsOf(QStringLiteral("message")).last().title,
                 QStringLiteral("Unable to write file."));
        QCOMPARE(f.window().contactLog().count(), 0);
        QCOMPARE(e.txtCall->text(), QStringLiteral("K1ABC"));
        QCOMPARE(e.txtName->text(), QStringLiteral("BOB"));
    }
};

int main(int argc, char* argv[]) {
    if (argc == 3 && QByteArray(argv[1]) == "--append-rewrite-loop") {
        appendRewriteLoop(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 3 && QByteArray(argv[1]) == "--full-disk") {
        fullDisk(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
