// The rig link over a real pseudo-terminal against a scripted radio of each kind: poll
// schemes, replies in pieces and after noise, a radio that goes silent, a port that
// vanishes and comes back under its name, endless bytes, and the command-step queue. The timing to the millisecond is
// tst_rigsequence's, on a hand-moved clock.
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "VoiceDoubles.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/SerialRigTransport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 5;

// One link on one pseudo-terminal with its scripted radio.
struct Station {
    QTemporaryDir dir;
    QtSettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    PortMap map{store};
    QtSerialPort port{map};
    SerialRigTransport transport{port};
    SystemTimerClock clock;
    RigLink link{transport, clock};
    // Under a stable name, as /dev/serial/by-id names a USB adapter.
    std::unique_ptr<PseudoTerminal> device =
        std::make_unique<PseudoTerminal>(dir.filePath(QStringLiteral("ttyRadio")));
    std::unique_ptr<ScriptedRadio> radio;
    QList<double> reported;

    Station(ScriptedRadio::Protocol protocol, const char* rigType, const char* rate = "F") {
        radio = std::make_unique<ScriptedRadio>(*device, protocol);
        map.setMappedPath(kPort, device->devicePath());
        RigSettings s;
        applyRigPreset(s, rigFamily(QLatin1String(rigType)));
        s.portNumber = kPort;
        s.pollRate = QLatin1String(rate);
        link.setSettings(s);
        QObject::connect(&link, &RigLink::frequencyReported, [this](double mhz) { reported.append(mhz); });
    }

    void replaceDevice() {
        radio.reset();
        device = std::make_unique<PseudoTerminal>();
        radio = std::make_unique<ScriptedRadio>(*device, ScriptedRadio::Protocol::Kenwood);
        map.setMappedPath(kPort, device->devicePath());
    }
};

const QList<BandPlanRow> kPlan{{"40", "E", "CW", 7.0, 7.125}, {"40", "E", "PH", 7.125, 7.3},
                               {"20", "E", "CW", 14.0, 14.15}, {"20", "E", "PH", 14.15, 14.35}};

qsizetype indexOf(const QList<ScriptedRadio::Received>& got, const QByteArray& bytes) {
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (got.at(i).bytes == bytes) {
            return i;
        }
    }
    return -1;
}

bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QTest::qWait(5);
    }
    return done();
}
} // namespace

class TestRigLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Connection power: both lines low at opening, then RTS ("R") or DTR ("D") raised to
    // power the interface; a family with hardware handshaking leaves RTS to the driver.
    void connectionPowerLines_data() {
        QTest::addColumn<QString>("rig");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("none") << "Kenwood" << "N" << QStringList{"open 4"};
        QTest::newRow("RTS") << "Kenwood" << "R" << QStringList{"open 4", "RTS 1"};
        QTest::newRow("DTR") << "Icom" << "D" << QStringList{"open 4", "DTR 1"};
        QTest::newRow("RTS, hardware handshake") << "Ten Tec Orion" << "R" << QStringList{"open 4"};
    }
    void connectionPowerLines() {
        QFETCH(QString, rig);
        QFETCH(QString, power);
        QFETCH(QStringList, events);
        RecordingSerialPort port;
        port.open(4);
        port.setDtr(true); // left high by whatever used the port before
        port.setRts(true);
        port.close();
        port.events.clear();
        SerialRigTransport transport(port);
        RigSettings s;
        applyRigPreset(s, rigFamily(rig));
        s.portNumber = 4;
        s.power = power;
        QVERIFY(transport.open(s, rigFamily(rig)));
        QCOMPARE(port.events, events);
        QCOMPARE(port.dtr(), power == QLatin1String("D"));
        QCOMPARE(port.rts(), power == QLatin1String("R") && !rigFamily(rig).hardwareHandshake);
    }

    void kenwoodPollsBothQueriesEachPeriod() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "M");
        s.radio->setFrequency(7.025);
        s.radio->setMode(3);
        QCOMPARE(s.link.startPolling(), RigLink::StartResult::Polling);
        QCOMPARE(s.link.pollIntervalMs(), 250);
        QVERIFY(waitFor([&] { return s.radio->receivedStartingWith("FA").size() >= 5; }, 8000));
        QCOMPARE(s.link.status().frequency, 7.025);
        QCOMPARE(s.link.status().mode, QStringLiteral("CW"));
        QVERIFY(!s.reported.isEmpty());
        // FA; and MD; go out together.
        const auto& got = s.radio->received();
        for (qsizetype i = 0; i + 1 < got.size(); i += 2) {
            QCOMPARE(got.at(i).bytes, QByteArray("FA;"));
            QCOMPARE(got.at(i + 1).bytes, QByteArray("MD;"));
        }
    }

    void replyInPiecesAfterNoiseNeverGivesAWrongFrequency() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        s.radio->setFrequency(21.0255);
        s.radio->setReplyPieces(5, 12); // the reply outlasts the 50 ms receive tick
        s.radio->setNoiseBeforeReply(QByteArray("\x00\xFF", 2));
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.reported.size() >= 6; }));
        for (const double mhz : std::as_const(s.reported)) {
            QCOMPARE(mhz, 21.0255);
        }
    }

    void civAlternatesFrequencyAndModeQueries() {
        Station s(ScriptedRadio::Protocol::Civ, "Icom", "F");
        s.radio->setFrequency(144.2);
        s.radio->setMode(0x03);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.radio->received().size() >= 6 && !s.link.status().mode.isEmpty(); }));
        QCOMPARE(s.link.status().frequency, 144.2);
        QCOMPARE(s.link.status().mode, QStringLiteral("CW"));
        const auto& got = s.radio->received();
        for (qsizetype i = 0; i + 1 < got.size(); ++i) {
            QVERIFY(got.at(i).bytes.at(4) != got.at(i + 1).bytes.at(4)); // 03, 04, 03, ...
        }
    }

    void yaesuWakesTheRadioAndSaysGoodbye() {
        Station s(ScriptedRadio::Protocol::YaesuBinary, "Yaesu", "F");
        s.radio->setFrequency(3.5601);
        s.radio->setMode(0x82);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency > 0; }));
        QCOMPARE(s.radio->received().first().bytes, QByteArray(5, '\0'));
        QCOMPARE(s.link.status().frequency, 3.5601);
        QCOMPARE(s.link.status().mode, QStringLiteral("CW"));
        s.link.sendGoodbye();
        QVERIFY(waitFor([&] { return !s.radio->receivedStartingWith(QByteArray("\x00\x00\x00\x00\x80", 5)).isEmpty(); }));
        // Switched off and on again: woken again before the first query.
        s.device->hangUp();
        QVERIFY(waitFor([&] { return !s.transport.isReady(); }));
        s.radio->clearReceived();
        QVERIFY(s.device->plugIn());
        QVERIFY(waitFor([&] { return s.radio->received().size() >= 2; }));
        QCOMPARE(s.radio->received().first().bytes, QByteArray(5, '\0'));
    }

    void silentRadioIsNoticedAndRecovers() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        QSignalSpy responding(&s.link, &RigLink::respondingChanged);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.responding(); }));
        s.radio->setAnswering(false);
        QVERIFY(waitFor([&] { return !s.link.responding(); }));
        const qsizetype reports = s.reported.size();
        QTest::qWait(300);
        QCOMPARE(s.reported.size(), reports); // the main window is left alone meanwhile
        s.radio->setFrequency(28.5);
        s.radio->setAnswering(true);
        QVERIFY(waitFor([&] { return s.link.responding() && s.link.status().frequency == 28.5; }));
        QVERIFY(s.link.isPolling());
    }

    // The port goes away while polling (the adapter pulled): told once, the poll goes on
    // asking nothing, and it resumes by itself when the port is back under its name.
    void unpluggedPortIsToldOnceAndPollingResumes() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "R"); // ticks 5 s apart
        QSignalSpy lost(&s.transport, &RigTransport::lineLost);
        QSignalSpy restored(&s.transport, &RigTransport::lineRestored);
        QSignalSpy failed(&s.link, &RigLink::lineFailed);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency > 0; }));
        s.device->hangUp();
        QVERIFY(waitFor([&] { return !lost.isEmpty(); }));
        QVERIFY(lost.first().at(0).toString().contains(QLatin1String("ttyRadio is gone")));
        QVERIFY(s.link.isPolling());
        QVERIFY(!s.link.responding());
        QVERIFY(!s.transport.isReady());
        QTest::qWait(1500); // several attempts meanwhile, quietly
        QCOMPARE(lost.size(), 1);
        QCOMPARE(failed.size(), 0);
        QVERIFY(s.transport.recovery().attempts() >= 2);
        s.radio->clearReceived();
        s.radio->setFrequency(50.125);
        QVERIFY(s.device->plugIn());
        // Asked as soon as the port is found, not at the poll's next tick.
        QVERIFY(waitFor([&] { return s.link.status().frequency == 50.125; }, 4000));
        QCOMPARE(restored.size(), 1);
        QCOMPARE(s.radio->received().first().bytes, QByteArray("FA;"));
        QVERIFY(s.link.responding());
    }

    void portThatCannotOpen() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood");
        s.map.setMappedPath(kPort, s.dir.filePath(QStringLiteral("no-such-device")));
        QCOMPARE(s.link.startPolling(), RigLink::StartResult::OpenFailed);
        QVERIFY(!s.link.isPolling());
        QVERIFY(!s.link.errorString().isEmpty());
    }

    void endlessBytesAreDroppedAndPollingGoesOn() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        s.radio->setAnswering(false);
        s.link.startPolling();
        s.device->send(QByteArray(20000, 'A')); // no terminator, ever
        QTest::qWait(300);
        QCOMPARE(s.link.status().frequency, 0.0);
        s.radio->setAnswering(true);
        QVERIFY(waitFor([&] { return s.link.status().frequency == 14.025; }));
    }

    void commandsRunInOrderWhilePollingPauses() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency > 0; }));
        RigCommand c;
        c.key = QStringLiteral("frequency");
        c.steps = {RigStep::stopPolling(),  RigStep::discardInput(), RigStep::write("MD2;"),
                   RigStep::drain(), RigStep::delay(205),     RigStep::write("FA00007150000;"),
                   RigStep::drain(), RigStep::resumePolling()};
        s.radio->clearReceived();
        QSignalSpy finished(&s.link, &RigLink::commandsFinished);
        s.link.enqueue(c);
        RigCommand second = c;
        second.steps[5] = RigStep::write("FA00007160000;");
        RigCommand third = c;
        third.steps[5] = RigStep::write("FA00007170000;");
        s.link.enqueue(second);
        s.link.enqueue(third); // replaces the second, which has not started
        QCOMPARE(s.link.commandsWaiting(), 1);
        QVERIFY(finished.wait(5000));
        QVERIFY(waitFor([&] { return s.link.status().frequency == 7.17; }));
        const auto& got = s.radio->received();
        QCOMPARE(got.at(0).bytes, QByteArray("MD2;"));
        QCOMPARE(got.at(1).bytes, QByteArray("FA00007150000;"));
        QCOMPARE(got.at(2).bytes, QByteArray("MD2;"));
        QCOMPARE(got.at(3).bytes, QByteArray("FA00007170000;"));
        QCOMPARE(s.radio->receivedStartingWith("FA00007160000").size(), 0);
        QVERIFY(s.link.isPolling());
    }

    void frequencyChangeWhilePollingPausesThePoll() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        s.link.setBandPlanTable(kPlan);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency == 14.025; }));
        s.radio->clearReceived();
        QSignalSpy finished(&s.link, &RigLink::commandsFinished);
        s.link.ChangeFrequency(7.05);
        QVERIFY(finished.wait(5000));
        QVERIFY(waitFor([&] { return s.link.status().frequency == 7.05 && s.link.status().mode == QLatin1String("CW"); }));
        const auto& got = s.radio->received();
        const qsizetype md = indexOf(got, "MD3;");
        const qsizetype fa = indexOf(got, "FA00007050000;");
        QVERIFY(md >= 0 && fa == md + 1); // nothing between the two commands
        // Polls before the command were answered before it; polls go on after it.
        QVERIFY(s.radio->receivedStartingWith("FA;").last().atMs > got.at(fa).atMs);
        QVERIFY(s.link.isPolling());
    }

    void frequenciesInQuickSuccessionArriveInOrder() {
        Station s(ScriptedRadio::Protocol::Civ, "Icom", "F");
        s.link.setBandPlanTable(kPlan);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency == 14.025; }));
        s.radio->clearReceived();
        QSignalSpy finished(&s.link, &RigLink::commandsFinished);
        s.link.ChangeFrequency(7.2);
        s.link.ChangeFrequency(14.2);
        QVERIFY(finished.wait(5000));
        QVERIFY(waitFor([&] { return s.link.status().frequency == 14.2; }));
        QStringList commands;
        for (const auto& r : s.radio->received()) {
            if (r.bytes.size() > 4 && (r.bytes.at(4) == '\x05' || r.bytes.at(4) == '\x06')) {
                commands.append(QString::fromLatin1(r.bytes.toHex(' ')));
            }
        }
        QCOMPARE(commands, QStringList({"fe fe 64 e0 06 00 fd", "fe fe 64 e0 05 00 00 20 07 00 fd",
                                        "fe fe 64 e0 06 01 fd", "fe fe 64 e0 05 00 00 20 14 00 fd"}));
        QCOMPARE(s.radio->mode(), 0x01);
    }

    void tenStepsReachTheRadioInOrder() {
        Station s(ScriptedRadio::Protocol::YaesuBinary, "Yaesu", "F");
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency > 0; }));
        s.radio->clearReceived();
        QList<QByteArray> expected;
        for (int i = 0; i < 10; ++i) {
            const double mhz = 3.5 + i * 0.0005;
            expected.append(rigFamily(QStringLiteral("Yaesu")).frequencyCommand(mhz, {}).bytes);
            QSignalSpy finished(&s.link, &RigLink::commandsFinished);
            s.link.ChangeFrequency(mhz);
            QVERIFY(finished.wait(5000));
        }
        QList<QByteArray> sent;
        for (const auto& r : s.radio->received()) {
            if (r.bytes.at(4) == '\x01') {
                sent.append(r.bytes);
            }
        }
        QCOMPARE(sent, expected);
        QVERIFY(waitFor([&] { return s.link.status().frequency == 3.5045; }));
    }

    // The port goes while a command waits and another is queued: the command fails once,
    // the queue empties, the poll goes on. A spot clicked while the port is away fails at
    // once instead of waiting; back, none of them reaches the radio, a new one does.
    void portVanishingMidCommandIsToldOnceAndNothingIsSentLater() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        s.link.setBandPlanTable(kPlan);
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency > 0; }));
        QSignalSpy failed(&s.link, &RigLink::commandFailed);
        QSignalSpy lineFailed(&s.link, &RigLink::lineFailed);
        s.link.ChangeFrequency(7.05);  // mode part first: the line goes while it waits
        s.link.ChangeFrequency(14.2);
        QCOMPARE(s.link.commandsWaiting(), 1);
        s.device->hangUp();
        QVERIFY(waitFor([&] { return !failed.isEmpty(); }));
        QTest::qWait(500);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).toString(), QStringLiteral("Error Changing Frequency"));
        QCOMPARE(lineFailed.size(), 0);
        QVERIFY(s.link.isPolling());
        QVERIFY(!s.link.commandRunning());
        QCOMPARE(s.link.commandsWaiting(), 0);
        s.link.ChangeFrequency(21.0);
        QCOMPARE(failed.size(), 2);
        QVERIFY(failed.last().at(1).toString().contains(QLatin1String("is gone")));
        QVERIFY(!s.link.commandRunning());

        s.radio->clearReceived();
        QVERIFY(s.device->plugIn());
        QVERIFY(waitFor([&] { return s.link.responding(); }));
        QTest::qWait(300);
        QVERIFY(s.radio->receivedStartingWith("FA000").isEmpty());
        QVERIFY(s.radio->receivedStartingWith("MD3").isEmpty());
        s.link.ChangeFrequency(21.0);
        QVERIFY(waitFor([&] { return s.link.status().frequency == 21.0; }));
        QCOMPARE(failed.size(), 2);
    }

    void lineLostDuringADelayFailsTheCommandOnce() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood", "F");
        s.link.startPolling();
        QVERIFY(waitFor([&] { return s.link.status().frequency > 0; }));
        QSignalSpy failed(&s.link, &RigLink::commandFailed);
        RigCommand c;
        c.reports = {RigFailureReport{QStringLiteral("Error Changing Frequency"), {}, true}};
        c.steps = {RigStep::stopPolling(), RigStep::delay(100), RigStep::write("FA00007150000;"),
                   RigStep::resumePolling()};
        s.link.enqueue(c);
        s.device->hangUp();
        QVERIFY(waitFor([&] { return !failed.isEmpty(); }));
        QTest::qWait(200);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).toString(), QStringLiteral("Error Changing Frequency"));
        QVERIFY(s.link.isPolling());
        QVERIFY(!s.link.commandRunning());
        QVERIFY(s.device->plugIn());
        QVERIFY(waitFor([&] { return s.link.responding(); }));
        QTest::qWait(200);
        QVERIFY(s.radio->receivedStartingWith("FA00007150000").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRigLink)
#include "tst_riglink.moc"
