// The voice keyer on recording devices: what each function key plays and keys, the end
// of playback, the F1 repeat, push-to-talk on RTS, DTR and the parallel port, the shared
// port rule, and push-to-talk that cannot be keyed or is lost (on doubles that fail and
// on a real serial port whose lines are refused).
#include "KeyingDoubles.h"
#include "PseudoTerminal.h"
#include "TestDoubles.h"
#include "VoiceDoubles.h"

#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "voice/PhoneKeyer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kF1 = 112;
constexpr int kF2 = 113;
constexpr int kF3 = 114;
constexpr int kF9 = 120;

struct Station {
    Station() {
        for (const char* name : {"cq", "exchange", "tu"}) {
            QFile f(dir.filePath(QString::fromLatin1(name) + ".wav"));
            f.open(QIODevice::WriteOnly);
            f.write(testWave());
        }
        settings.files[0] = dir.filePath("cq.wav");
        settings.files[1] = dir.filePath("exchange.wav");
        settings.files[8] = dir.filePath("tu.wav");
        settings.pttPort = QStringLiteral("2");
        keyer.setSettings(settings);
    }
    void apply() { keyer.setSettings(settings); }
    QTimer* repeatTimer() { return keyer.findChild<QTimer*>(QStringLiteral("tmrRepeat")); }

    QTemporaryDir dir;
    RecordingWavePlayer player;
    RecordingSerialPort port;
    RecordingParallelPort parallel;
    PortOwnership ownership;
    ScriptedPrompts prompts;
    PhoneSettings settings;
    PhoneKeyer keyer{player, port, parallel, ownership, prompts};
};
} // namespace

class TestPhoneKeyer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyKeyKeysNothing();
    void keyPlaysWithPushToTalk();
    void newKeyCutsOffAndKeepsPtt();
    void repeatingF1();
    void parallelPort();
    void dtrWithoutPortKeysNoSerialLine();
    void unplayableFilesKeyNothing();
    void refusedPortIsToldOnce();
    void failingLinesKeepMessagesOffTheAir();
    void lostPushToTalkStopsTheMessage();
    void realPortThatRefusesItsLines();
    void sharedPortRule();
    void playerTakesTheKeyerOutput();
};

void TestPhoneKeyer::emptyKeyKeysNothing() {
    Station s;
    s.keyer.FKeyPhone(kF3);
    s.keyer.FKeyPhone(111); // below F1
    s.keyer.FKeyPhone(121); // F10
    QVERIFY(s.player.played().isEmpty());
    QVERIFY(s.port.events.isEmpty());
    QVERIFY(s.parallel.writes().isEmpty());
    QVERIFY(!s.keyer.pttKeyed());
}

void TestPhoneKeyer::keyPlaysWithPushToTalk() {
    Station s;
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.player.playedNames(), QStringList{"exchange"});
    // The port opens with both lines off, then RTS keys.
    QCOMPARE(s.port.events, QStringList({"open 2", "RTS 1"}));
    QVERIFY(s.keyer.pttKeyed() && s.keyer.isPlaying());
    s.player.endPlayback();
    QCOMPARE(s.port.events.last(), QStringLiteral("RTS 0"));
    QVERIFY(!s.keyer.pttKeyed() && !s.keyer.isPlaying());
    // The port stays open for the next key.
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.port.events.count("open 2"), 1);
}

void TestPhoneKeyer::newKeyCutsOffAndKeepsPtt() {
    Station s;
    s.keyer.FKeyPhone(kF1);
    s.player.clearLog();
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.player.log().first(), QStringLiteral("close"));
    QCOMPARE(s.player.playedNames(), QStringList{"exchange"});
    QCOMPARE(s.port.events, QStringList({"open 2", "RTS 1"})); // never dropped between
    s.player.endPlayback();
    QCOMPARE(s.port.events, QStringList({"open 2", "RTS 1", "RTS 0"}));
    // A key with no file during playback cuts it off and releases at once.
    s.keyer.FKeyPhone(kF1);
    s.keyer.FKeyPhone(kF3);
    QVERIFY(!s.keyer.pttKeyed());
    QCOMPARE(s.port.events.last(), QStringLiteral("RTS 0"));
}

void TestPhoneKeyer::repeatingF1() {
    Station s;
    s.settings.repeatSeconds = QStringLiteral("10");
    s.apply();
    QCOMPARE(s.keyer.repeatIntervalMs(), 10000);
    s.keyer.FKeyPhone(kF1);
    QVERIFY(s.keyer.repeatArmed());
    QVERIFY(!s.repeatTimer()->isActive()); // the pause starts when the file ends
    s.player.endPlayback();
    QVERIFY(!s.keyer.pttKeyed());
    QVERIFY(s.repeatTimer()->isActive());
    QCOMPARE(s.repeatTimer()->interval(), 10000);

    // Again with a short pause, for real: PTT on, play, off, pause, again.
    s.keyer.setRepeatField(QStringLiteral("0.2"));
    s.keyer.FKeyPhone(kF1);
    s.player.endPlayback();
    QTRY_COMPARE_WITH_TIMEOUT(s.player.playedNames().size(), 3, 10000);
    QCOMPARE(s.player.playedNames(), QStringList({"cq", "cq", "cq"}));
    QCOMPARE(s.port.events, QStringList({"open 2", "RTS 1", "RTS 0", "RTS 1", "RTS 0", "RTS 1"}));
    // Keys of other messages do not stop the repeat.
    s.keyer.FKeyPhone(kF2);
    QVERIFY(s.keyer.repeatArmed());
    // "Stop" ends it, also while the pause is counting.
    s.player.endPlayback();
    QVERIFY(s.repeatTimer()->isActive());
    QSignalSpy armed(&s.keyer, &PhoneKeyer::repeatArmedChanged);
    s.keyer.stopRepeat();
    QCOMPARE(armed.size(), 1);
    QVERIFY(!s.repeatTimer()->isActive());
    QTest::qWait(400);
    QCOMPARE(s.player.played().size(), 4);

    // An interval of 0 ends it too; a value of 60 or more resets the field.
    s.keyer.FKeyPhone(kF1);
    QVERIFY(s.keyer.repeatArmed());
    QCOMPARE(s.keyer.setRepeatField(QStringLiteral("60")), QStringLiteral("0"));
    QVERIFY(!s.keyer.repeatArmed());
    s.player.endPlayback();
    QVERIFY(!s.repeatTimer()->isActive());
}

void TestPhoneKeyer::parallelPort() {
    Station s;
    s.settings.pttPort = QStringLiteral("0");
    s.settings.pttLine = PhonePttLine::Parallel;
    s.settings.parallelAddress = QStringLiteral("&H278");
    s.apply();
    s.keyer.FKeyPhone(kF9);
    QCOMPARE(s.parallel.baseAddress(), 0x278); // control register 0x27A
    QCOMPARE(s.parallel.writes(), QList<quint8>({2, 3})); // opened resting, then keyed
    s.player.endPlayback();
    QCOMPARE(s.parallel.writes(), QList<quint8>({2, 3, 2}));
    QVERIFY(s.port.events.isEmpty());
    // The choice changed while keyed: the line that was keyed is the one released.
    s.keyer.FKeyPhone(kF9);
    s.settings.pttLine = PhonePttLine::Rts;
    s.apply();
    s.player.endPlayback();
    QCOMPARE(s.parallel.writes(), QList<quint8>({2, 3, 2, 3, 2}));
}

void TestPhoneKeyer::dtrWithoutPortKeysNoSerialLine() {
    Station s;
    s.settings.pttPort = QStringLiteral("0");
    s.settings.pttLine = PhonePttLine::Dtr;
    s.apply();
    s.keyer.FKeyPhone(kF1);
    QCOMPARE(s.player.playedNames(), QStringList{"cq"}); // heard, nothing keyed
    QVERIFY(s.port.events.isEmpty());
    QVERIFY(s.parallel.writes().isEmpty());
    s.settings.pttPort = QStringLiteral("4");
    s.apply();
    s.keyer.FKeyPhone(kF1);
    s.player.endPlayback();
    QCOMPARE(s.port.events, QStringList({"open 4", "DTR 1", "DTR 0"}));
}

void TestPhoneKeyer::unplayableFilesKeyNothing() {
    Station s;
    QFile::remove(s.dir.filePath("cq.wav"));
    QFile truncated(s.dir.filePath("exchange.wav"));
    QVERIFY(truncated.open(QIODevice::ReadWrite));
    truncated.resize(100);
    truncated.close();
    s.settings.files[2] = s.dir.filePath("no-such-folder/x.wav");
    s.settings.files[3] = s.dir.path(); // a folder
    s.settings.repeatSeconds = QStringLiteral("0.1");
    s.apply();
    for (int key : {kF1, kF2, kF3, kF3 + 1}) {
        s.keyer.FKeyPhone(key);
        QVERIFY(!s.keyer.pttKeyed());
        QVERIFY(!s.keyer.isPlaying());
    }
    QTest::qWait(300); // the F1 repeat tries again, silently
    QVERIFY(s.player.played().isEmpty());
    QVERIFY(s.port.events.isEmpty());
    QVERIFY(s.prompts.calls().isEmpty());
}

void TestPhoneKeyer::refusedPortIsToldOnce() {
    Station s;
    s.port.setOpenFails(true);
    QSignalSpy refused(&s.keyer, &PhoneKeyer::pttPortRefused);
    s.keyer.FKeyPhone(kF1);
    s.player.endPlayback();
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.prompts.callsOf("message").size(), 1);
    const PromptCall message = s.prompts.callsOf("message").first();
    QCOMPARE(message.title, QStringLiteral("Invalid port."));
    QCOMPARE(message.text, QStringLiteral("The port you have selected for Phone keying is "
                                          "invalid.  Please select another or enter 0 for none."));
    QCOMPARE(s.prompts.beeps(), 1);
    QCOMPARE(refused.size(), 1);
    // Nothing goes on the air without push-to-talk.
    QVERIFY(s.player.played().isEmpty());
    QVERIFY(!s.keyer.pttKeyed() && !s.keyer.isPlaying());
    // Leaving the port field asks again; a non-numeric entry becomes "0".
    s.keyer.setPttPortField(QStringLiteral("2"));
    QCOMPARE(s.prompts.callsOf("message").size(), 2);
    QCOMPARE(s.keyer.setPttPortField(QStringLiteral("COM2")), QStringLiteral("0"));
    QCOMPARE(s.prompts.callsOf("message").size(), 2);
    // A parallel port that is not there is told the same way.
    s.parallel.setOpenFails(true);
    s.settings = s.keyer.settings();
    s.settings.pttLine = PhonePttLine::Parallel;
    s.apply();
    s.keyer.FKeyPhone(kF1);
    s.keyer.FKeyPhone(kF1);
    QCOMPARE(s.prompts.callsOf("message").size(), 3);
    QVERIFY(!s.keyer.pttKeyed());
    QVERIFY(s.player.played().isEmpty());
}

void TestPhoneKeyer::failingLinesKeepMessagesOffTheAir() {
    Station s;
    s.settings.repeatSeconds = QStringLiteral("0.1");
    s.apply();
    s.port.setLinesFail(true);
    QSignalSpy notKeyed(&s.keyer, &PhoneKeyer::notKeyed);
    // The port opens, RTS is refused: the message is not played, the repeat ends, the
    // operator is told once with the cause; the status line hears it every time.
    s.keyer.FKeyPhone(kF1);
    QVERIFY(s.player.played().isEmpty());
    QVERIFY(!s.keyer.pttKeyed() && !s.keyer.isPlaying());
    QVERIFY(!s.keyer.repeatArmed());
    QVERIFY(!s.repeatTimer()->isActive());
    QCOMPARE(notKeyed.size(), 1);
    QCOMPARE(s.prompts.callsOf("message").size(), 1);
    const PromptCall told = s.prompts.callsOf("message").first();
    QCOMPARE(told.title, QStringLiteral("Push-to-talk failed."));
    QVERIFY2(told.text.contains("RTS") && told.text.contains("port 2") &&
                 told.text.contains("Inappropriate ioctl for device"),
             qPrintable(told.text));
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.prompts.callsOf("message").size(), 1);
    QCOMPARE(notKeyed.size(), 2);
    QVERIFY(s.player.played().isEmpty());
    // DTR is another line: told again. Once a line keys, a later failure is told anew.
    s.settings = s.keyer.settings();
    s.settings.pttLine = PhonePttLine::Dtr;
    s.apply();
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.prompts.callsOf("message").size(), 2);
    s.port.setLinesFail(false);
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.player.playedNames(), QStringList{"exchange"});
    s.player.endPlayback();
    s.port.setLinesFail(true);
    s.keyer.FKeyPhone(kF2);
    QCOMPARE(s.prompts.callsOf("message").size(), 3);

    // The parallel port opens but refuses the write.
    Station p;
    p.settings.pttPort = QStringLiteral("0");
    p.settings.pttLine = PhonePttLine::Parallel;
    p.apply();
    p.parallel.open(0x378);
    p.parallel.setWritesFail(true);
    p.keyer.FKeyPhone(kF9);
    QVERIFY(p.player.played().isEmpty());
    QVERIFY(!p.keyer.pttKeyed());
    QCOMPARE(p.prompts.callsOf("message").size(), 1);
    QVERIFY(p.prompts.callsOf("message").first().text.contains("&H378"));
}

void TestPhoneKeyer::lostPushToTalkStopsTheMessage() {
    Station s;
    s.settings.repeatSeconds = QStringLiteral("5");
    s.apply();
    QSignalSpy notKeyed(&s.keyer, &PhoneKeyer::notKeyed);
    // The adapter is pulled out while F1 plays: the sound stops with push-to-talk.
    s.keyer.FKeyPhone(kF1);
    QVERIFY(s.player.isPlaying());
    s.port.vanish();
    QVERIFY(!s.player.isPlaying());
    QVERIFY(!s.keyer.isPlaying() && !s.keyer.pttKeyed());
    QVERIFY(!s.keyer.repeatArmed());
    QCOMPARE(notKeyed.size(), 1);
    QCOMPARE(s.prompts.callsOf("message").size(), 1);
    QVERIFY(s.prompts.callsOf("message").first().text.contains("The device was removed."));
    // No end comes for a stopped sound, and none is waited for.
    s.player.endPlayback();
    QVERIFY(!s.repeatTimer()->isActive());

    // The CW keyer takes the shared port while a message plays: stopped, not told by a box.
    s.keyer.FKeyPhone(kF2);
    QVERIFY(s.player.isPlaying());
    s.ownership.claim(PortUser::CwKeying);
    QVERIFY(!s.player.isPlaying() && !s.keyer.pttKeyed());
    QCOMPARE(notKeyed.size(), 2);
    QCOMPARE(s.prompts.callsOf("message").size(), 1);
    // Without a playing message the port simply goes.
    s.keyer.FKeyPhone(kF2);
    s.player.endPlayback();
    s.ownership.claim(PortUser::WinKeyer);
    QCOMPARE(notKeyed.size(), 2);
}

void TestPhoneKeyer::realPortThatRefusesItsLines() {
    // A pseudo-terminal opens like a serial port but has no modem lines.
    PseudoTerminal device;
    QVERIFY(device.isValid());
    QTemporaryDir dir;
    QtSettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    PortMap map(settings);
    map.setMappedPath(5, device.devicePath());
    QtSerialPort port(map);
    Station s;
    PhoneKeyer keyer(s.player, port, s.parallel, s.ownership, s.prompts);
    PhoneSettings settingsOf = s.settings;
    settingsOf.pttPort = QStringLiteral("5");
    keyer.setSettings(settingsOf);
    keyer.FKeyPhone(kF1);
    QVERIFY(port.isOpen());
    QVERIFY(s.player.played().isEmpty());
    QVERIFY(!keyer.pttKeyed());
    QCOMPARE(s.prompts.callsOf("message").size(), 1);
    QVERIFY2(s.prompts.callsOf("message").first().text.contains("port 5"),
             qPrintable(s.prompts.callsOf("message").first().text));
}

void TestPhoneKeyer::sharedPortRule() {
    Station s;
    int cwReleased = 0;
    s.ownership.setReleaser(PortUser::CwKeying, [&] { ++cwReleased; });
    s.ownership.claim(PortUser::CwKeying);
    // The PTT port opening makes the CW keying port let go.
    s.keyer.FKeyPhone(kF1);
    QCOMPARE(cwReleased, 1);
    QVERIFY(s.ownership.holds(PortUser::VoicePtt));
    // The WinKeyer taking the port closes the PTT port, releasing push-to-talk first.
    s.ownership.claim(PortUser::WinKeyer);
    QCOMPARE(s.port.events, QStringList({"open 2", "RTS 1", "RTS 0", "close"}));
    QVERIFY(!s.keyer.pttKeyed());
    s.player.endPlayback();
    // The next key opens it again.
    s.keyer.FKeyPhone(kF1);
    QCOMPARE(s.port.events.mid(4), QStringList({"open 2", "RTS 1"}));
    // An adapter pulled out while keyed leaves nothing keyed and reopens on the next key.
    s.port.vanish();
    QVERIFY(!s.ownership.holds(PortUser::VoicePtt));
    s.player.endPlayback();
    QVERIFY(!s.keyer.pttKeyed());
    s.keyer.FKeyPhone(kF1);
    QCOMPARE(s.port.events.last(), QStringLiteral("RTS 1"));
}

void TestPhoneKeyer::playerTakesTheKeyerOutput() {
    Station s;
    s.settings.keyerOutput = QByteArrayLiteral("alsa_output.usb-radio");
    s.settings.promptOutput = QByteArrayLiteral("alsa_output.headset");
    s.apply();
    QCOMPARE(s.player.outputDevice(), QByteArrayLiteral("alsa_output.usb-radio"));
    s.settings.keyerOutput.clear();
    s.apply();
    QVERIFY(s.player.outputDevice().isEmpty());
}

QTEST_MAIN(TestPhoneKeyer)
#include "tst_phonekeyer.moc"
