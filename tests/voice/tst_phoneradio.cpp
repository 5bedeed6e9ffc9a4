// Push-to-talk through the radio's own link ("Radio (CAT)"): the voice keyer asks an Icom
// (CI-V 1C 00, acknowledged) and a Kenwood (TX;/RX;, unanswered) on a scripted line that
// the rig link polls, on a clock moved by hand. The message plays only after the radio
// acknowledged transmit (or its switching time passed); transmit ends at the end of the
// file, on Esc, on Esc before the acknowledgement; a missing file keys nothing; a refusing
// or silent radio keeps the message off the air with one box.
#include "KeyingDoubles.h"
#include "RigDoubles.h"
#include "TestDoubles.h"
#include "VoiceDoubles.h"

#include "app/StationRadio.h"
#include "platform/DataPortLines.h"
#include "platform/PortOwnership.h"
#include "rig/RigLink.h"
#include "rig/RigSettings.h"
#include "voice/PhoneKeyer.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kF1 = 112;
constexpr int kF2 = 113;

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

const QByteArray kIcomOn = hex("FE FE 64 E0 1C 00 01 FD");
const QByteArray kIcomOff = hex("FE FE 64 E0 1C 00 00 FD");

struct RadioStation {
    explicit RadioStation(const char* rigType) {
        QFile f(dir.filePath(QStringLiteral("cq.wav")));
        f.open(QIODevice::WriteOnly);
        f.write(testWave());
        f.close();
        RigSettings rig;
        applyRigPreset(rig, rigFamily(QLatin1String(rigType)));
        rig.pollRate = QStringLiteral("F");
        link.setSettings(rig);
        line.answer = [this](const QByteArray& q) -> QByteArray {
            if (silent) {
                return {};
            }
            if (q == "FA;") {
                return "FA00014025000;";
            }
            if (q == "MD;") {
                return "MD3;";
            }
            if (q == hex("FE FE 64 E0 03 FD")) {
                return hex("FE FE E0 64 03 00 50 02 14 00 FD");
            }
            if (q == hex("FE FE 64 E0 04 FD")) {
                return hex("FE FE E0 64 04 03 01 FD");
            }
            if (q.startsWith(hex("FE FE 64 E0 1C"))) {
                return refuse ? hex("FE FE E0 64 FA FD") : hex("FE FE E0 64 FB FD");
            }
            return {};
        };
        line.replyDelayMs = 30;
        link.startPolling();
        settings.files[0] = dir.filePath(QStringLiteral("cq.wav"));
        settings.files[1] = dir.filePath(QStringLiteral("missing.wav"));
        settings.pttPort = QStringLiteral("0");
        settings.pttLine = PhonePttLine::RadioCat;
        keyer.setRadio(&radio);
        keyer.setSettings(settings);
        advanceMs(300); // a few polls
        line.clearWrites();
    }
    ~RadioStation() { keyer.setRadio(nullptr); }

    void advanceMs(double ms) {
        for (double t = 0; t < ms; t += 1) {
            clock.advanceMs(std::min(1.0, ms - t));
            QCoreApplication::processEvents();
        }
    }
    // The transmit writes, in order.
    QList<QByteArray> transmitWrites(const QByteArray& on, const QByteArray& off) const {
        QList<QByteArray> out;
        for (const auto& w : line.writes()) {
            if (w.bytes == on || w.bytes == off) {
                out.append(w.bytes);
            }
        }
        return out;
    }
    double writtenAtMs(const QByteArray& bytes) const {
        for (const auto& w : line.writes()) {
            if (w.bytes == bytes) {
                return w.atMs;
            }
        }
        return -1;
    }
    int boxes() const { return int(prompts.callsOf(QStringLiteral("message")).size()); }

    QTemporaryDir dir;
    ManualTimerClock clock;
    ScriptedRigTransport line{clock, 480};
    RigLink link{line, clock};
    RecordingSerialPort catPort;
    DataPortLines lines{catPort};
    StationRadio radio{link, lines};
    RecordingWavePlayer player;
    RecordingSerialPort pttPort;
    RecordingParallelPort parallel;
    PortOwnership ownership;
    ScriptedPrompts prompts;
    PhoneSettings settings;
    PhoneKeyer keyer{player, pttPort, parallel, ownership, prompts};
    bool silent = false;
    bool refuse = false;
};
} // namespace

class TestPhoneRadio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The Icom acknowledges 1C 00 01 with FB: nothing plays before the answer; the end
    // of the file switches the radio back, once.
    void playsOnlyAfterTheAcknowledgement() {
        RadioStation s("Icom");
        s.keyer.FKeyPhone(kF1);
        s.advanceMs(25); // the command is out, the answer not yet in
        QCOMPARE(s.transmitWrites(kIcomOn, kIcomOff), QList<QByteArray>{kIcomOn});
        QVERIFY(!s.player.isPlaying());
        QVERIFY(s.keyer.isPlaying()); // waiting for the radio: Esc can stop it
        QTRY_VERIFY_WITH_TIMEOUT((s.advanceMs(5), s.player.isPlaying()), 5000);
        const double sentMs = s.writtenAtMs(kIcomOn);
        QVERIFY(s.clock.nowNs() / 1e6 - sentMs >= s.line.replyDelayMs);
        s.player.endPlayback();
        s.advanceMs(200);
        QCOMPARE(s.transmitWrites(kIcomOn, kIcomOff), (QList<QByteArray>{kIcomOn, kIcomOff}));
        QVERIFY(!s.keyer.isPlaying());
        QCOMPARE(s.boxes(), 0);
    }

    // Every way a message ends takes the radio off transmit; a file that cannot be played
    // never switches it on.
    void everyPathEndsTransmit() {
        {
            RadioStation s("Icom");
            s.keyer.FKeyPhone(kF1);
            QTRY_VERIFY_WITH_TIMEOUT((s.advanceMs(5), s.player.isPlaying()), 5000);
            QVERIFY(s.keyer.stopMessage()); // Esc while it plays
            s.advanceMs(200);
            QVERIFY(!s.player.isPlaying());
            QCOMPARE(s.transmitWrites(kIcomOn, kIcomOff), (QList<QByteArray>{kIcomOn, kIcomOff}));
        }
        {
            RadioStation s("Icom");
            s.keyer.FKeyPhone(kF1);
            s.advanceMs(10); // Esc before the radio answered
            QVERIFY(s.keyer.stopMessage());
            s.advanceMs(300);
            QVERIFY(!s.player.isPlaying()); // the late acknowledgement plays nothing
            QVERIFY(s.player.played().isEmpty());
            QCOMPARE(s.transmitWrites(kIcomOn, kIcomOff).last(), kIcomOff);
        }
        {
            RadioStation s("Icom");
            s.keyer.FKeyPhone(kF2); // no such file
            s.advanceMs(300);
            QVERIFY(s.transmitWrites(kIcomOn, kIcomOff).isEmpty());
            QVERIFY(s.player.played().isEmpty());
        }
    }

    // A Kenwood does not answer TX;: the message starts once the radio's switching time
    // has passed after the command left the line, and RX; follows its end.
    void unansweredRadioWaitsItsSwitchingTime() {
        RadioStation s("Kenwood");
        s.keyer.FKeyPhone(kF1);
        QTRY_VERIFY_WITH_TIMEOUT((s.advanceMs(1), s.player.isPlaying()), 5000);
        const double sentMs = s.writtenAtMs("TX;");
        QVERIFY(sentMs >= 0);
        QVERIFY2(s.clock.nowNs() / 1e6 - sentMs >= 50, "played before the switching time");
        s.player.endPlayback();
        s.advanceMs(200);
        QCOMPARE(s.transmitWrites("TX;", "RX;"), (QList<QByteArray>{"TX;", "RX;"}));
    }

    // A radio that refuses transmit or does not answer: the message stays off the air,
    // the operator is told once in a box and each time on the status line, and nothing
    // repeats.
    void refusingAndSilentRadios() {
        for (const bool silent : {false, true}) {
            RadioStation s("Icom");
            s.refuse = !silent;
            s.silent = silent;
            QSignalSpy notKeyed(&s.keyer, &PhoneKeyer::notKeyed);
            s.keyer.FKeyPhone(kF1);
            s.advanceMs(1500);
            QVERIFY(s.player.played().isEmpty());
            QCOMPARE(notKeyed.size(), 1);
            QVERIFY(!s.keyer.isPlaying());
            // It may have switched without its answer reaching us: back to receive.
            QCOMPARE(s.transmitWrites(kIcomOn, kIcomOff), (QList<QByteArray>{kIcomOn, kIcomOff}));
            s.keyer.FKeyPhone(kF1);
            s.advanceMs(1500);
            QVERIFY(s.player.played().isEmpty());
            QCOMPARE(notKeyed.size(), 2);
            QCOMPARE(s.boxes(), 1);
        }
    }
};

QTEST_MAIN(TestPhoneRadio)
#include "tst_phoneradio.moc"
