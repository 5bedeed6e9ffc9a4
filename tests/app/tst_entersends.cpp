// Enter sends message through the main window: run mode (CQ, the call and exchange, the
// thank-you that logs) and search-and-pounce, on the parallel port, the RTS and DTR
// lines of a serial port, the WinKeyer and the voice keyer, logging by the message's
// "!" or right after it, the status line before Enter, and the keys set in the CW window.
#include "KeyerRig.h"
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "WinKeyerEmulator.h"
#include "app/AssistDesk.h"
#include "app/EntryPanel.h"
#include "app/MainWindowKeyer.h"
#include "keyer/WinKeyerLink.h"
#include "keyer/windows/CwKeyerWindow.h"
#include "keyer/windows/MessageKeysPanel.h"
#include "platform/WinKeyer.h"
#include "voice/VoiceControl.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr qint64 kUnit = 60'000'000; // 20 WPM
constexpr int kSerialPort = 3;
constexpr int kWinKeyPort = 6;

// "CW.txt" with the messages of F1 ... F5 and the keying line's byte.
QByteArray cwFile(const QStringList& messages, int keyingLine) {
    QStringList lines;
    for (int i = 0; i < 9; ++i) {
        lines << QStringLiteral("\"%1\"").arg(messages.value(i));
    }
    lines << QStringLiteral("\"%1\"").arg(kSerialPort) << QStringLiteral("\"20\"") << QStringLiteral("\"\"")
          << QStringLiteral("\"\"") << QStringLiteral("\"0\"") << QString::number(keyingLine)
          << QStringLiteral("\"&H378\"") << QStringLiteral("0") << QStringLiteral("\"0\"");
    return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
}

class RecordingVoice final : public VoiceControl {
public:
    void FKeyPhone(int keyCode) override { keys.append(keyCode); }
    void BlindKeyPhone(const QString&) override {}
    bool isPlaying() const override { return false; }
    void afterPrompt(QObject*, std::function<void()> done) override { done(); }
    QList<int> keys;
};
} // namespace

class TestEnterSends : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<KeyerRig> rig;
    std::unique_ptr<PseudoTerminal> device;
    std::unique_ptr<WinKeyerEmulator> emulator;
    std::unique_ptr<QtSerialPort> wkPort;
    std::unique_ptr<HostWinKeyer> wk;
    std::unique_ptr<WinKeyerLink> link;
    EntryPanel* e = nullptr;
    int m_line = 3;

    // A started main window with Enter sends message on, keying the given line
    // (1 RTS, 2 DTR, 3 parallel, 5 WinKeyer, 0 none) with these messages.
    void start(int keyingLine, const QStringList& messages, const QByteArray& log = {}) {
        m_line = keyingLine;
        f = std::make_unique<MainWindowFixture>(log);
        rig = std::make_unique<KeyerRig>(f->prompts);
        writeCw(cwFile(messages, keyingLine));
        if (keyingLine == 1 || keyingLine == 2) {
            device = std::make_unique<PseudoTerminal>();
            rig->map.setMappedPath(kSerialPort, device->devicePath());
        }
        f->window().attachKeyer(rig->keyer, rig->map);
        if (keyingLine == 5) {
            emulator = std::make_unique<WinKeyerEmulator>();
            rig->map.setMappedPath(kWinKeyPort, emulator->devicePath());
            wkPort = std::make_unique<QtSerialPort>(rig->map);
            wk = std::make_unique<HostWinKeyer>(*wkPort, HostWinKeyer::Timing{60, 800, 100});
            link = std::make_unique<WinKeyerLink>(*wk, rig->keyer, rig->owners, f->prompts, rig->dir.path());
            link->settings().comPort = kWinKeyPort;
            f->window().keyerWiring()->attachWinKeyer(*link);
            link->settings().comPort = kWinKeyPort;
        }
        f->settings().setValue(QLatin1String(AssistDesk::kEnterSendsMessageKey), QStringLiteral("1"));
        f->startUp();
        e = &f->window().entry();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        e->focusCall();
    }
    void writeCw(const QByteArray& bytes) {
        QFile file(f->workingFile(QStringLiteral("CW.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // What was keyed since the last call, once the keyer is done.
    QString keyed() {
        if (m_line == 5) {
            // The keyer's time runs until what it keyed has not changed for a while.
            QString last;
            int quiet = 0;
            for (int t = 0; t < 60000 && quiet < 1000; t += 20) {
                emulator->advanceMs(20);
                QTest::qWait(2);
                const bool idle = emulator->buffer.isEmpty() && rig->buffer.isEmpty();
                quiet = emulator->keyed == last && idle && !last.isEmpty() ? quiet + 20 : 0;
                last = emulator->keyed;
            }
            // The link hands the keyer the "!" too, which has no Morse and keys nothing.
            return std::exchange(emulator->keyed, QString()).remove(QLatin1Char('!')).trimmed();
        }
        if (m_line == 0) {
            return {};
        }
        if (rig->keyer.isSending()) {
            if (!rig->runOut()) {
                return QStringLiteral("<did not end>");
            }
        }
        RecordingKeyingLine& line = m_line == 3 ? rig->outputs.parallel : rig->outputs.serial;
        const QString text = KeyerRig::decode(line, kUnit);
        line.clear();
        return text;
    }
    QString next() const { return f->window().findChild<QLabel*>(QStringLiteral("lblNextAction"))->text(); }
    void enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    int logged() { return f->window().contactLog().count(); }
    // The exchange received, typed from wherever Enter left the focus.
    void typeExchange(const QString& spc, const QString& name, const QString& number) {
        QCOMPARE(QApplication::focusWidget(), e->txtCntry);
        typeKeys(e->txtCntry, spc + QLatin1Char(' ') + name + QLatin1Char(' ') + number);
    }

private Q_SLOTS:
    void cleanup() {
        f.reset(); // the window refers to the keyers: it goes first
        link.reset();
        wk.reset();
        wkPort.reset();
        emulator.reset();
        device.reset();
        rig.reset();
    }

    void runModeWithEnterAlone_data() {
        QTest::addColumn<int>("keyingLine");
        QTest::addColumn<QString>("thankYou");
        QTest::newRow("parallel, TU !") << 3 << "TU !";
        QTest::newRow("parallel, TU") << 3 << "TU";
        QTest::newRow("RTS, TU !") << 1 << "TU !";
        QTest::newRow("DTR, TU") << 2 << "TU";
        QTest::newRow("WinKeyer, TU !") << 5 << "TU !";
        QTest::newRow("WinKeyer, TU") << 5 << "TU";
    }
    void runModeWithEnterAlone() {
        QFETCH(int, keyingLine);
        QFETCH(QString, thankYou);
        start(keyingLine, {QStringLiteral("CQ TEST"), QStringLiteral("* ED 5"), thankYou,
                           QStringLiteral("W9XYZ"), QStringLiteral("$")});
        QVERIFY(f->window().statusBar()->isVisible());
        const bool byCharacter = thankYou.contains(QLatin1Char('!'));
        const QStringList calls{QStringLiteral("K1ABC"), QStringLiteral("W1AW"), QStringLiteral("N2XY")};
        for (int i = 0; i < calls.size(); ++i) {
            QCOMPARE(next(), QStringLiteral("Enter: CQ (F1)"));
            enter();
            QCOMPARE(keyed(), QStringLiteral("CQ TEST"));
            typeKeys(e->txtCall, calls[i].toLower());
            QCOMPARE(next(), QStringLiteral("Enter: %1 and exchange (F5 F2)").arg(calls[i]));
            enter();
            QCOMPARE(keyed(), calls[i] + QStringLiteral(" 5NN ED 5"));
            QCOMPARE(e->txtRSTR->text(), QStringLiteral("599")); // the call field was left
            typeExchange(QStringLiteral("ma"), QStringLiteral("bob"), QString::number(1000 + i));
            QCOMPARE(next(), QStringLiteral("Enter: TU and log (F3)"));
            enter();
            // Without "!" the contact is logged as the message goes; with it, where the
            // keyer reaches the "!" (the WinKeyer's before it sends).
            QCOMPARE(logged(), byCharacter && keyingLine != 5 ? i : i + 1);
            QCOMPARE(keyed(), QStringLiteral("TU"));
            QCOMPARE(logged(), i + 1);
            QCOMPARE(f->window().contactLog().record(i + 1).call, calls[i]);
            QCOMPARE(f->window().contactLog().record(i + 1).exchange, QString::number(1000 + i));
            QVERIFY(e->txtCall->text().isEmpty() && e->txtCall->hasFocus());
        }
    }

    void searchAndPounce() {
        start(3, {QStringLiteral("CQ TEST"), QStringLiteral("* ED 5"), QStringLiteral("TU"),
                  QStringLiteral("W9XYZ"), QStringLiteral("$")});
        f->window().action(QStringLiteral("mnuRunMode"))->trigger();
        QVERIFY(!f->window().assist().runMode());
        QCOMPARE(f->settings().value(QLatin1String(AssistDesk::kRunModeKey)), QStringLiteral("0"));
        typeKeys(e->txtCall, QStringLiteral("k1abc"));
        QCOMPARE(next(), QStringLiteral("Enter: my call (F4)"));
        enter();
        QCOMPARE(keyed(), QStringLiteral("W9XYZ"));
        typeExchange(QStringLiteral("ct"), QStringLiteral("al"), QStringLiteral("77"));
        QCOMPARE(next(), QStringLiteral("Enter: exchange and log (F2)"));
        enter();
        QCOMPARE(logged(), 1);
        QCOMPARE(keyed(), QStringLiteral("5NN ED 5"));
        // An empty call in search and pounce: Enter is Enter.
        enter();
        QCOMPARE(keyed(), QString());
        QCOMPARE(e->lblDialog->text(), QStringLiteral("Need Report Sent!"));
    }

    void exchangeBeginningWithTheCallSendsItOnce() {
        start(3, {QStringLiteral("CQ"), QStringLiteral("$ 5NN ED 5!"), QStringLiteral("TU"), QString(),
                  QStringLiteral("$")});
        typeKeys(e->txtCall, QStringLiteral("w1aw"));
        QCOMPARE(next(), QStringLiteral("Enter: exchange (F2)"));
        enter();
        QCOMPARE(keyed(), QStringLiteral("W1AW 5NN ED 5")); // its "!" does not log a half contact
        QCOMPARE(logged(), 0);
        QVERIFY(e->lblDialog->text().isEmpty());
    }

    void duplicatesAndBadSectionsAreNotWorked() {
        start(3, {QStringLiteral("CQ"), QStringLiteral("* ED 5"), QStringLiteral("TU")},
              QByteArrayLiteral("\"K1ABC\",\"579\",\"1234\",\"599\",\"MA\",\"2026/12/08\",\"14:00:00\","
                                "\"BOB\",\"160\",5,\"\"\r\n"));
        typeKeys(e->txtCall, QStringLiteral("k1abc"));
        QCOMPARE(next(), QStringLiteral("Enter: duplicate"));
        enter();
        QCOMPARE(keyed(), QString());
        QVERIFY(e->lblDialog->text().startsWith(QLatin1String("Duplicate K1ABC")));
        QVERIFY(e->txtCall->text().isEmpty());
        f->clock.advanceSeconds(4); // the duplicate hold ends
        QTRY_VERIFY(!e->duplicateFlagged());
        typeKeys(e->txtCall, QStringLiteral("w1aw"));
        enter();
        QCOMPARE(keyed(), QStringLiteral("5NN ED 5")); // his call has no message here
        typeExchange(QStringLiteral("xx"), QStringLiteral("al"), QStringLiteral("7"));
        QCOMPARE(next(), QStringLiteral("Enter: log"));
        enter();
        QCOMPARE(keyed(), QString());
        QCOMPARE(e->lblDialog->text(), QStringLiteral("Invald Section!"));
        QCOMPARE(logged(), 1);
    }

    void noKeyingLineStillLogs() {
        start(0, {QStringLiteral("CQ"), QStringLiteral("* ED 5"), QStringLiteral("TU !")});
        typeKeys(e->txtCall, QStringLiteral("w1aw"));
        enter();
        typeExchange(QStringLiteral("ct"), QStringLiteral("al"), QStringLiteral("7"));
        enter();
        QCOMPARE(logged(), 1);
    }

    void phoneUsesTheVoiceKeyer() {
        start(3, {QStringLiteral("CQ")});
        RecordingVoice voice;
        f->window().setVoice(voice);
        const auto silent = qScopeGuard([this] { f->window().detachVoice(); });
        f->window().action(QStringLiteral("mnuSSB"))->trigger();
        e->focusCall();
        enter();
        typeKeys(e->txtCall, QStringLiteral("k1abc"));
        QCOMPARE(next(), QStringLiteral("Enter: exchange (F2)")); // a call cannot be played
        enter();
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("55"));
        typeExchange(QStringLiteral("ma"), QStringLiteral("bob"), QStringLiteral("12"));
        enter();
        QCOMPARE(voice.keys, QList<int>({112, 113, 114}));
        QCOMPARE(logged(), 1);
        QCOMPARE(keyed(), QString()); // nothing on the CW line
    }

    void keysAreSetInTheCwWindow() {
        start(3, {QStringLiteral("CQ"), QString(), QString(), QString(), QString(), QStringLiteral("CQ CQ SS")});
        KeyerWiring& wiring = *f->window().keyerWiring();
        wiring.showCwSetup();
        MessageKeysPanel& keys = *wiring.cwWindow().messageKeys;
        QStringList names;
        for (const MessageRole role : {MessageRole::Cq, MessageRole::Exchange, MessageRole::ThankYou,
                                       MessageRole::MyCall, MessageRole::HisCall}) {
            names << keys.combo(role)->accessibleName() + QLatin1Char('=') + keys.combo(role)->currentText();
        }
        QCOMPARE(names, QStringList({"CQ key=F1", "Exchange key=F2", "Thank you key=F3", "My call key=F4",
                                     "His call key=F5"}));
        keys.combo(MessageRole::Cq)->setCurrentText(QStringLiteral("F6"));
        QCOMPARE(rig->settings.value(QStringLiteral("EsmKeyCq")), QStringLiteral("F6")); // the keyer's store
        QTest::mouseClick(wiring.cwWindow().cmdDone, Qt::LeftButton);
        QTRY_COMPARE(next(), QStringLiteral("Enter: CQ (F6)")); // shown when the window is back
        e->focusCall();
        enter();
        QCOMPARE(keyed(), QStringLiteral("CQ CQ SS"));
        // CW.txt keeps its 18 lines.
        QFile cw(f->workingFile(QStringLiteral("CW.txt")));
        QVERIFY(cw.open(QIODevice::ReadOnly));
        QCOMPARE(cw.readAll().count("\r\n"), 18);
    }
};

QTEST_MAIN(TestEnterSends)
#include "tst_entersends.moc"
