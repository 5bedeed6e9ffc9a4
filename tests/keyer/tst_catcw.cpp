// CW through the radio's own keyer ("Radio (CAT)"): the CW keyer hands its messages and
// keyboard CW to a Kenwood over the rig link (a scripted line on a clock moved by hand)
// in the radio's commands, ahead of the radio's sending but not further; a full radio is
// asked again, a silent or ever-full one ends the send with one box; Esc and a new
// message stop the radio; the speed follows. The CW window refuses the options that the
// radio cannot take.
#include "KeyerRig.h"
#include "RigDoubles.h"
#include "TestDoubles.h"
#include "app/StationRadio.h"
#include "keyer/CatCwFeeder.h"
#include "keyer/MorseTable.h"
#include "keyer/windows/CwKeyerWindow.h"
#include "platform/DataPortLines.h"
#include "rig/RigLink.h"
#include "rig/RigSettings.h"

#include <QCoreApplication>
#include <QRadioButton>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {

class Host final : public CwKeyerHost {
public:
    QString callForMessages() const override { return QStringLiteral("K1ABC"); }
    QString reportSentForMessages() const override { return {}; }
    void logContact() override { ++logged; }
    bool keyboardCwMode() const override { return keyboard; }
    void showKeyerStatus(const QString& text) override { status = text; }

    bool keyboard = false;
    int logged = 0;
    QString status;
};

// A CW keyer on the radio's link: a Kenwood polled every 100 ms that answers KY; with
// room (or as told).
struct CatStation {
    ScriptedPrompts prompts;
    KeyerRig rig{prompts};
    Host host;
    ManualTimerClock clock;
    ScriptedRigTransport line{clock, 480}; // 4800 baud, 8N1
    RigLink link{line, clock};
    QtSerialPort catPort{rig.map};
    DataPortLines lines{catPort};
    StationRadio radio{link, lines};
    QList<QByteArray> roomAnswers; // taken in turn; "KY0;" once they run out
    bool silent = false;

    explicit CatStation(const char* rigType = "Kenwood") {
        RigSettings s;
        applyRigPreset(s, rigFamily(QLatin1String(rigType)));
        s.pollRate = QStringLiteral("F");
        link.setSettings(s);
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
            if (q == "KY;") {
                return roomAnswers.isEmpty() ? QByteArray("KY0;") : roomAnswers.takeFirst();
            }
            return {};
        };
        rig.keyer.setHost(&host);
        rig.keyer.setRadio(&radio, &clock);
        rig.keyer.setSpeedText(QStringLiteral("20"));
        rig.keyer.setKeyingLine(KeyingLineChoice::RadioCat);
        link.startPolling();
    }
    ~CatStation() { rig.keyer.setRadio(nullptr); }

    void advanceMs(double ms) {
        for (double t = 0; t < ms; t += 10) {
            clock.advanceMs(std::min(10.0, ms - t));
            QCoreApplication::processEvents();
        }
    }
    // The text commands as the radio reads them (a Kenwood's field without its fill).
    QList<QByteArray> texts() const {
        QList<QByteArray> out;
        for (const auto& w : line.writesStartingWith("KY ")) {
            QByteArray t = w.bytes.mid(3, w.bytes.size() - 4);
            while (t.endsWith(' ')) {
                t.chop(1);
            }
            out.append(t);
        }
        return out;
    }
    QByteArray keyed() const { return texts().join(); }
    int boxes() const { return int(prompts.callsOf(QStringLiteral("message")).size()); }
};

// Morse units of a text at the table's spacing (the radio's time for it).
qint64 unitsOf(const QString& text) {
    qint64 units = 0;
    for (const QChar c : text) {
        units += MorseTable::patternToKey(c, 0).size();
    }
    return units;
}

} // namespace

class TestCatCw : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A message longer than one command: the speed first, then each part after the radio
    // said it has room, the second part only when less than the lead is left of the
    // first; "!" logs the contact once the text before it is with the radio; the send
    // ends when the radio should have sent the last character.
    void messageInTheRadiosCommands() {
        CatStation s;
        const QString message = QStringLiteral("CQ TEST DE K1ABC K1ABC TEST!");
        s.rig.keyer.setMessage(0, message);
        s.advanceMs(150);
        s.line.clearWrites();
        const double pressedMs = s.clock.nowMs();
        s.rig.keyer.FKeyCW(112);
        QVERIFY(s.rig.keyer.isSending());
        s.advanceMs(100);
        QCOMPARE(s.line.writes().first().bytes, QByteArray("KS020;"));
        QCOMPARE(s.texts(), QList<QByteArray>({"CQ TEST DE K1ABC K1ABC T"}));
        QCOMPARE(s.host.logged, 0);
        const double firstAtMs = s.line.writesStartingWith("KY ").first().atMs;
        QVERIFY(firstAtMs - pressedMs < 100); // KS, KY; and its answer, KY at 4800 baud

        const double firstAirMs = double(unitsOf(QStringLiteral("CQ TEST DE K1ABC K1ABC T"))) * 60;
        s.advanceMs(firstAirMs - CatCwFeeder::kLeadMs - 300);
        QCOMPARE(s.texts().size(), 1); // not yet: the radio has more than the lead left
        s.advanceMs(600);
        QCOMPARE(s.keyed(), QByteArray("CQ TEST DE K1ABC K1ABC TEST"));
        QCOMPARE(s.host.logged, 1);
        QVERIFY(s.rig.keyer.isSending());

        QSignalSpy finished(&s.rig.keyer, &CwKeyer::sendingFinished);
        const double lastAtMs = s.line.writesStartingWith("KY ").last().atMs;
        s.advanceMs(firstAirMs + double(unitsOf(QStringLiteral("EST"))) * 60);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!s.rig.keyer.isSending());
        QVERIFY(s.clock.nowMs() - lastAtMs >= double(unitsOf(QStringLiteral("EST"))) * 60);
        QCOMPARE(s.boxes(), 0);
    }

    // Typed text reaches the radio as typed: a blank at the end of a command would be
    // lost in the Kenwood's fill, so it leads the next one; Backspace takes back what the
    // radio has not been given.
    void keyboardCw() {
        CatStation s;
        s.host.keyboard = true;
        s.rig.keyer.appendToBuffer(QStringLiteral("CQ "));
        s.rig.keyer.LoopThroughCWBuffer();
        s.advanceMs(100);
        s.rig.keyer.appendToBuffer(QStringLiteral("TEST"));
        s.rig.keyer.LoopThroughCWBuffer();
        s.advanceMs(100);
        QCOMPARE(s.texts(), QList<QByteArray>({"CQ", " TEST"}));

        s.rig.keyer.setMessage(1, QStringLiteral("5NN 5NN 5NN 5NN 5NN 5NN TU"));
        s.rig.keyer.FKeyCW(113);
        s.advanceMs(100);
        s.rig.keyer.appendToBuffer(QStringLiteral("XY"));
        s.rig.keyer.removeLastUnsent();
        s.advanceMs(20000);
        QVERIFY(s.keyed().endsWith("5NN TUX"));
    }

    void fullRadio() {
        CatStation s;
        s.roomAnswers = {"KY1;", "KY1;", "KY1;"};
        s.rig.keyer.setMessage(0, QStringLiteral("TEST"));
        s.rig.keyer.FKeyCW(112);
        s.advanceMs(3 * CatCwFeeder::kRetryMs - 100);
        QVERIFY(s.texts().isEmpty());
        s.advanceMs(400);
        QCOMPARE(s.texts(), QList<QByteArray>({"TEST"}));
        QCOMPARE(s.line.writesStartingWith("KY;").size(), 4);

        // A radio that never has room: the send ends with the reason, told once in a box.
        CatStation full;
        for (int i = 0; i < 500; ++i) {
            full.roomAnswers.append("KY1;");
        }
        full.rig.keyer.setMessage(0, QStringLiteral("TEST"));
        full.rig.keyer.FKeyCW(112);
        full.advanceMs(CatCwFeeder::kGiveUpMs + 1000);
        QVERIFY(full.texts().isEmpty());
        QVERIFY(!full.rig.keyer.isSending());
        QVERIFY(full.host.status.contains(u"stayed full"));
        QCOMPARE(full.boxes(), 1);
    }

    // A radio that does not answer: told on the status line every time, in a box once.
    void silentRadio() {
        CatStation s;
        s.silent = true;
        s.rig.keyer.setMessage(0, QStringLiteral("TEST"));
        for (int i = 0; i < 2; ++i) {
            s.host.status.clear();
            s.rig.keyer.FKeyCW(112);
            s.advanceMs(1500);
            QVERIFY(!s.rig.keyer.isSending());
            QVERIFY2(s.host.status.contains(u"did not answer"), qPrintable(s.host.status));
        }
        QCOMPARE(s.boxes(), 1);
        QVERIFY(s.texts().isEmpty());
    }

    // Esc stops the radio at once; a new message stops what the radio holds of the old.
    void escAndNewMessageStopTheRadio() {
        CatStation s;
        s.rig.keyer.setMessage(0, QStringLiteral("CQ CQ CQ TEST DE K1ABC K1ABC K1ABC TEST"));
        s.rig.keyer.setMessage(1, QStringLiteral("TU"));
        s.rig.keyer.FKeyCW(112);
        s.advanceMs(200);
        QCOMPARE(s.texts().size(), 1);
        s.line.clearWrites();
        s.rig.keyer.FKeyCW(113);
        s.advanceMs(200);
        QCOMPARE(s.line.writesStartingWith("KY0;").size(), 1);
        QCOMPARE(s.texts(), QList<QByteArray>({"TU"}));
        QVERIFY(s.line.writesStartingWith("KY0;").first().atMs <
                s.line.writesStartingWith("KY ").first().atMs);

        s.rig.keyer.FKeyCW(112);
        s.advanceMs(200);
        s.line.clearWrites();
        QVERIFY(s.rig.keyer.isSending());
        QVERIFY(s.rig.keyer.stopExternalKeyer());
        s.advanceMs(100);
        QCOMPARE(s.line.writesStartingWith("KY0;").size(), 1);
        QVERIFY(!s.rig.keyer.isSending());
        QVERIFY(s.rig.buffer.isEmpty());
        s.advanceMs(20000);
        QVERIFY(s.texts().isEmpty());              // nothing more of the stopped message
        QVERIFY(!s.rig.keyer.stopExternalKeyer()); // idle: Esc clears the entry row instead
    }

    void speedFollows() {
        CatStation s;
        s.rig.keyer.setMessage(0, QStringLiteral("E"));
        s.rig.keyer.FKeyCW(112);
        s.advanceMs(500);
        s.line.clearWrites();
        s.rig.keyer.UpDown1_UpClick();
        s.advanceMs(50);
        QCOMPARE(s.line.writesStartingWith("KS").size(), 1);
        QCOMPARE(s.line.writesStartingWith("KS").first().bytes, QByteArray("KS021;"));
        s.rig.keyer.FKeyCW(112);
        s.advanceMs(200);
        QCOMPARE(s.line.writesStartingWith("KS").size(), 1); // the radio has it already
    }

    // The CW window refuses what the radio cannot do: "Radio (CAT)" with a radio without
    // a keyer falls back to "None"; a rig-port line that powers the interface stays
    // unchosen.
    void windowRefusesWhatTheRadioCannot() {
        CatStation s("Yaesu");
        s.rig.keyer.setKeyingLine(KeyingLineChoice::Dtr);
        FixedScreen screen;
        CwKeyerWindow window(s.rig.keyer, s.rig.dir.path(), screen, s.prompts);
        window.optCAT->click();
        QCOMPARE(s.rig.keyer.keyingLine(), KeyingLineChoice::None);
        QVERIFY(window.optNone->isChecked());
        QCOMPARE(s.boxes(), 1);
        QVERIFY(s.prompts.callsOf(QStringLiteral("message")).last().text.contains(u"\"Yaesu\""));

        RigSettings settings = s.link.settings();
        applyRigPreset(settings, rigFamily(QStringLiteral("Kenwood")));
        settings.power = QStringLiteral("D");
        s.link.setSettings(settings);
        window.optCAT->click();
        QCOMPARE(s.rig.keyer.keyingLine(), KeyingLineChoice::RadioCat);
        window.optRigDTR->click();
        QCOMPARE(s.rig.keyer.keyingLine(), KeyingLineChoice::RadioCat);
        QVERIFY(window.optCAT->isChecked());
        QVERIFY(
            s.prompts.callsOf(QStringLiteral("message")).last().text.contains(u"Connection Power"));
        window.optRigRTS->click();
        QCOMPARE(s.rig.keyer.keyingLine(), KeyingLineChoice::RigRts);
        QCOMPARE(s.lines.use(DataPortLines::User::CwKeying), SerialControlLine::Signal::Rts);
        window.optNone->click();
        QVERIFY(!s.lines.use(DataPortLines::User::CwKeying));
    }
};

QTEST_MAIN(TestCatCw)
#include "tst_catcw.moc"
