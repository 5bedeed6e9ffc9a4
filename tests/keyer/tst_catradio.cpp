// "Radio (CAT)" end to end on a pseudo-terminal: the CW keyer and the transmit switch
// through the real rig link and serial port to a scripted Kenwood and a scripted CI-V
// radio that record their keyer's text, speed, stop and transmit byte for byte, with a
// buffer that reports full, while the link keeps polling on the same port.
#include "KeyerRig.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "TestDoubles.h"
#include "app/StationRadio.h"
#include "platform/DataPortLines.h"
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/RigSettings.h"
#include "rig/SerialRigTransport.h"

#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 6;
constexpr int kLong = 20000;

class Host final : public CwKeyerHost {
public:
    QString callForMessages() const override { return QStringLiteral("K1ABC"); }
    QString reportSentForMessages() const override { return {}; }
    void logContact() override { ++logged; }
    bool keyboardCwMode() const override { return false; }
    void showKeyerStatus(const QString& text) override { status = text; }
    int logged = 0;
    QString status;
};

// The keyer's rig and a rig link on one pseudo-terminal with its scripted radio.
struct Station {
    ScriptedPrompts prompts;
    KeyerRig rig{prompts};
    Host host;
    SystemTimerClock clock;
    PseudoTerminal device;
    ScriptedRadio radio;
    QtSerialPort catPort{rig.map};
    SerialRigTransport transport{catPort};
    RigLink link{transport, clock};
    DataPortLines lines{catPort};
    StationRadio station{link, lines};

    Station(ScriptedRadio::Protocol protocol, const char* rigType) : radio(device, protocol) {
        rig.map.setMappedPath(kPort, device.devicePath());
        transport.setKeyedLines(&lines);
        RigSettings s;
        applyRigPreset(s, rigFamily(QLatin1String(rigType)));
        s.portNumber = kPort;
        s.pollRate = QStringLiteral("F");
        link.setSettings(s);
        rig.keyer.setHost(&host);
        rig.keyer.setRadio(&station, &clock);
        rig.keyer.setSpeedText(QStringLiteral("50"));
        rig.keyer.setKeyingLine(KeyingLineChoice::RadioCat);
    }
    ~Station() {
        rig.keyer.setRadio(nullptr);
        link.stopPolling();
    }
    bool start() {
        link.startPolling();
        return QTest::qWaitFor([this] { return station.cwUnavailable().isEmpty(); }, kLong);
    }
    bool transmit(bool on) {
        std::optional<bool> done;
        station.setTransmit(on, [&done](bool ok, const QString&) { done = ok; });
        return QTest::qWaitFor([&] { return done.has_value(); }, kLong) && *done;
    }
    int boxes() const { return int(prompts.callsOf(QStringLiteral("message")).size()); }
};
} // namespace

class TestCatRadio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A Kenwood: the speed first, each text in a field of 24 filled with blanks after the
    // radio said it has room (twice full first), Esc stops the radio; TX; and RX; switch
    // it; the poll runs throughout.
    void kenwood() {
        Station s(ScriptedRadio::Protocol::Kenwood, "Kenwood");
        QVERIFY(s.start());
        s.radio.setKeyerFullAnswers(2);
        const QString message = QStringLiteral("CQ TEST DE K1ABC K1ABC K1ABC TEST");
        s.rig.keyer.setMessage(0, message);
        s.radio.clearReceived();
        s.rig.keyer.FKeyCW(112);
        QTRY_COMPARE_WITH_TIMEOUT(s.radio.keyedText(), message.toLatin1(), kLong);
        QCOMPARE(s.radio.keyerSpeed(), 50);
        const auto texts = s.radio.receivedStartingWith("KY ");
        QCOMPARE(texts.size(), 2);
        for (const auto& text : texts) {
            QCOMPARE(text.bytes.size(), 28); // "KY", a blank, 24 characters, ";"
        }
        QVERIFY(s.radio.receivedStartingWith("KY;").size() >= 4); // two answered full
        QVERIFY(!s.radio.receivedStartingWith("FA;").isEmpty());
        QVERIFY(s.rig.keyer.isSending());
        QVERIFY(s.rig.keyer.stopExternalKeyer()); // Esc
        QTRY_VERIFY_WITH_TIMEOUT(s.radio.keyerStopped(), kLong);
        QVERIFY(!s.rig.keyer.isSending());

        QVERIFY(s.transmit(true));
        QVERIFY(s.radio.transmitting());
        QVERIFY(s.transmit(false));
        QVERIFY(!s.radio.transmitting());
        QCOMPARE(s.boxes(), 0);
    }

    // A CI-V radio: the text in command 17 frames of at most 30 characters, each
    // acknowledged, the speed as 14 0C, 17 FF to stop; 1C 00 01 and 1C 00 00 acknowledged.
    void civ() {
        Station s(ScriptedRadio::Protocol::Civ, "Icom");
        QVERIFY(s.start());
        const QString message = QStringLiteral("CQ CQ TEST DE K1ABC K1ABC K1ABC TEST");
        s.rig.keyer.setMessage(0, message);
        s.radio.clearReceived();
        s.rig.keyer.FKeyCW(112);
        QTRY_COMPARE_WITH_TIMEOUT(s.radio.keyedText(), message.toLatin1(), kLong);
        QVERIFY(s.radio.keyerSpeed() > 0);
        const auto frames = s.radio.receivedStartingWith(QByteArray::fromHex("FEFE64E017"));
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames.first().bytes.size(), 6 + 30);
        QVERIFY(s.rig.keyer.stopExternalKeyer());
        QTRY_VERIFY_WITH_TIMEOUT(s.radio.keyerStopped(), kLong);

        QVERIFY(s.transmit(true));
        QVERIFY(s.radio.transmitting());
        QVERIFY(s.transmit(false));
        QVERIFY(!s.radio.transmitting());
        QCOMPARE(s.boxes(), 0);
    }

    // A radio that stops answering: the send ends, the operator is told; transmit is not
    // taken as switched without the radio's acknowledgement.
    void silentRadio() {
        Station s(ScriptedRadio::Protocol::Civ, "Icom");
        QVERIFY(s.start());
        s.radio.setAnswering(false);
        s.rig.keyer.setMessage(0, QStringLiteral("TEST"));
        s.rig.keyer.FKeyCW(112);
        QTRY_VERIFY_WITH_TIMEOUT(!s.rig.keyer.isSending(), kLong);
        // Given once, not again and again to a radio that does not say it took it.
        QCOMPARE(s.radio.receivedStartingWith(QByteArray::fromHex("FEFE64E017")).size(), 1);
        QVERIFY2(s.host.status.contains(u"did not answer"), qPrintable(s.host.status));
        QCOMPARE(s.boxes(), 1);
        QVERIFY(!s.transmit(true));
        // The radio heard it without answering: the link switches it back before closing.
        s.link.stopPolling();
        QTRY_VERIFY_WITH_TIMEOUT(!s.radio.transmitting(), kLong);
    }
};

QTEST_MAIN(TestCatRadio)
#include "tst_catradio.moc"
