// The CW keyer: message wildcards, function keys through the engine, F2 while F1 is
// sent, the repeat, speed, "CW.txt", the keying port on a real pseudo-terminal (absent,
// vanishing, shared) and the parallel port.
#include "KeyerRig.h"
#include "PseudoTerminal.h"
#include "TestDoubles.h"
#include "keyer/CwSettings.h"

#include <QFile>
#include <QTest>
#include <QTimer>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr qint64 kUnit20 = 60'000'000;

class Host final : public CwKeyerHost {
public:
    QString callForMessages() const override { return call; }
    QString reportSentForMessages() const override { return report; }
    void logContact() override { ++logged; }
    bool keyboardCwMode() const override { return keyboard; }
    void showKeyerStatus(const QString& text) override { status = text; }

    QString call = QStringLiteral("K1ABC");
    QString report;
    bool keyboard = false;
    int logged = 0;
    QString status;
};

QByteArray cwFile(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) {
        out += l.toLatin1() + "\r\n";
    }
    return out;
}
} // namespace

class TestCwKeyer : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    std::unique_ptr<KeyerRig> rig;
    Host host;

    // A keyer on the RTS line of port 3, which is a pseudo-terminal.
    void useSerial(PseudoTerminal& device, KeyingLineChoice line = KeyingLineChoice::Rts) {
        rig->map.setMappedPath(3, device.devicePath());
        rig->keyer.setPortText(QStringLiteral("3"));
        rig->keyer.setKeyingLine(line);
    }
    int invalidPortMessages() const {
        int n = 0;
        for (const PromptCall& c : prompts.callsOf(QStringLiteral("message"))) {
            n += c.title == QLatin1String("Invalid port.") ? 1 : 0;
        }
        return n;
    }

private Q_SLOTS:
    void init() {
        prompts.clear();
        host = Host();
        rig = std::make_unique<KeyerRig>(prompts);
        rig->keyer.setHost(&host);
        rig->keyer.setSpeedText(QStringLiteral("20"));
        for (int i = 0; i < 11; ++i) {
            rig->keyer.setMessage(i, QStringLiteral("M%1").arg(i + 1));
        }
    }
    void cleanup() { rig.reset(); }

    void wildcards_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("sent");
        QTest::newRow("call trimmed") << "CQ $ TEST" << "  K1ABC " << "" << "CQ K1ABC TEST";
        QTest::newRow("599 is 5NN") << "$ *" << "K1ABC" << "599" << "K1ABC 5NN";
        QTest::newRow("empty report is 5NN") << "$ *" << "K1ABC" << "" << "K1ABC 5NN";
        QTest::newRow("other report") << "$ *" << "K1ABC" << " 579" << "K1ABC 579";
        QTest::newRow("no call") << "$ TU" << "" << "" << " TU";
        QTest::newRow("number removed") << "TU#" << "K1ABC" << "" << "TU";
        QTest::newRow("two in a row") << "$$**" << "W1" << "559" << "W1W1559559";
        QTest::newRow("inserted text not scanned") << "$ *" << "A#*" << "5$9" << "A#* 5$9";
    }
    void wildcards() {
        QFETCH(QString, message);
        QFETCH(QString, call);
        QFETCH(QString, report);
        QFETCH(QString, sent);
        QCOMPARE(substituteWildcards(message, call, report), sent);
    }

    void functionKeysSendTheirMessages() {
        PseudoTerminal device;
        useSerial(device);
        rig->keyer.setMessage(0, QStringLiteral("CQ $ TEST"));
        rig->keyer.setMessage(9, QStringLiteral("F10 *"));
        rig->keyer.FKeyCW(112);
        QVERIFY(rig->keyer.isSending());
        QVERIFY(rig->runOut());
        QCOMPARE(KeyerRig::decode(rig->outputs.serial, kUnit20), QStringLiteral("CQ K1ABC TEST"));
        QCOMPARE(rig->outputs.attaches, 1);
        QVERIFY(!rig->outputs.serial.isDown());
        rig->outputs.serial.clear();
        rig->keyer.FKeyCW(124); // F10
        QVERIFY(rig->runOut());
        QCOMPARE(KeyerRig::decode(rig->outputs.serial, kUnit20), QStringLiteral("F10 5NN"));
        // Codes without a message, and an empty message, send nothing.
        for (const int code : {121, 123, 111}) {
            rig->keyer.FKeyCW(code);
            QVERIFY(!rig->keyer.isSending());
        }
        rig->keyer.setMessage(2, QString());
        rig->keyer.FKeyCW(114);
        QVERIFY(!rig->keyer.isSending());
        QCOMPARE(rig->outputs.attaches, 1); // the port stayed open throughout
    }

    void secondKeyReplacesTheFirstAfterTheCurrentCharacter() {
        PseudoTerminal device;
        useSerial(device);
        rig->keyer.setMessage(0, QStringLiteral("CQ CQ TEST"));
        rig->keyer.setMessage(1, QStringLiteral("TU"));
        rig->keyer.FKeyCW(112);
        rig->advanceMs(300); // inside the C
        QCOMPARE(rig->started(), QStringLiteral("C"));
        rig->keyer.FKeyCW(113);
        QVERIFY(rig->runOut());
        QCOMPARE(rig->started(), QStringLiteral("CTU"));
        QCOMPARE(KeyerRig::decode(rig->outputs.serial, kUnit20), QStringLiteral("CTU"));
    }

    void repeatCallsAgainUntilStopped() {
        rig->keyer.setKeyingLine(KeyingLineChoice::Rts); // port 0: timed, nothing keyed
        rig->keyer.setMessage(0, QStringLiteral("E"));
        QCOMPARE(rig->keyer.applyRepeatText(QStringLiteral("0.05")), QStringLiteral("0.05"));
        QCOMPARE(rig->keyer.repeatIntervalMs(), 50);
        rig->keyer.FKeyCW(112);
        QVERIFY(rig->keyer.repeatArmed());
        QVERIFY(rig->runOut());
        QVERIFY(rig->keyer.repeatTimer()->isActive());
        // The timer sends F1 again, which re-arms the repeat.
        QVERIFY(QTest::qWaitFor([&] { return rig->keyer.isSending(); }, 5000));
        QVERIFY(rig->runOut());
        QCOMPARE(rig->started(), QStringLiteral("EE"));
        QVERIFY(rig->keyer.repeatTimer()->isActive());
        rig->keyer.stopRepeat(); // any key on the main window
        QVERIFY(!rig->keyer.repeatTimer()->isActive());
        QVERIFY(!rig->keyer.repeatArmed());
        QTest::qWait(120);
        QVERIFY(!rig->keyer.isSending());
        QVERIFY(rig->outputs.serial.edges().empty()); // port 0 keys nothing
    }

    // A calling loop ends after the message being sent when its interval becomes 0 or is
    // refused, whether typed (0 takes effect at once) or left in the field; a repeat that
    // is counting down stops too. Never F1 back to back.
    void repeatEndsWhenTheIntervalGoes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("whileSending");
        QTest::newRow("0 typed while sending") << "0" << true << true;
        QTest::newRow("0 left while sending") << "0" << false << true;
        QTest::newRow("60 refused while sending") << "60" << false << true;
        QTest::newRow("-1 refused while waiting") << "-1" << false << false;
        QTest::newRow("0 typed while waiting") << "0" << true << false;
    }
    void repeatEndsWhenTheIntervalGoes() {
        QFETCH(QString, text);
        QFETCH(bool, typed);
        QFETCH(bool, whileSending);
        rig->keyer.setKeyingLine(KeyingLineChoice::Rts); // port 0: timed, nothing keyed
        rig->keyer.setMessage(0, QStringLiteral("TEST"));
        rig->keyer.applyRepeatText(QStringLiteral("5"));
        rig->keyer.FKeyCW(112);
        QVERIFY(rig->keyer.repeatArmed());
        if (!whileSending) {
            QVERIFY(rig->runOut());
            QVERIFY(rig->keyer.repeatTimer()->isActive());
        } else {
            rig->advanceMs(100);
            QVERIFY(rig->keyer.isSending());
        }
        if (typed) {
            rig->keyer.editRepeatText(text);
        } else {
            QCOMPARE(rig->keyer.applyRepeatText(text), QStringLiteral("0"));
        }
        if (whileSending) {
            QVERIFY(rig->runOut());
            QCOMPARE(rig->started(), QStringLiteral("TEST")); // the message is finished
        }
        QTest::qWait(50);
        QCoreApplication::processEvents();
        QVERIFY(!rig->keyer.repeatArmed());
        QVERIFY(!rig->keyer.repeatTimer()->isActive());
        QVERIFY(!rig->keyer.isSending());
        QCOMPARE(rig->finished.count(), 1);
        // F1 with no interval sends once and arms nothing.
        rig->keyer.FKeyCW(112);
        QVERIFY(!rig->keyer.repeatArmed());
        QVERIFY(rig->runOut());
        QTest::qWait(50);
        QVERIFY(!rig->keyer.isSending());
    }

    // Changing the keying line during a message: the next character uses the line in
    // force, the line given up is left key-up and keyed no more, and the operator's own
    // change is never a fault.
    void lineChangedDuringAMessage() {
        PseudoTerminal device;
        useSerial(device, KeyingLineChoice::Dtr);
        rig->keyer.setMessage(0, QStringLiteral("TEST TEST TEST"));
        rig->keyer.setKeyingLine(KeyingLineChoice::Printer);
        rig->keyer.FKeyCW(112);
        rig->advanceMs(700);
        QVERIFY(!rig->outputs.parallel.changes().empty());
        rig->keyer.setKeyingLine(KeyingLineChoice::Dtr); // leaving "Printer"
        QVERIFY(!rig->outputs.parallel.isDown());
        QCOMPARE(rig->outputs.parallelBase, -1);
        const qsizetype printerEdges = rig->outputs.parallel.edges().size();
        rig->advanceMs(1500);
        QVERIFY(rig->keyer.isSending());
        QCOMPARE(rig->outputs.parallel.edges().size(), printerEdges);
        QVERIFY(!rig->outputs.serial.changes().empty()); // the rest goes out on DTR
        rig->keyer.setKeyingLine(KeyingLineChoice::None); // and "None" ends it
        QVERIFY(!rig->outputs.serial.isDown());
        const qsizetype serialEdges = rig->outputs.serial.edges().size();
        QVERIFY(rig->runOut());
        QCOMPARE(rig->outputs.serial.edges().size(), serialEdges);
        QVERIFY(rig->started().size() < 10);
        QCOMPARE(invalidPortMessages(), 0);
        QCOMPARE(prompts.beeps(), 0);
    }

    // The push-to-talk port or the WinKeyer takes the shared port mid-message: the send
    // ends quietly, key-up, with a word on the status line instead of "Invalid port.".
    void sharedPortTakenDuringAMessage_data() {
        QTest::addColumn<int>("user");
        QTest::newRow("push-to-talk") << int(PortUser::VoicePtt);
        QTest::newRow("WinKeyer") << int(PortUser::WinKeyer);
    }
    void sharedPortTakenDuringAMessage() {
        QFETCH(int, user);
        PseudoTerminal device;
        useSerial(device);
        rig->keyer.applyRepeatText(QStringLiteral("5"));
        rig->keyer.setMessage(0, QStringLiteral("CQ CQ CQ TEST"));
        rig->keyer.FKeyCW(112);
        rig->advanceMs(400);
        QVERIFY(rig->keyer.isSending());
        rig->owners.claim(PortUser(user));
        QVERIFY(!rig->keyer.keyingPortOpen());
        QVERIFY(!rig->outputs.serial.isDown());
        QVERIFY(rig->runOut());
        QCOMPARE(invalidPortMessages(), 0);
        QVERIFY(host.status.contains(QStringLiteral("keying port is now used")));
        QVERIFY(!rig->keyer.repeatArmed());
        QVERIFY(rig->buffer.isEmpty());
    }

    void repeatField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("interval");
        QTest::newRow("59.5") << "59.5" << "59.5" << 59500;
        QTest::newRow("0") << "0" << "0" << 0;
        QTest::newRow("60") << "60" << "0" << 0;
        QTest::newRow("-1") << "-1" << "0" << 0;
        QTest::newRow("not a number") << "5x" << "0" << 0;
        QTest::newRow("empty") << "" << "0" << 0;
    }
    void repeatField() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(int, interval);
        rig->keyer.applyRepeatText(QStringLiteral("5"));
        QCOMPARE(rig->keyer.applyRepeatText(text), field);
        QCOMPARE(rig->keyer.repeatIntervalMs(), interval);
    }

    void speedStepsAndRefusedSpeeds() {
        rig->keyer.setKeyingLine(KeyingLineChoice::Printer);
        rig->keyer.setSpeedText(QStringLiteral("1"));
        rig->keyer.UpDown1_DownClick();
        QCOMPARE(rig->keyer.speedText(), QStringLiteral("0"));
        rig->keyer.UpDown1_DownClick();
        QCOMPARE(rig->keyer.speedText(), QStringLiteral("-1")); // no lower bound
        rig->keyer.FKeyCW(112);
        QVERIFY(rig->runOut());
        QVERIFY(rig->outputs.parallel.changes().empty());
        QVERIFY(!rig->outputs.parallel.isDown());
        QVERIFY(host.status.contains(QStringLiteral("-1")));
        rig->keyer.setSpeedText(QStringLiteral("12.5"));
        rig->keyer.UpDown1_UpClick();
        QCOMPARE(rig->keyer.speedText(), QStringLiteral("13.5"));
    }

    void parallelPortAddresses() {
        rig->keyer.setKeyingLine(KeyingLineChoice::Printer);
        rig->keyer.setParallelText(QStringLiteral("&H278"));
        rig->keyer.setMessage(0, QStringLiteral("T"));
        rig->keyer.FKeyCW(112);
        QVERIFY(rig->runOut());
        QCOMPARE(rig->outputs.parallelPortNumber, 1);
        QCOMPARE(rig->outputs.parallelBase, 0x278);
        QCOMPARE(KeyerRig::decode(rig->outputs.parallel, kUnit20), QStringLiteral("T"));
        // An address no port answers to: the message once, nothing sent.
        rig->keyer.setParallelText(QStringLiteral("&H9999"));
        rig->keyer.FKeyCW(112);
        QVERIFY(!rig->keyer.isSending());
        QCOMPARE(invalidPortMessages(), 1);
    }

    void noLineSendsNothingAndLogCharacter() {
        rig->keyer.setMessage(1, QStringLiteral("TU !"));
        rig->keyer.FKeyCW(113);
        QVERIFY(!rig->keyer.isSending());
        QVERIFY(rig->buffer.isEmpty());
        rig->keyer.setKeyingLine(KeyingLineChoice::Dtr);
        rig->keyer.FKeyCW(113);
        QVERIFY(rig->runOut());
        QCOMPARE(host.logged, 1);
        QCOMPARE(rig->started(), QStringLiteral("TU "));
    }

    void displayShowsWhatRemains() {
        rig->keyer.setKeyingLine(KeyingLineChoice::Rts);
        rig->keyer.setDisplay(true);
        rig->keyer.setMessage(0, QStringLiteral("TEST"));
        rig->keyer.FKeyCW(112);
        rig->advanceMs(10);
        QCOMPARE(host.status, QStringLiteral("EST"));
        host.keyboard = true;
        QVERIFY(rig->runOut());
        QCOMPARE(host.status, QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit."));
    }

    void portThatCannotOpen() {
        rig->map.setMappedPath(7, rig->dir.filePath(QStringLiteral("gone")));
        rig->keyer.setPortText(QStringLiteral("7"));
        rig->keyer.setKeyingLine(KeyingLineChoice::Rts);
        QSignalSpy refused(&rig->keyer, &CwKeyer::portRefused);
        rig->keyer.FKeyCW(112);
        QVERIFY(!rig->keyer.isSending());
        QVERIFY(rig->buffer.isEmpty());
        QCOMPARE(invalidPortMessages(), 1); // once, not once per character
        QCOMPARE(refused.count(), 1);
        QCOMPARE(prompts.beeps(), 1);
        const PromptCall call = prompts.callsOf(QStringLiteral("message")).first();
        QCOMPARE(call.text, QStringLiteral("The port you have selected for CW keying is invalid.  "
                                           "Please select another or enter 0 for none."));
        // A device that cannot key (a pseudo-terminal has no lines) is refused the same way.
        PseudoTerminal device;
        useSerial(device);
        rig->outputs.attachFails = true;
        QVERIFY(!rig->keyer.CWSetup());
        QVERIFY(!rig->keyer.keyingPortOpen());
        QCOMPARE(invalidPortMessages(), 2);
    }

    void portThatVanishesWhileKeying() {
        auto device = std::make_unique<PseudoTerminal>();
        useSerial(*device);
        rig->keyer.setMessage(0, QStringLiteral("CQ CQ CQ TEST"));
        rig->keyer.FKeyCW(112);
        rig->advanceMs(200);
        QVERIFY(rig->keyer.isSending());
        device.reset(); // the USB cable is pulled
        QVERIFY(QTest::qWaitFor([&] { return !rig->keyer.keyingPortOpen(); }, 10000));
        QVERIFY(rig->runOut());
        QCOMPARE(invalidPortMessages(), 1);
        QVERIFY(rig->buffer.isEmpty());
        QVERIFY(!rig->outputs.serial.isDown());
        // Plugged in again: the next message opens the port and is keyed whole.
        PseudoTerminal again;
        useSerial(again);
        rig->outputs.serial.clear();
        rig->keyer.setMessage(1, QStringLiteral("TU"));
        rig->keyer.FKeyCW(113);
        QVERIFY(rig->runOut());
        QCOMPARE(KeyerRig::decode(rig->outputs.serial, kUnit20), QStringLiteral("TU"));
        QCOMPARE(invalidPortMessages(), 1);
    }

    void keyingPortIsShared() {
        PseudoTerminal device;
        useSerial(device);
        int pttReleased = 0;
        rig->owners.setReleaser(PortUser::VoicePtt, [&] { ++pttReleased; });
        rig->owners.claim(PortUser::VoicePtt);
        QVERIFY(rig->keyer.CWSetup());
        QCOMPARE(pttReleased, 1); // opening the keying port closed the push-to-talk port
        QVERIFY(rig->keyer.keyingPortOpen());
        rig->owners.claim(PortUser::WinKeyer); // and the WinKeyer takes it back
        QVERIFY(!rig->keyer.keyingPortOpen());
        QVERIFY(rig->outputs.detaches >= 1);
    }

    void settingsFileRoundTrip() {
        CwSettings s;
        for (int i = 0; i < 11; ++i) {
            s.messages[i] = QStringLiteral("CQ %1 $ *").arg(i);
        }
        s.messages[8] = QStringLiteral("VVV");
        s.portText = QStringLiteral("4");
        s.speedText = QStringLiteral("28");
        s.wordSpaceText = QStringLiteral("-2");
        s.parallelText = QStringLiteral("&H278");
        s.keyingLine = KeyingLineChoice::WinKey;
        s.display = 1;
        s.repeatText = QStringLiteral("7.5");
        const QByteArray bytes = writeCwSettings(s);
        QCOMPARE(bytes.count("\r\n"), 18);
        QVERIFY(bytes.startsWith("\"CQ 0 $ *\"\r\n"));
        QVERIFY(bytes.contains("\r\n\"-2\"\r\n5\r\n\"&H278\"\r\n1\r\n\"7.5\"\r\n"));
        QCOMPARE(readCwSettings(bytes), s);
        // Quotes and line breaks never reach the file.
        s.messages[0] = QStringLiteral("CQ \"DX\"\nTEST");
        QCOMPARE(readCwSettings(writeCwSettings(s)).messages[0], QStringLiteral("CQ DXTEST"));
    }

    void settingsFileDamagedOrShort() {
        // An empty line 9 is "VVV DE "; a short file keeps the defaults of the rest.
        QStringList lines;
        for (int i = 0; i < 8; ++i) {
            lines << QStringLiteral("\"M%1\"").arg(i + 1);
        }
        lines << QStringLiteral("\"\"") << QStringLiteral("\"2\"");
        CwSettings s = readCwSettings(cwFile(lines));
        QCOMPARE(s.messages[8], QStringLiteral("VVV DE "));
        QCOMPARE(s.portText, QStringLiteral("2"));
        QCOMPARE(s.speedText, QStringLiteral("13"));
        QCOMPARE(s.parallelText, QStringLiteral("&H378"));
        QCOMPARE(s.keyingLine, KeyingLineChoice::None);
        // A stray quote stops the reading there.
        s = readCwSettings(cwFile({QStringLiteral("\"CQ\""), QStringLiteral("\"T\"U\"")}));
        QCOMPARE(s.messages[0], QStringLiteral("CQ"));
        QCOMPARE(s.messages[1], QString());
        // An unknown keying line is None; garbage is defaults.
        lines = QStringList(14, QStringLiteral("\"X\""));
        lines << QStringLiteral("4");
        QCOMPARE(readCwSettings(cwFile(lines)).keyingLine, KeyingLineChoice::None);
        QCOMPARE(readCwSettings(QByteArray("\x00\xff\x01garbage", 10)).speedText, QStringLiteral("13"));
        QCOMPARE(readCwSettings(QByteArray()), CwSettings());
    }

    void settingsFileInTheWorkingFolder() {
        QTemporaryDir folder;
        QFile lower(folder.filePath(QStringLiteral("cw.txt")));
        QVERIFY(lower.open(QIODevice::WriteOnly));
        QStringList lines(18, QStringLiteral("\"1\""));
        lines[0] = QStringLiteral("\"CQ TEST\"");
        lines[14] = QStringLiteral("2");
        lines[16] = QStringLiteral("0");
        lower.write(cwFile(lines));
        lower.close();
        rig->keyer.loadSettingsFile(folder.path());
        QCOMPARE(rig->keyer.settings().messages[0], QStringLiteral("CQ TEST"));
        QCOMPARE(rig->keyer.keyingLine(), KeyingLineChoice::Dtr);
        QCOMPARE(rig->keyer.repeatIntervalMs(), 1000);
        QVERIFY(!rig->keyer.saveSettingsFile(folder.path()));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("CW.txt"))));
        rig->keyer.loadSettingsFile(folder.path());
        QCOMPARE(rig->keyer.settings().messages[0], QStringLiteral("CQ TEST"));
    }
};

QTEST_GUILESS_MAIN(TestCwKeyer)
#include "tst_cwkeyer.moc"
