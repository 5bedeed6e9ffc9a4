// The log of a program killed (SIGKILL) at random moments while contacts are typed
// through its window: every contact whose Enter was handled is in "log.txt", the file
// always opens again, and the program started again continues it.
//
// The program runs in a child process (this test started again with --typing-child): the
// main window on real files in the working folder, started up as at program start, with
// contacts typed key by key through the window's own key handling, one key per turn of
// the event loop. Right after the Enter handler has returned, the child says "entered
// CALL" and waits for the parent's word before its event loop turns again: an append left
// to a timer or a queued event (such as the keys held after a duplicate) would then be
// missing when the parent kills it there.
// Other rounds kill it at a random moment, in the middle of a call, a report or a write.
#include "TestDoubles.h"
#include "app/EntryPanel.h"
#include "app/MainWindow.h"
#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"
#include "log/SharedPreferences.h"
#include "log/windows/StationWindow.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr char kChildSwitch[] = "--typing-child";
constexpr int kRounds = 10;

// Contact n: a call of its own ("K1AAA", "K1AAB" ...) and a complete exchange.
QString callOf(int n) {
    QString letters;
    for (int i = 0; i < 3; ++i) {
        letters.prepend(QChar(u'A' + n % 26));
        n /= 26;
    }
    return QStringLiteral("K1") + letters;
}

// Every fourth contact follows the previous call typed again: a duplicate, after which
// the keys are held for a while, and the Enter among them must not wait for that.
QString contactKeys(int n) {
    const QString duplicate = n % 4 == 3 ? callOf(n - 1) + QLatin1Char(' ') : QString();
    return duplicate + callOf(n) + QStringLiteral(" 579 CT BOB 1234 599\n");
}

void say(const QByteArray& line) {
    const QByteArray out = line + '\n';
    [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, out.constData(), size_t(out.size()));
}

// Waits for the parent's word to go on (blocking: the event loop must not turn).
bool waitForGo() {
    char c = 0;
    return ::read(STDIN_FILENO, &c, 1) == 1;
}

// The child: the main window on the working folder, typing contacts from number first on.
class Typist : public QObject {
public:
    Typist(MainWindow& window, int first) : m_window(window), m_next(first) {}

    void start() {
        m_keys = contactKeys(m_next);
        QTimer::singleShot(0, this, [this] { typeNext(); });
    }

private:
    void typeNext() {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) {
            target = m_window.entry().txtCall;
        }
        const QChar c = m_keys.at(m_at++);
        if (c == u'\n') {
            QTest::keyClick(target, Qt::Key_Return);
            say("entered " + callOf(m_next).toLatin1());
            if (!waitForGo()) {
                QCoreApplication::exit(0);
                return;
            }
            m_keys = contactKeys(++m_next);
            m_at = 0;
        } else {
            QTest::keyClicks(target, QString(c));
        }
        QTimer::singleShot(int(QRandomGenerator::global()->bounded(3)), this, [this] { typeNext(); });
    }

    MainWindow& m_window;
    int m_next;
    QString m_keys;
    qsizetype m_at = 0;
};

int runChild(int argc, char* argv[], const QString& working, int first) {
    QApplication app(argc, argv);
    SystemClock clock;
    QtSettingsStore settings(QDir(working).filePath(QStringLiteral("settings.ini")));
    ScriptedPrompts prompts;
    FixedScreen screen(QSize(1280, 960));
    const DataFolders folders = dataFoldersFor(working, working);
    createDataFolders(folders);
    SharedPreferences shared;
    shared.OpenSharedPreferences(folders.sharedPreferencesPath());
    MainWindow window(Services{clock, settings, prompts, screen}, folders, shared);
    prompts.script(PromptAnswer::Yes); // continue the existing log
    QObject::connect(&window, &MainWindow::fatalLoadError, &app, [] { QCoreApplication::exit(3); });
    Typist typist(window, first);
    QObject::connect(&window, &MainWindow::startUpFinished, &window, [&] {
        if (!QTest::qWaitForWindowActive(&window)) {
            QCoreApplication::exit(4);
            return;
        }
        window.entry().focusCall();
        say("ready " + QByteArray::number(window.contactLog().count()));
        typist.start();
    });
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        window.startUp();
        QTimer::singleShot(0, window.stationWindow(), [&window] {
            window.stationWindow()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
    });
    return QApplication::exec();
}

// A line the child said, waiting at most ms for it.
std::optional<QByteArray> nextLine(QProcess& child, int ms) {
    QElapsedTimer t;
    t.start();
    while (!child.canReadLine()) {
        if (t.elapsed() > ms || child.state() == QProcess::NotRunning) {
            return std::nullopt;
        }
        child.waitForReadyRead(50);
    }
    return child.readLine().trimmed();
}
} // namespace

class TestKilledLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyEnteredContactSurvivesAKill() {
        QTemporaryDir dir;
        QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("log.txt")), QByteArray()));
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        QSet<QString> entered;
        int next = 0; // contacts in the file: the next child types on from there
        int killedAfterEnter = 0;
        for (int round = 0; round < kRounds; ++round) {
            QProcess child;
            child.setProcessChannelMode(QProcess::SeparateChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QLatin1String(kChildSwitch), dir.path(), QString::number(next)});
            QVERIFY(child.waitForStarted());
            const auto ready = nextLine(child, 60000);
            QVERIFY2(ready && ready->startsWith("ready "),
                     qPrintable(QStringLiteral("the program did not start on the log: ") +
                                QString::fromLocal8Bit(child.readAllStandardError())));
            QCOMPARE(ready->mid(6).toInt(), next); // it loaded the whole file
            // Even rounds: killed right after an Enter; odd ones: at a random moment.
            const bool afterEnter = round % 2 == 0;
            const int enters = 1 + int(random.bounded(4));
            QElapsedTimer alive;
            alive.start();
            const qint64 lifetime = 30 + random.bounded(400);
            for (int seen = 0;;) {
                const int wait = afterEnter ? 30000 : int(std::max<qint64>(0, lifetime - alive.elapsed()));
                const auto line = nextLine(child, wait);
                if (line && line->startsWith("entered ")) {
                    entered.insert(QString::fromLatin1(line->mid(8)));
                    if (afterEnter && ++seen == enters) {
                        ++killedAfterEnter;
                        break;
                    }
                    child.write("g");
                    continue;
                }
                QVERIFY2(!afterEnter, "the child stopped typing");
                break;
            }
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            // The file opens as a log, holds every contact whose Enter was handled, and
            // nothing else than contacts typed.
            ContactLog log;
            const auto error = LogFile(dir.filePath(QStringLiteral("log.txt"))).load(log);
            QVERIFY2(!error, qPrintable(error ? error->message : QString()));
            QSet<QString> inFile;
            for (int r = 1; r <= log.count(); ++r) {
                const ContactRecord& record = log.record(r);
                QVERIFY2(!inFile.contains(record.call), qPrintable(record.call));
                inFile.insert(record.call);
                QCOMPARE(record.rstSent, QStringLiteral("599"));
            }
            for (const QString& call : std::as_const(entered)) {
                QVERIFY2(inFile.contains(call),
                         qPrintable(QStringLiteral("round %1: %2 entered, not in log.txt").arg(round).arg(call)));
            }
            // A contact killed between its Enter and "entered" may be in the file too: the
            // next child types on after it.
            QVERIFY(log.count() >= entered.size());
            next = log.count();
        }
        QCOMPARE(killedAfterEnter, kRounds / 2);
        qInfo("%d contacts entered in %d runs, %d in the file", int(entered.size()), kRounds, next);
    }
};

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], kChildSwitch) == 0) {
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]),
                        QString::fromLocal8Bit(argv[3]).toInt());
    }
    QApplication app(argc, argv);
    TestKilledLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killedlog.moc"
