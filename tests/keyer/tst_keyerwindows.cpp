// CW keying through the windows: function keys, keyboard CW, Esc and the repeat on the
// main window, "!" logging the contact, the close refusal, the CW window's typing rules
// and buttons, the message list, code practice and the serial-port window.
#include "KeyerRig.h"
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "app/EntryPanel.h"
#include "app/MainWindowKeyer.h"
#include "keyer/CodePractice.h"
#include "keyer/windows/CodePracticeWindow.h"
#include "keyer/windows/CwKeyerWindow.h"
#include "keyer/windows/CwStringsWindow.h"
#include "ui/SerialPortsWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr qint64 kUnit = 60'000'000; // 20 WPM

QByteArray cwFile(const QStringList& messages, int keyingLine) {
    QStringList lines;
    for (int i = 0; i < 9; ++i) {
        lines << QStringLiteral("\"%1\"").arg(messages.value(i));
    }
    lines << QStringLiteral("\"0\"") << QStringLiteral("\"20\"")
          << QStringLiteral("\"%1\"").arg(messages.value(9)) << QStringLiteral("\"%1\"").arg(messages.value(10))
          << QStringLiteral("\"0\"") << QString::number(keyingLine) << QStringLiteral("\"&H378\"")
          << QStringLiteral("0") << QStringLiteral("\"0\"");
    return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
}
} // namespace

class TestKeyerWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<KeyerRig> rig;
    EntryPanel* e = nullptr;

    // A started main window keying the parallel port (recorded) at 20 WPM.
    void start(const QStringList& messages = {QStringLiteral("CQ $ TEST"), QStringLiteral("$ *"),
                                              QStringLiteral("TU !")}) {
        f = std::make_unique<MainWindowFixture>();
        rig = std::make_unique<KeyerRig>(f->prompts);
        QFile file(f->workingFile(QStringLiteral("CW.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cwFile(messages, 3));
        file.close();
        f->window().attachKeyer(rig->keyer, rig->map);
        f->startUp();
        e = &f->window().entry();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        e->focusCall();
    }
    KeyerWiring& wiring() { return *f->window().keyerWiring(); }
    QString keyed() const { return KeyerRig::decode(rig->outputs.parallel, kUnit); }
    static void leave(QWidget* field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    }

private Q_SLOTS:
    void cleanup() {
        f.reset();
        rig.reset();
    }

    void functionKeysSendFromTheMainWindow() {
        start();
        QVERIFY(f->window().action(QStringLiteral("mnuCwSetup"))->isEnabled());
        typeKeys(e->txtCall, QStringLiteral("k1abc"));
        key(Qt::Key_F1);
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("CQ K1ABC TEST"));
        rig->outputs.parallel.clear();
        e->txtRSTS->setText(QStringLiteral("599"));
        key(Qt::Key_F2);
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("K1ABC 5NN"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("K1ABC")); // keys never reach the field
        key(Qt::Key_Up);
        QCOMPARE(e->lblDialog->text(), QStringLiteral("21 WPM"));
    }

    void cleanedCallGoesIntoTheMessage() {
        start();
        e->txtCall->setFocus();
        e->txtCall->insert(QStringLiteral("W1\"AW")); // pasted with a double quote
        QCOMPARE(e->txtCall->text(), QStringLiteral("W1AW"));
        key(Qt::Key_F2);
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("W1AW 5NN"));
    }

    void escapeStopsARepeatingCall() {
        start({QStringLiteral("E")});
        rig->keyer.applyRepeatText(QStringLiteral("5"));
        key(Qt::Key_F1);
        QVERIFY(rig->runOut());
        QVERIFY(rig->keyer.repeatTimer()->isActive());
        e->txtName->setText(QStringLiteral("BOB"));
        key(Qt::Key_Escape);
        QVERIFY(!rig->keyer.repeatTimer()->isActive());
        QVERIFY(!rig->keyer.repeatArmed());
        QVERIFY(e->txtName->text().isEmpty()); // idle: Esc also clears the entry row
    }

    // Ctrl pressed alone, or with a window shortcut (Ctrl+W), leaves a calling loop going.
    void ctrlKeepsACallingLoop() {
        start({QStringLiteral("E")});
        rig->keyer.applyRepeatText(QStringLiteral("5"));
        key(Qt::Key_F1);
        QVERIFY(rig->runOut());
        QVERIFY(rig->keyer.repeatTimer()->isActive());
        QTest::keyPress(QApplication::focusWidget(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control, Qt::NoModifier);
        QTest::keyPress(QApplication::focusWidget(), Qt::Key_Control, Qt::NoModifier);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control, Qt::NoModifier);
        QVERIFY(rig->keyer.repeatArmed());
        key(Qt::Key_W, Qt::ControlModifier);
        QVERIFY(rig->keyer.repeatArmed());
        QVERIFY(rig->keyer.repeatTimer()->isActive());
        f->window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        e->focusCall();
        key(Qt::Key_A); // any other key ends it
        QVERIFY(!rig->keyer.repeatArmed());
    }

    // While keyboard CW is on, the status line keeps its pale yellow under every text:
    // the speed after an arrow key, what remains to be sent, an entry message.
    void keyboardCwColourStays() {
        start({QStringLiteral("CQ CQ TEST")});
        rig->keyer.setDisplay(true);
        const QColor yellow(255, 255, 192);
        const auto colour = [&] { return e->lblDialog->palette().color(QPalette::Window); };
        key(Qt::Key_F12);
        QCOMPARE(colour(), yellow);
        key(Qt::Key_Up);
        QCOMPARE(e->lblDialog->text(), QStringLiteral("21 WPM"));
        QCOMPARE(colour(), yellow);
        key(Qt::Key_Down);
        key(Qt::Key_F1);
        rig->advanceMs(50);
        QVERIFY(e->lblDialog->text().startsWith(QStringLiteral("Q CQ")));
        QCOMPARE(colour(), yellow);
        QVERIFY(rig->runOut());
        QCOMPARE(e->lblDialog->text(), QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit."));
        QCOMPARE(colour(), yellow);
        key(Qt::Key_F12);
        QCOMPARE(colour(), QColor(0, 192, 192));
        key(Qt::Key_Up);
        QCOMPARE(colour(), QColor(0, 192, 192));
    }

    void keyboardCw() {
        start();
        key(Qt::Key_F12);
        QVERIFY(f->window().keyboardCwMode());
        QCOMPARE(e->lblDialog->text(),
                 QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode."));
        QCOMPARE(e->lblDialog->palette().color(QPalette::Window), QColor(255, 255, 192));
        QTest::keyClicks(e->txtCall, QStringLiteral("test"));
        QTRY_COMPARE(rig->started() + rig->buffer.text(), QStringLiteral("TEST"));
        key(Qt::Key_Backspace); // the last unsent character goes
        key(Qt::Key_Return);    // Enter is for the keyer too: no contact is logged
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("TES"));
        QVERIFY(e->txtCall->text().isEmpty());
        QCOMPARE(f->window().contactLog().count(), 0);
        // Esc while sending empties the buffer and keeps the entry.
        e->txtName->setText(QStringLiteral("BOB"));
        QTest::keyClicks(e->txtCall, QStringLiteral("cq cq"));
        key(Qt::Key_Escape);
        QVERIFY(rig->buffer.isEmpty());
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB"));
        QVERIFY(rig->runOut());
        key(Qt::Key_F12);
        QVERIFY(!f->window().keyboardCwMode());
        QVERIFY(e->lblDialog->text().isEmpty());
        QTest::keyClicks(e->txtCall, QStringLiteral("k1"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("K1"));
    }

    void logCharacterEntersTheContact() {
        start();
        typeKeys(e->txtCall, QStringLiteral("W1AW599ct hiram 1 599"));
        key(Qt::Key_F3);
        QVERIFY(rig->runOut());
        QCOMPARE(f->window().contactLog().count(), 1);
        QVERIFY(f->logFileContent().startsWith("\"W1AW\""));
        QCOMPARE(rig->started(), QStringLiteral("TU "));
    }

    void closingWaitsForTheCharacter() {
        start();
        key(Qt::Key_F1);
        rig->advanceMs(100);
        QVERIFY(!f->window().close());
        QVERIFY(f->window().isVisible());
        QVERIFY(rig->buffer.isEmpty());
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("C"));
        QVERIFY(!rig->outputs.parallel.isDown());
        QVERIFY(f->window().close());
    }

    void windowsOpenFromShortcutsAndMenus() {
        start();
        key(Qt::Key_W, Qt::ControlModifier);
        QVERIFY(wiring().stringsWindow().isVisible());
        QCOMPARE(wiring().stringsWindow().texts[0]->text(), QStringLiteral("CQ $ TEST"));
        f->window().activateWindow();
        e->focusCall();
        key(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(wiring().cwWindow().isVisible());
        QVERIFY(e->txtCall->text().isEmpty()); // the shortcut's character is swallowed
        wiring().cwWindow().hide();
        f->window().action(QStringLiteral("mnuCwSetup"))->trigger();
        QVERIFY(wiring().cwWindow().isVisible());
        f->window().action(QStringLiteral("mnuSerialPorts"))->trigger();
        QVERIFY(wiring().serialPortsWindow().isVisible());
    }

    void stringsWindowSendsWhatIsClicked() {
        QStringList messages(11);
        messages[9] = QStringLiteral("F TEN");
        start(messages);
        CwStringsWindow& strings = wiring().stringsWindow();
        QTest::mouseClick(strings.keys[11], Qt::LeftButton); // F12 does nothing here
        QVERIFY(!rig->keyer.isSending());
        QTest::mouseClick(strings.texts[9], Qt::LeftButton);
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("F TEN"));
        QCOMPARE(strings.texts[11]->text(), QStringLiteral("Keyboard"));
    }

    void cwWindowTypingRules() {
        start();
        CwKeyerWindow& w = wiring().cwWindow();
        wiring().showCwSetup();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.messages[3]->setFocus();
        QTest::keyClicks(w.messages[3], QStringLiteral("cq \"dx\" de"));
        QCOMPARE(w.messages[3]->text(), QStringLiteral("CQ DX DE"));
        QCOMPARE(rig->keyer.settings().messages[3], QStringLiteral("CQ DX DE"));
        w.Text10->setFocus();
        w.Text10->clear();
        QTest::keyClicks(w.Text10, QStringLiteral("1x2"));
        QCOMPARE(w.Text10->text(), QStringLiteral("12"));
        leave(w.Text10);
        w.txtSpace->setFocus();
        w.txtSpace->clear();
        QTest::keyClicks(w.txtSpace, QStringLiteral("-9"));
        QCOMPARE(w.txtSpace->text(), QStringLiteral("-8"));
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdLess")), Qt::LeftButton);
        QCOMPARE(w.txtSpace->text(), QStringLiteral("-8"));
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdMore")), Qt::LeftButton);
        QCOMPARE(w.txtSpace->text(), QStringLiteral("-7"));
        w.Text11->setFocus();
        w.Text11->clear();
        leave(w.Text11); // leaving an empty speed makes it 0
        QCOMPARE(w.Text11->text(), QStringLiteral("0"));
        QTest::keyClicks(w.txtCWLoop, QStringLiteral("60"));
        leave(w.txtCWLoop);
        QCOMPARE(w.txtCWLoop->text(), QStringLiteral("0"));
        w.optDTR->click();
        QCOMPARE(rig->keyer.keyingLine(), KeyingLineChoice::Dtr);
        QVERIFY(!w.cmdConfigureWinkey->isVisible());
        w.optWinKey->click();
        QVERIFY(w.cmdConfigureWinkey->isVisible());
        // Loop timing calibrates once, then keeps the stored count.
        QVERIFY(!w.txtLoop->isEnabled());
        w.optLoop->click();
        QVERIFY(w.txtLoop->isEnabled());
        QTRY_VERIFY(w.txtLoop->text().toLongLong() > 0);
        const qint64 calibrated = w.txtLoop->text().toLongLong();
        QTest::mouseClick(w.cmdLoopFaster, Qt::LeftButton);
        QCOMPARE(w.txtLoop->text().toLongLong(), qint64(std::llround(calibrated * 0.9)));
        w.optTimer->click();
        w.optLoop->click();
        QCOMPARE(w.txtLoop->text().toLongLong(), qint64(std::llround(calibrated * 0.9)));

        QTest::mouseClick(w.cmdDone, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        const CwSettings saved = readCwSettings(readWholeFile(f->workingFile(QStringLiteral("CW.txt"))).value());
        QCOMPARE(saved.messages[3], QStringLiteral("CQ DX DE"));
        QCOMPARE(saved.portText, QStringLiteral("12"));
        QCOMPARE(saved.keyingLine, KeyingLineChoice::WinKey);
        QCOMPARE(rig->settings.value(QStringLiteral("UserCWSelection")), QStringLiteral("Loop"));
        QVERIFY(wiring().stringsWindow().isVisible()); // shown minimized once a line is set
    }

    // The operator's 5 s calling loop, then "0" typed in the repeat field: the loop ends
    // after the message being sent. The Serial field left unchanged leaves its port alone.
    void cwWindowRepeatAndPortFields() {
        start({QStringLiteral("CQ TEST")});
        CwKeyerWindow& w = wiring().cwWindow();
        wiring().showCwSetup();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtCWLoop->setFocus();
        w.txtCWLoop->selectAll();
        QTest::keyClicks(w.txtCWLoop, QStringLiteral("5"));
        leave(w.txtCWLoop);
        QCOMPARE(rig->keyer.repeatIntervalMs(), 5000);
        rig->keyer.FKeyCW(112);
        rig->advanceMs(200);
        QVERIFY(rig->keyer.repeatArmed());
        w.txtCWLoop->setFocus();
        w.txtCWLoop->selectAll();
        QTest::keyClicks(w.txtCWLoop, QStringLiteral("0"));
        QVERIFY(!rig->keyer.repeatArmed());
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("CQ TEST"));
        QVERIFY(!rig->keyer.repeatTimer()->isActive());

        PseudoTerminal device;
        rig->map.setMappedPath(3, device.devicePath());
        w.optRTS->click();
        w.Text10->setFocus();
        w.Text10->selectAll();
        QTest::keyClicks(w.Text10, QStringLiteral("3"));
        leave(w.Text10);
        QVERIFY(rig->keyer.keyingPortOpen());
        QCOMPARE(rig->outputs.attaches, 1);
        w.Text10->setFocus();
        leave(w.Text10);
        leave(w.Text10);
        QCOMPARE(rig->outputs.attaches, 1);
        QCOMPARE(rig->outputs.detaches, 0);
    }

    void testButton() {
        start({QString(), QString(), QString(), QString(), QString(), QString(), QString(),
               QString(), QStringLiteral("VVV")});
        CwKeyerWindow& w = wiring().cwWindow();
        wiring().showCwSetup();
        QTest::mouseClick(w.cmdTest, Qt::LeftButton);
        QVERIFY(w.lblSending->isVisible());
        QVERIFY(rig->runOut());
        QVERIFY(!w.lblSending->isVisible());
        QCOMPARE(keyed(), QStringLiteral("VVV"));
        // A serial line without a port is refused with its message.
        w.optRTS->click();
        QTest::mouseClick(w.cmdTest, Qt::LeftButton);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).last().title,
                 QStringLiteral("A com port is required."));
        QVERIFY(!rig->keyer.isSending());
    }

    void codePracticeGroups() {
        QRandomGenerator random(7);
        const QString text = randomGroups(10, 5, true, random);
        QCOMPARE(text.size(), 60);
        QVERIFY(text.endsWith(QLatin1Char(' ')));
        QCOMPARE(text.count(QLatin1Char(' ')), 10);
        for (const QChar c : text) {
            QVERIFY(c == QLatin1Char(' ') || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')));
        }
        const QString all = randomGroups(400, 5, false, random);
        for (const QChar c : QStringLiteral(".,?/-0")) {
            QVERIFY(all.contains(c));
        }
        QVERIFY(randomGroups(0, 5, false, random).isEmpty());
        QCOMPARE(randomGroups(3, 0, false, random), QStringLiteral("   "));
    }

    void codePracticeWindowSends() {
        start();
        wiring().showCodePractice();
        CodePracticeWindow* p = wiring().codePracticeWindow();
        QVERIFY(p != nullptr);
        p->Text3->setText(QStringLiteral("x"));
        QTest::mouseClick(p->cmdGenerate, Qt::LeftButton);
        QCOMPARE(p->Text3->text(), QStringLiteral("10"));
        QCOMPARE(p->Text1->toPlainText().size(), 60);
        p->Text1->setPlainText(QStringLiteral("PARIS"));
        QTest::mouseClick(p->cmdSend, Qt::LeftButton);
        rig->advanceMs(700); // P and part of A
        p->Text1->setPlainText(QStringLiteral("PAX")); // edits count from the current position
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("PAX"));
        QCOMPARE(p->Text2->toPlainText(), QStringLiteral("PAX"));
        // Stop ends after the character being keyed; Send starts again from the first.
        p->Text1->setPlainText(QStringLiteral("TEST"));
        rig->outputs.parallel.clear();
        QTest::mouseClick(p->cmdSend, Qt::LeftButton);
        rig->advanceMs(100);
        QTest::mouseClick(p->cmdStop, Qt::LeftButton);
        QVERIFY(rig->runOut());
        QCOMPARE(keyed(), QStringLiteral("T"));
        // Live typing: upper case, Backspace takes back the unsent one.
        p->Text5->setFocus();
        QTest::keyClicks(p->Text5, QStringLiteral("ab"));
        key(Qt::Key_Backspace);
        QVERIFY(p->Text5->text().isEmpty());
        QVERIFY(rig->runOut());
        QVERIFY2(p->Text2->toPlainText().endsWith(QLatin1String("TA")), qPrintable(p->Text2->toPlainText()));
        p->close();
        QTRY_VERIFY(wiring().codePracticeWindow() == nullptr);
    }

    void serialPortsWindowMapsNumbers() {
        start();
        SerialPortsWindow window(rig->map, f->screen, f->prompts, [] {
            return QList<SerialDeviceInfo>{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R")},
                                           {QStringLiteral("/dev/ttyACM0"), QString()}};
        });
        QCOMPARE(window.ports[0]->currentText(), QStringLiteral("/dev/ttyS0 - default"));
        QVERIFY(window.lblDevices->text().contains(QStringLiteral("/dev/ttyUSB0 - FT232R")));
        window.ports[2]->setCurrentIndex(1);
        window.ports[4]->setEditText(QStringLiteral("/dev/pts/9"));
        window.cmdDone_Click();
        QCOMPARE(rig->map.devicePath(3), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(rig->map.devicePath(5), QStringLiteral("/dev/pts/9"));
        QCOMPARE(rig->map.devicePath(1), QStringLiteral("/dev/ttyS0"));
        window.refresh();
        QCOMPARE(window.ports[2]->currentText(), QStringLiteral("/dev/ttyUSB0 - FT232R"));
        QCOMPARE(window.ports[4]->currentText(), QStringLiteral("/dev/pts/9"));
        window.ports[2]->setCurrentIndex(0);
        window.cmdDone_Click();
        QCOMPARE(rig->map.mappedPath(3), QString());
    }
};

QTEST_MAIN(TestKeyerWindows)
#include "tst_keyerwindows.moc"
