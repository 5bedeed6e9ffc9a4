// The rig link's timing on a clock moved by hand: when each query and command reaches
// the line, to the millisecond, whatever the load on the machine. The poll periods, a
// reply that outlasts its tick, bytes still arriving when the next query is due, the
// waits of each family's frequency command, a radio falling silent, and a line that
// refuses its first query.
#include "RigDoubles.h"
#include "TestDoubles.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"
#include "rig/RigLink.h"
#include "rig/TuningCommands.h"
#include "rig/windows/RigControlWindow.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QList<BandPlanRow> kPlan{{"40", "E", "CW", 7.0, 7.125}, {"20", "E", "CW", 14.0, 14.15}};

QList<double> times(const QList<ScriptedRigTransport::Write>& writes) {
    QList<double> t;
    for (const auto& w : writes) {
        t.append(w.atMs);
    }
    return t;
}

// A Kenwood that answers its two queries.
QByteArray kenwood(const QByteArray& query) {
    if (query == "FA;") {
        return "FA00014025000;";
    }
    return query == "MD;" ? QByteArray("MD3;") : QByteArray();
}

struct Station {
    ManualTimerClock clock;
    ScriptedRigTransport line{clock};
    RigLink link{line, clock};
    RigSettings settings;

    explicit Station(const char* rigType, const char* rate = "F") {
        applyRigPreset(settings, rigFamily(QLatin1String(rigType)));
        settings.portNumber = 5;
        settings.pollRate = QLatin1String(rate);
        link.setSettings(settings);
        link.setBandPlanTable(kPlan);
    }
};
} // namespace

class TestRigSequence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A send tick and a receive tick make one poll period; the Kenwood's two queries go
    // out back to back at the start of each.
    void pollPeriods_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<double>("periodMs");
        QTest::newRow("100 ms") << "F" << 100.0;
        QTest::newRow("500 ms") << "M" << 500.0;
        QTest::newRow("2 s") << "S" << 2000.0;
        QTest::newRow("10 s") << "R" << 10000.0;
    }
    void pollPeriods() {
        QFETCH(QString, rate);
        QFETCH(double, periodMs);
        Station s("Kenwood", rate.toLatin1().constData());
        s.line.answer = kenwood;
        QList<double> reportedAt;
        connect(&s.link, &RigLink::frequencyReported, this, [&] { reportedAt.append(s.clock.nowMs()); });
        QCOMPARE(s.link.startPolling(), RigLink::StartResult::Polling);
        s.clock.advanceMs(periodMs * 4);
        QCOMPARE(times(s.line.writesStartingWith("FA;")), QList<double>({0, periodMs, 2 * periodMs, 3 * periodMs, 4 * periodMs}));
        QCOMPARE(times(s.line.writesStartingWith("MD;")), QList<double>({3, periodMs + 3, 2 * periodMs + 3, 3 * periodMs + 3, 4 * periodMs + 3}));
        // Each exchange is read as soon as both answers are in: MD; left the line at 6 ms
        // and the radio took 5 ms.
        QCOMPARE(reportedAt.first(), 11.0);
        QCOMPARE(reportedAt.size(), 4);
        QCOMPARE(s.link.status().frequency, 14.025);
        QCOMPARE(s.link.status().mode, QStringLiteral("CW"));
    }

    // The CI-V family asks one question per period, frequency and mode in turn.
    void civAlternates() {
        Station s("Icom", "F");
        s.link.startPolling();
        s.clock.advanceMs(300);
        QStringList asked;
        for (const auto& w : s.line.writes()) {
            asked.append(QStringLiteral("%1 %2").arg(w.atMs).arg(quint8(w.bytes.at(4))));
        }
        QCOMPARE(asked, QStringList({"0 3", "100 4", "200 3", "300 4"}));
    }

    // A reply in pieces is read when whole, after its receive tick; bytes still arriving
    // when the next query is due hold it back one tick, never longer than two.
    void slowRepliesAndNoise() {
        Station s("Kenwood", "F");
        s.settings.modeQuery.clear();
        s.link.setSettings(s.settings);
        s.line.answer = [](const QByteArray& q) { return q == "FA;" ? QByteArray("FA00021025500;") : QByteArray(); };
        s.line.pieces = 4;      // FA00 0212 5500 ;  ... of 14 characters
        s.line.pieceGapMs = 15; // at 8, 23, 38 and 53 ms: past the receive tick at 50
        QList<double> reportedAt;
        QList<double> reported;
        connect(&s.link, &RigLink::frequencyReported, this, [&](double mhz) {
            reported.append(mhz);
            reportedAt.append(s.clock.nowMs());
        });
        s.link.startPolling();
        s.clock.advanceMs(99);
        QCOMPARE(reportedAt, QList<double>({53}));
        s.line.pieces = 1;
        s.line.sendLater("\xFF", 90); // noise just before the tick at 200 ...
        s.clock.advanceMs(101);        // (the query at 100 answered at 108)
        // The query due at 200 waited for the line to go quiet (189 ms and the quiet gap
        // of 24 ms), and went at the next tick.
        s.clock.advanceMs(200);
        QCOMPARE(times(s.line.writesStartingWith("FA;")), QList<double>({0, 100, 250, 350}));
        QCOMPARE(reportedAt, QList<double>({53, 108, 258, 358}));
        QCOMPARE(reported, QList<double>(4, 21.0255));

        // A line that never goes quiet still gets a question every third tick.
        s.line.clearWrites();
        for (int i = 0; i < 30; ++i) {
            s.line.sendLater("\xFF", 10.0 * i);
        }
        s.clock.advanceMs(300);
        QCOMPARE(times(s.line.writesStartingWith("FA;")), QList<double>({550}));
        QCOMPARE(reported.last(), 21.0255); // read among the noise
    }

    // Mode by the band plan first, then the frequency after the family's waits; the poll
    // stands still from the call to the end of the command and goes on one tick after.
    void frequencyCommandWaits_data() {
        QTest::addColumn<QString>("rig");
        QTest::addColumn<double>("waitMs");
        QTest::newRow("Kenwood") << "Kenwood" << 205.0;
        QTest::newRow("Elecraft") << "Elecraft" << 1205.0;
        QTest::newRow("Icom") << "Icom" << 140.0;
        QTest::newRow("Ten Tec Omni VI") << "Ten Tec Omni VI" << 360.0;
        QTest::newRow("Yaesu") << "Yaesu" << 205.0;
        QTest::newRow("Yaesu 1000") << "Yaesu 1000" << 10.0;
        QTest::newRow("Yaesu FTdx9000") << "Yaesu FTdx9000" << 205.0;
    }
    void frequencyCommandWaits() {
        QFETCH(QString, rig);
        QFETCH(double, waitMs);
        Station s(rig.toLatin1().constData(), "F");
        const RigFamily& family = rigFamily(rig);
        s.link.startPolling();
        s.clock.advanceMs(30); // a reply is awaited
        s.line.clearWrites();
        const RigCommandContext context = rigCommandContext(s.settings, s.link.status());
        const QByteArray mode = family.modeCommand(QStringLiteral("CW"), context).bytes;
        const QByteArray frequency = family.frequencyCommand(14.025, context).bytes;
        QSignalSpy finished(&s.link, &RigLink::commandsFinished);
        s.link.ChangeFrequency(14.025);
        s.clock.advanceMs(3000);
        QCOMPARE(finished.size(), 1);
        const auto& w = s.line.writes();
        QVERIFY(w.size() >= 3);
        QCOMPARE(w.at(0).bytes, mode);
        QCOMPARE(w.at(0).atMs, 30.0 + kModeCommandDelayMs);
        QCOMPARE(w.at(1).bytes, frequency);
        QCOMPARE(w.at(1).atMs, w.at(0).atMs + s.line.lineMs(mode.size()) + waitMs);
        const double end = w.at(1).atMs + s.line.lineMs(frequency.size());
        QCOMPARE(w.at(2).atMs, end + 50); // the next send tick
        QVERIFY(s.link.isPolling());
    }

    // Three unanswered polls in a row: not answering, told once; an answer: answering.
    void silentRadio() {
        Station s("Kenwood", "M");
        s.line.answer = kenwood;
        QList<std::pair<double, bool>> changes;
        connect(&s.link, &RigLink::respondingChanged, this,
                [&](bool on) { changes.append({s.clock.nowMs(), on}); });
        s.link.startPolling();
        s.clock.advanceMs(1000);
        s.line.answer = nullptr;
        s.clock.advanceMs(2000);
        QList<double> reports;
        connect(&s.link, &RigLink::frequencyReported, this, [&] { reports.append(s.clock.nowMs()); });
        s.clock.advanceMs(1000);
        QVERIFY(reports.isEmpty()); // the main window is left alone meanwhile
        s.line.answer = kenwood;
        s.clock.advanceMs(600);
        // Answered at 11 ms; the queries of 1500, 2000 and 2500 go unanswered, the third
        // receive tick after them says so; the query of 4500 is answered.
        QCOMPARE(changes, (QList<std::pair<double, bool>>{{11, true}, {2750, false}, {4511, true}}));
    }

    // A line whose first query is refused never polled: one failure, told by the result.
    void firstQueryRefused() {
        Station s("Kenwood", "F");
        s.line.setWriteFails(true);
        QSignalSpy lineFailed(&s.link, &RigLink::lineFailed);
        QSignalSpy polling(&s.link, &RigLink::pollingChanged);
        QCOMPARE(s.link.startPolling(), RigLink::StartResult::OpenFailed);
        QVERIFY(!s.link.isPolling());
        QVERIFY(!s.line.isOpen());
        QCOMPARE(lineFailed.size(), 0);
        s.clock.advanceMs(500);
        QCOMPARE(lineFailed.size(), 0);
        s.line.setWriteFails(false);
        QCOMPARE(s.link.startPolling(), RigLink::StartResult::Polling);
    }

    // In the rig window: one message, one beep, and the window opens window-modal so that
    // the settings are put right first; Done lets it go back to a plain window.
    void invalidSettingsToldOnceInAModalWindow() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.filePath(QStringLiteral("s.ini")));
        PortMap map(store);
        ScriptedPrompts prompts;
        FixedScreen screen;
        QWidget main;
        main.show();
        Station s("Kenwood", "F");
        s.line.setWriteFails(true);
        RigControlWindow w(s.link, map, dir.path(), QStringLiteral("None"), screen, prompts, &main);
        QVERIFY(!w.isVisible());
        for (int row = 0; row < w.List1->count(); ++row) {
            if (w.List1->item(row)->text() == QLatin1String("Kenwood")) {
                w.List1->setCurrentRow(row);
            }
        }
        QCOMPARE(w.settings().frequencyQuery, QStringLiteral("FA;"));
        w.Command1_Click();
        QCOMPARE(prompts.callsOf(QStringLiteral("message")).size(), 1);
        QCOMPARE(prompts.callsOf(QStringLiteral("message")).first().title, QStringLiteral("Invalid Comm Settings."));
        QCOMPARE(prompts.callsOf(QStringLiteral("beep")).size(), 1);
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowModality(), Qt::WindowModal);
        QVERIFY(!w.polling());
        s.line.setWriteFails(false);
        QTest::mouseClick(w.cmdDone, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.windowModality(), Qt::NonModal);
        w.show(); // from the menu: modeless as always
        QCOMPARE(w.windowModality(), Qt::NonModal);
        QVERIFY(w.polling());
        // Failing while shown: told once, nothing else changes.
        w.Command2_Click();
        s.line.setWriteFails(true);
        prompts.clear();
        w.Command1_Click();
        QCOMPARE(prompts.callsOf(QStringLiteral("message")).size(), 1);
        QCOMPARE(w.windowModality(), Qt::NonModal);
    }
};

QTEST_MAIN(TestRigSequence)
#include "tst_rigsequence.moc"
