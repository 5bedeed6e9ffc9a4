// The WinKeyer link against an emulated keyer on a real pseudo-terminal: the open
// sequence and its result codes, settings and their ranges, the feeder's limit of four
// pending characters, Esc, "Test" during a feed, a keyer that never answers, answers
// garbage, stays busy or is unplugged, the shared-port rule, "WK.txt", and F1 and
// keyboard CW from the main window.
#include "KeyerRig.h"
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "TestDoubles.h"
#include "WinKeyerEmulator.h"
#include "app/EntryPanel.h"
#include "app/MainWindowKeyer.h"
#include "keyer/CodePractice.h"
#include "keyer/WinKeyerLink.h"
#include "keyer/windows/CwKeyerWindow.h"
#include "keyer/windows/WinKeyWindow.h"
#include "platform/WinKeyer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 6;

// A keyer link as the program has it, its emulated keyer on port 6.
struct Station {
    explicit Station(ScriptedPrompts& prompts, WinKeyerEmulator::Options options = {})
        : rig(prompts), emulator(options), wk(port, HostWinKeyer::Timing{60, 800, 100}),
          link(wk, rig.keyer, rig.owners, prompts, rig.dir.path()) {
        rig.map.setMappedPath(kPort, emulator.devicePath());
        rig.keyer.setKeyingLine(KeyingLineChoice::WinKey);
        link.settings().comPort = kPort;
        link.setOwnCall([] { return QStringLiteral("K1XYZ"); });
    }
    bool open() {
        link.Open();
        return QTest::qWaitFor([&] { return !wk.opening(); }, 10000) && link.WinKeyOpen() != 0;
    }
    // Lets the keyer key for ms of its time, in small steps, with the link answering.
    void play(int ms) {
        for (int t = 0; t < ms; t += 20) {
            emulator.advanceMs(20);
            QTest::qWait(2);
        }
    }
    bool playUntil(const std::function<bool()>& done, int maxMs = 60000) {
        for (int t = 0; t < maxMs; t += 20) {
            if (done()) {
                return true;
            }
            play(20);
        }
        return done();
    }

    KeyerRig rig;
    WinKeyerEmulator emulator;
    QtSerialPort port{rig.map};
    HostWinKeyer wk;
    WinKeyerLink link;
};
} // namespace

class TestWinKeyer : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;

    QStringList messageTitles() const {
        QStringList out;
        for (const PromptCall& c : prompts.callsOf(QStringLiteral("message"))) {
            out << c.title;
        }
        return out;
    }

private Q_SLOTS:
    void init() { prompts.clear(); }

    void decodesWhatTheKeyerSends() {
        QCOMPARE(decodeWinKeyerByte(0xC4).kind, WinKeyerByte::Kind::Status);
        QCOMPARE(decodeWinKeyerByte(0xC5).value, quint8(kWkBusy | kWkXoff));
        QCOMPARE(decodeWinKeyerByte(0x8A).kind, WinKeyerByte::Kind::SpeedPot);
        QCOMPARE(decodeWinKeyerByte(0x8A).value, quint8(10));
        QCOMPARE(decodeWinKeyerByte('K').kind, WinKeyerByte::Kind::Echo);
        QCOMPARE(winKeyResultText(8), QStringLiteral("WK Already Open"));
        QCOMPARE(winKeyResultText(7), QString());
    }

    void openSequenceSendsTheSettingsOnce() {
        Station s(prompts);
        s.link.load();
        s.link.settings().comPort = kPort;
        QCOMPARE(s.link.settings().wpm, QStringLiteral("13")); // the CW window's speed
        s.link.Open();
        s.link.Open(); // a second Open while the first runs starts nothing
        QVERIFY(QTest::qWaitFor([&] { return !s.wk.opening(); }, 10000));
        QCOMPARE(s.link.statusText(), QStringLiteral("WK Success!"));
        QCOMPARE(s.link.WinKeyOpen(), 23);
        QCOMPARE(s.link.versionText(), QStringLiteral("Version # 23"));
        QCOMPARE(s.emulator.hostOpens, 1);
        QTRY_COMPARE(s.emulator.modes, QList<int>{0 | HostWinKeyer::kEchoBack});
        QCOMPARE(s.emulator.speeds, QList<int>{13});
        QCOMPARE(s.emulator.weights, QList<int>{50});
        QCOMPARE(s.emulator.ratios, QList<int>{50});
        QCOMPARE(s.emulator.pins, QList<int>{6});
        QVERIFY(prompts.callsOf(QStringLiteral("message")).isEmpty());
        s.link.Open();
        QTRY_COMPARE(s.link.statusText(), QStringLiteral("WK Already Open"));
        QTest::qWait(100);
        QCOMPARE(s.emulator.speeds.size(), 1); // nothing sent again
        s.link.Close();
        QCOMPARE(s.link.statusText(), QStringLiteral("Closed"));
        QCOMPARE(s.link.versionText(), QStringLiteral("Version #"));
        QTRY_VERIFY(!s.emulator.hostOpen); // host close reached the keyer
    }

    void keyersThatDoNotAnswer_data() {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("garbage");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("status");
        QTest::newRow("nothing on the port") << false << false << true << "No Echo Response";
        QTest::newRow("garbage") << true << true << true << "Echo Mismatch";
        QTest::newRow("echo but no host open") << true << false << false << "No Open Response";
    }
    void keyersThatDoNotAnswer() {
        QFETCH(bool, answers);
        QFETCH(bool, garbage);
        QFETCH(bool, opens);
        QFETCH(QString, status);
        WinKeyerEmulator::Options o;
        o.answers = answers;
        o.garbage = garbage;
        o.opens = opens;
        Station s(prompts, o);
        s.rig.buffer.set(QStringLiteral("CQ TEST"));
        s.link.WKTransmit(); // opens first, then drops the text it cannot send
        QVERIFY(QTest::qWaitFor([&] { return !s.wk.opening(); }, 10000));
        QCOMPARE(s.link.statusText(), status);
        QCOMPARE(s.link.WinKeyOpen(), 0);
        QVERIFY(s.rig.buffer.isEmpty());
        QCOMPARE(messageTitles(), QStringList{QStringLiteral("Unable to establish connection with Winkey.")});
        QVERIFY(prompts.callsOf(QStringLiteral("message")).first().text.contains(QStringLiteral("com port 6.")));
        QVERIFY(!s.port.isOpen());
        // The keyer comes back: the next Open works.
        WinKeyerEmulator good;
        s.rig.map.setMappedPath(kPort, good.devicePath());
        QVERIFY(s.open());
        QCOMPARE(s.link.statusText(), QStringLiteral("WK Success!"));
    }

    // A keyer the program left in host mode reports its status unasked; those bytes are
    // neither the echo nor the version.
    void keyerLeftInHostModeOpens() {
        WinKeyerEmulator::Options o;
        o.hostModeLeftOn = true;
        Station s(prompts, o);
        QVERIFY(s.open());
        QCOMPARE(s.link.statusText(), QStringLiteral("WK Success!"));
        QCOMPARE(s.link.WinKeyOpen(), 23);
    }

    void portThatCannotOpen() {
        Station s(prompts);
        s.rig.map.setMappedPath(kPort, s.rig.dir.filePath(QStringLiteral("none")));
        QVERIFY(!s.open());
        QCOMPARE(s.link.statusText(), QStringLiteral("Com Open Failed"));
        QCOMPARE(messageTitles().size(), 1);
    }

    // Code practice on a keyer that cannot be opened ends with the keyer's message (once),
    // and the practice window's sender is ready for the next try.
    void codePracticeWhenTheKeyerCannotOpen() {
        Station s(prompts);
        s.rig.map.setMappedPath(kPort, s.rig.dir.filePath(QStringLiteral("none")));
        CodePracticeSender sender(s.rig.keyer);
        QSignalSpy finished(&sender, &CodePracticeSender::finished);
        sender.start([] { return QStringLiteral("ABCDE FGHIJ"); });
        QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 10000));
        QVERIFY(!sender.running());
        QCOMPARE(messageTitles(), QStringList{QStringLiteral("Unable to establish connection with Winkey.")});
        QVERIFY(s.rig.buffer.isEmpty());
        // With the keyer back, the same sender sends.
        s.rig.map.setMappedPath(kPort, s.emulator.devicePath());
        QSignalSpy sent(&sender, &CodePracticeSender::characterSent);
        sender.start([] { return QStringLiteral("EE"); });
        QVERIFY(s.playUntil([&] { return !sender.running() && s.emulator.keyed == QStringLiteral("EE"); }));
        QCOMPARE(sent.count(), 2); // each character shown as the keyer takes it
        QCOMPARE(finished.count(), 2);
    }

    void feedsThirtyCharactersFourAtATime() {
        Station s(prompts);
        QVERIFY(s.open());
        const QString message = QStringLiteral("CQ CQ TEST DE K1XYZ K1XYZ TEST");
        QCOMPARE(message.size(), 30);
        QSignalSpy ended(&s.rig.keyer, &CwKeyer::sendingFinished);
        s.rig.buffer.set(message);
        s.link.WKTransmit();
        QVERIFY(s.playUntil([&] { return s.emulator.keyed == message; }));
        QVERIFY(s.emulator.maxBufferedOnArrival <= 4);
        QCOMPARE(s.emulator.charactersReceived, 30);
        QTRY_COMPARE(ended.count(), 1);
        QTRY_COMPARE(s.wk.wk_getstatus(), 0);
    }

    void escapeClearsKeyerAndBuffer() {
        Station s(prompts);
        QVERIFY(s.open());
        s.rig.buffer.set(QStringLiteral("CQ CQ CQ CQ CQ TEST"));
        s.link.WKTransmit();
        QVERIFY(s.playUntil([&] { return s.emulator.keyed.size() >= 2; }));
        QVERIFY(s.link.pendingCharacters() > 0);
        QVERIFY(s.rig.keyer.stopExternalKeyer()); // Esc on the main window
        QVERIFY(s.rig.buffer.isEmpty());
        QTRY_COMPARE(s.emulator.clears, 1);
        QCOMPARE(s.wk.wk_getstatus(), 0);
        const QString sent = s.emulator.keyed;
        s.play(3000);
        QCOMPARE(s.emulator.keyed, sent);
        QVERIFY(!s.rig.keyer.stopExternalKeyer()); // idle: Esc is the main window's again
    }

    void ratioAndOtherRanges() {
        Station s(prompts);
        QVERIFY(s.open());
        QTRY_COMPARE(s.emulator.ratios.size(), 1);
        for (const char* r : {"32", "67", "33", "66"}) {
            QCOMPARE(s.link.leaveRatio(QLatin1String(r)), QLatin1String(r));
        }
        QTRY_COMPARE(s.emulator.ratios, (QList<int>{50, 33, 66}));
        QCOMPARE(s.link.leaveRatio(QStringLiteral("x")), QStringLiteral("50"));
        QCOMPARE(s.link.leaveSpeed(QStringLiteral("")), QStringLiteral("18"));
        QCOMPARE(s.link.leaveSpeed(QStringLiteral("120")), QStringLiteral("120")); // kept, not sent
        QCOMPARE(s.link.leaveWeight(QStringLiteral("w")), QStringLiteral("50"));
        QCOMPARE(s.link.leaveLeadIn(QStringLiteral("5"), QStringLiteral("x")), QStringLiteral("0"));
        QCOMPARE(s.link.leaveTail(QStringLiteral("5"), QStringLiteral("x")), QStringLiteral("0"));
        QCOMPARE(s.link.leaveTail(QStringLiteral("5"), QStringLiteral("7")), QStringLiteral("7"));
        QCOMPARE(s.link.leavePort(QStringLiteral("abc")), QStringLiteral("0"));
        QTRY_COMPARE(s.emulator.leadTails.last(), qMakePair(5, 7));
        QCOMPARE(s.emulator.speeds.size(), 1);
        s.link.chooseMode(32);
        QTRY_COMPARE(s.emulator.modes.last(), 32 | HostWinKeyer::kEchoBack);
        s.rig.keyer.setSpeedText(QStringLiteral("30")); // the CW window's speed follows through
        QTRY_COMPARE(s.emulator.speeds.last(), 30);
        s.rig.keyer.setSpeedText(QStringLiteral("100"));
        QTest::qWait(50);
        QCOMPARE(s.emulator.speeds.last(), 30);
    }

    void testAppendsToARunningFeed() {
        Station s(prompts);
        QVERIFY(s.open());
        s.link.BufferTest();
        QVERIFY(s.link.feeding());
        s.link.Test();
        QVERIFY(s.rig.buffer.text().endsWith(QStringLiteral("VVV TEST DE K1XYZ")));
        QVERIFY(s.playUntil([&] { return s.emulator.keyed.endsWith(QStringLiteral("VVV TEST DE K1XYZ")); }, 200000));
        QVERIFY(s.emulator.keyed.startsWith(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ ABC")));
        QVERIFY(s.emulator.maxBufferedOnArrival <= 4);
    }

    void keyerThatStaysBusy() {
        WinKeyerEmulator::Options o;
        o.stuckBusy = true;
        Station s(prompts, o);
        QVERIFY(s.open());
        s.link.setGiveUpMs(400);
        s.rig.buffer.set(QStringLiteral("CQ CQ CQ TEST"));
        s.link.WKTransmit();
        QTRY_VERIFY(!s.link.feeding());
        QVERIFY(s.link.statusText().contains(QStringLiteral("sending stopped")));
        QVERIFY(s.rig.buffer.isEmpty());
        QVERIFY(s.emulator.charactersReceived <= 5);
        // Esc still clears the keyer.
        QVERIFY(s.rig.keyer.stopExternalKeyer());
        QTRY_COMPARE(s.emulator.clears, 1);
    }

    // Unplugged while sending: the text is dropped, told once (one beep, no box); a send
    // while it is away goes nowhere; plugged back in under its name it is opened and set
    // up again by itself and is ready, having keyed nothing of before.
    void keyerUnpluggedWhileSendingComesBackReady() {
        Station s(prompts);
        QVERIFY(s.open());
        QSignalSpy notices(&s.link, &WinKeyerLink::linkNotice);
        s.rig.buffer.set(QStringLiteral("CQ CQ CQ CQ TEST"));
        s.link.WKTransmit();
        s.play(300);
        s.emulator.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(s.link.WinKeyOpen(), 0, 10000);
        QCOMPARE(s.link.statusText(), QStringLiteral("WinKey lost; waiting for it to return"));
        QVERIFY(s.rig.buffer.isEmpty());
        QVERIFY(!s.link.feeding());
        QCOMPARE(notices.size(), 1);

        s.rig.buffer.set(QStringLiteral("TEST"));
        s.link.WKTransmit(); // F1 while it is away
        QTRY_VERIFY(s.rig.buffer.isEmpty());
        QTest::qWait(800);
        QVERIFY(messageTitles().isEmpty());
        QCOMPARE(prompts.beeps(), 1);
        QCOMPARE(notices.size(), 1);

        const int received = s.emulator.charactersReceived;
        const QString keyed = s.emulator.keyed;
        const qsizetype pinsSent = s.emulator.pins.size();
        QVERIFY(s.emulator.plugIn());
        QTRY_VERIFY_WITH_TIMEOUT(s.link.WinKeyOpen() != 0, 10000);
        QVERIFY(s.emulator.hostOpen);
        QCOMPARE(s.link.statusText(), QStringLiteral("WK Success!"));
        QTRY_VERIFY(s.emulator.pins.size() > pinsSent); // the settings again
        QCOMPARE(notices.size(), 2);
        s.play(500);
        QCOMPARE(s.emulator.charactersReceived, received);
        QCOMPARE(s.emulator.keyed, keyed);
        QVERIFY(messageTitles().isEmpty());

        s.rig.buffer.set(QStringLiteral("TEST"));
        s.link.WKTransmit();
        QVERIFY(s.playUntil([&] { return s.emulator.keyed.endsWith(QLatin1String("TEST")); }));
    }

    // While the keyer is looked for, the CW keying port taking the shared port ends the
    // search: the keyer plugged back in is left alone.
    void searchEndsWhenAnotherUseTakesThePort() {
        Station s(prompts);
        PseudoTerminal cwPort;
        s.rig.map.setMappedPath(3, cwPort.devicePath());
        s.rig.keyer.setPortText(QStringLiteral("3"));
        QVERIFY(s.open());
        s.emulator.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(s.link.recovery().recovering(), 10000);
        QVERIFY(s.rig.keyer.CWSetup());
        QCOMPARE(s.link.recovery().state(), LinkState::Closed);
        QCOMPARE(s.link.statusText(), QStringLiteral("Closed"));
        QVERIFY(s.emulator.plugIn());
        QTest::qWait(1500);
        QCOMPARE(s.link.WinKeyOpen(), 0);
        QVERIFY(!s.emulator.hostOpen);
    }

    void sharedPortRule() {
        Station s(prompts);
        PseudoTerminal cwPort;
        s.rig.map.setMappedPath(3, cwPort.devicePath());
        s.rig.keyer.setPortText(QStringLiteral("3"));
        QVERIFY(s.rig.keyer.CWSetup());
        QVERIFY(s.open());
        QVERIFY(!s.rig.keyer.keyingPortOpen()); // the WinKeyer took over
        QVERIFY(s.rig.keyer.CWSetup());         // and the CW port takes it back
        QCOMPARE(s.link.WinKeyOpen(), 0);
        QCOMPARE(s.link.statusText(), QStringLiteral("Closed"));
    }

    void settingsFile() {
        WinKeySettings w;
        w.comPort = 4;
        w.wpm = QStringLiteral("28");
        w.weight = QStringLiteral("45");
        w.leadIn = QStringLiteral("2");
        w.tail = QStringLiteral("3");
        w.ratio = QStringLiteral("40");
        w.pinConfig = 5;
        w.mode = 16;
        const QByteArray bytes = writeWinKeySettings(w);
        QCOMPARE(bytes, QByteArray("4\r\n\"28\"\r\n\"45\"\r\n\"2\"\r\n\"3\"\r\n\"40\"\r\n5\r\n16\r\n"));
        QCOMPARE(readWinKeySettings(bytes), w);
        // Lines 7 and 8 are optional; a damaged file keeps the defaults.
        const WinKeySettings six = readWinKeySettings("4\r\n\"28\"\r\n\"45\"\r\n\"2\"\r\n\"3\"\r\n\"40\"\r\n");
        QCOMPARE(six.ratio, QStringLiteral("40"));
        QCOMPARE(six.pinConfig, 6);
        QCOMPARE(six.mode, 0);
        QCOMPARE(readWinKeySettings("x\r\n"), WinKeySettings());
        QCOMPARE(readWinKeySettings("300\r\n").comPort, 0);
        Station s(prompts);
        s.link.settings() = w;
        QVERIFY(!s.link.save());
        s.link.settings() = WinKeySettings();
        s.link.load();
        QCOMPARE(s.link.settings().mode, 16);
        QCOMPARE(s.link.settings().wpm, QStringLiteral("13")); // the CW window's speed wins
    }

    void fromTheMainWindow() {
        auto window = std::make_unique<MainWindowFixture>();
        MainWindowFixture& f = *window;
        Station s(f.prompts);
        // The main window refers to the station's keyer: it goes first, however the test ends.
        const auto windowFirst = qScopeGuard([&window] { window.reset(); });
        QFile cw(f.workingFile(QStringLiteral("CW.txt")));
        QVERIFY(cw.open(QIODevice::WriteOnly));
        cw.write("\"CQ $\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n"
                 "\"20\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n5\r\n\"&H378\"\r\n0\r\n\"0\"\r\n");
        cw.close();
        f.window().attachKeyer(s.rig.keyer, s.rig.map);
        f.window().keyerWiring()->attachWinKeyer(s.link);
        s.link.settings().comPort = kPort;
        f.startUp();
        EntryPanel& e = f.window().entry();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        e.focusCall();
        QTest::keyClicks(e.txtCall, QStringLiteral("w1aw"));
        QTest::keyClick(e.txtCall, Qt::Key_F1); // opens the link on the first send
        QVERIFY(s.playUntil([&] { return s.emulator.keyed == QStringLiteral("CQ W1AW"); }));
        // Keyboard CW goes to the keyer too; Esc stops it at once.
        QTest::keyClick(e.txtCall, Qt::Key_F12);
        QTest::keyClicks(e.txtCall, QStringLiteral("test test"));
        QVERIFY(s.playUntil([&] { return s.emulator.keyed.size() > 8; }));
        QTest::keyClick(e.txtCall, Qt::Key_Escape);
        QVERIFY(s.rig.buffer.isEmpty());
        QTRY_COMPARE(s.emulator.clears, 1);
        QCOMPARE(e.txtCall->text(), QStringLiteral("W1AW"));
        QTest::keyClick(e.txtCall, Qt::Key_F12);

        // The CW window's button opens the WinKeyer window with the link's state.
        KeyerWiring& wiring = *f.window().keyerWiring();
        wiring.showCwSetup();
        QVERIFY(wiring.cwWindow().cmdConfigureWinkey->isVisible());
        QTest::mouseClick(wiring.cwWindow().cmdConfigureWinkey, Qt::LeftButton);
        WinKeyWindow& w = wiring.winKeyWindow();
        QVERIFY(w.isVisible());
        QCOMPARE(w.lblVersion->text(), QStringLiteral("Version # 23"));
        QCOMPARE(w.txtWKComPort->text(), QStringLiteral("6"));
        w.Text1->setFocus();
        QTest::keyClicks(w.Text1, QStringLiteral("e"));
        QCOMPARE(w.Text1->text(), QStringLiteral("E"));
        QVERIFY(s.playUntil([&] { return s.emulator.keyed.endsWith(QLatin1Char('E')); }));
        QTest::mouseClick(w.cmdClose, Qt::LeftButton);
        QCOMPARE(w.lblOpenStatus->text(), QStringLiteral("Closed"));
        QTest::mouseClick(w.cmdDone, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(s.rig.dir.filePath(QStringLiteral("WK.txt"))));
    }
};

QTEST_MAIN(TestWinKeyer)
#include "tst_winkeyer.moc"
