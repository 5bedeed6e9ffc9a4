// The voice through the main window and its two windows, on recording devices: prompts
// shipped and wave2.txt read at start, phone keys, the navigation levels, "Dupe" and
// the keys typed while it plays, PhoneFrm's fields and buttons, and the speech for what
// changes.
#include "KeyingDoubles.h"
#include "MainWindowFixture.h"
#include "VoiceDoubles.h"

#include "app/EntryPanel.h"
#include "log/RecordFile.h"
#include "platform/PortOwnership.h"
#include "voice/PhoneKeyer.h"
#include "voice/VoicePrompts.h"
#include "voice/windows/BlindWindow.h"
#include "voice/windows/PhoneWindow.h"
#include "voice/windows/VoiceKeyer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
QByteArray logLine(const QString& call, const QString& band) {
    return QByteArray("\"") + call.toLatin1() +
           "\",\"579\",\"1234\",\"599\",\"CT\",\"2026/12/08\",\"14:00:00\",\"BOB\",\"" +
           band.toLatin1() + "\",5,\"\"\r\n";
}
} // namespace

class TestVoiceWindows : public QObject {
    Q_OBJECT

    RecordingWavePlayer phonePlayer;
    RecordingWavePlayer promptPlayer;
    RecordingSpeech speech;
    RecordingSerialPort port;
    RecordingParallelPort parallel;
    PortOwnership ownership;
    FixedAudioOutputs outputs;
    // After the devices, so that the window goes first.
    std::unique_ptr<MainWindowFixture> f;
    EntryPanel* e = nullptr;

    void start(const QByteArray& log = QByteArray(), const QByteArray& waveList = QByteArray()) {
        f = std::make_unique<MainWindowFixture>(log);
        if (!waveList.isEmpty()) {
            writeFileAtomically(f->workingFile(QStringLiteral("wave2.txt")), waveList);
        }
        f->window().attachVoice({phonePlayer, promptPlayer, speech, port, parallel, ownership, outputs});
        f->startUp();
        e = &f->window().entry();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        e->focusCall();
        promptPlayer.endPlayback();
        promptPlayer.clearLog();
    }
    // The offscreen platform gives the activation back to no window when a dialog hides.
    void activateMain() {
        QApplication::setActiveWindow(&f->window());
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        QTRY_VERIFY(f->window().isActiveWindow());
    }
    VoiceKeyer& voice() { return *f->window().voiceKeyer(); }
    void type(const QString& text) { typeKeys(e->txtCall, text); }
    BlindWindow* openNavigation() {
        f->window().action(QStringLiteral("mnuVoiceNavigation"))->trigger();
        BlindWindow* w = voice().blindWindow();
        return QTest::qWaitForWindowExposed(w) ? w : nullptr;
    }
    void chooseNavigation(QRadioButton* BlindWindow::*option, bool speak = false) {
        BlindWindow* w = openNavigation();
        QVERIFY(w != nullptr);
        (w->*option)->click();
        w->chkSpeech->setChecked(speak);
        QTest::mouseClick(w->cmdDone, Qt::LeftButton);
        promptPlayer.endPlayback();
        promptPlayer.endPlayback();
        activateMain();
        e->focusCall();
        promptPlayer.endPlayback();
        promptPlayer.clearLog();
    }

private Q_SLOTS:
    void cleanup() {
        f.reset();
        for (RecordingWavePlayer* p : {&phonePlayer, &promptPlayer}) {
            p->close();
            p->clearLog();
        }
        speech.texts.clear();
        speech.outputDevice.clear();
        port.events.clear();
        port.setOpenFails(false);
        outputs.present.clear();
        outputs.asked = 0;
        for (RecordingWavePlayer* p : {&phonePlayer, &promptPlayer}) {
            p->setOutputDevice({});
        }
    }

    void promptsShipAndTheWaveListIsRead() {
        start({}, "\"/op/cq.wav\"\r\n" + QByteArray("\"\"\r\n").repeated(8) +
                      "\"3\"\r\n1\r\n\"12\"\r\n\"&H278\"\r\n");
        for (const QString& name : VoicePrompts::promptNames()) {
            QVERIFY2(QFile::exists(f->workingFile(name + ".wav")), qPrintable(name));
        }
        const PhoneSettings& s = voice().keyer().settings();
        QCOMPARE(s.files[0], QStringLiteral("/op/cq.wav"));
        QCOMPARE(s.pttPort, QStringLiteral("3"));
        QCOMPARE(s.pttLine, PhonePttLine::Dtr);
        QCOMPARE(voice().keyer().repeatIntervalMs(), 12000);
        QVERIFY(f->window().action(QStringLiteral("mnuVoiceSetup"))->isEnabled());
        QVERIFY(f->window().action(QStringLiteral("mnuVoiceNavigation"))->isEnabled());
    }

    void functionKeysPlayInPhoneMode() {
        start();
        QFile wave(f->workingFile("cq.wav"));
        QVERIFY(wave.open(QIODevice::WriteOnly));
        wave.write(testWave());
        wave.close();
        PhoneSettings s;
        s.files[0] = wave.fileName();
        voice().keyer().setSettings(s);
        QTest::keyClick(e->txtCall, Qt::Key_F1); // CW mode: the CW keyer's key
        QVERIFY(phonePlayer.played().isEmpty());
        f->window().mnuSSB_Click();
        e->focusCall();
        QTest::keyClick(e->txtCall, Qt::Key_F1);
        QCOMPARE(phonePlayer.playedNames(), QStringList{"cq"});
        QTest::keyClick(e->txtCall, Qt::Key_F10);
        QTest::keyClick(e->txtCall, Qt::Key_F11);
        QCOMPARE(phonePlayer.played().size(), 1);
        QVERIFY(e->txtCall->text().isEmpty());
    }

    void navigationLevels() {
        start();
        BlindWindow* w = openNavigation();
        QVERIFY(w);
        QVERIFY(w->optOff->isChecked()); // the stored level, shown without a word
        QVERIFY(promptPlayer.played().isEmpty());
        QVERIFY(w->lblFolder->text().startsWith(
            "Put the audio wave files in this program's working directory: "));
        w->optCallOnly->click();
        QCOMPARE(promptPlayer.playedNames(), QStringList{"NavEn"});
        promptPlayer.endPlayback();
        QCOMPARE(promptPlayer.playedNames(), QStringList({"NavEn", "Call"}));
        w->optOff->click();
        QCOMPARE(promptPlayer.playedNames().last(), QStringLiteral("NavDis"));
        w->optCallOnly->click();
        promptPlayer.endPlayback();
        QTest::mouseClick(w->cmdDone, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(f->window().preferences().VoiceNavigation, quint8(1));
        activateMain();
        const auto saved = readWholeFile(f->workingFile("varnpref.txt"));
        QVERIFY(saved && !saved->isEmpty());

        // "Call Only": entering the name field says nothing, the call field "Call".
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        promptPlayer.clearLog();
        e->txtName->setFocus(Qt::TabFocusReason);
        QVERIFY(promptPlayer.played().isEmpty());
        e->txtCall->setFocus(Qt::TabFocusReason);
        QCOMPARE(promptPlayer.playedNames(), QStringList{"Call"});

        chooseNavigation(&BlindWindow::optAllData);
        QCOMPARE(f->window().preferences().VoiceNavigation, quint8(2));
        const QList<std::pair<QLineEdit*, QString>> fields{
            {e->txtRSTR, "RstRcvd"}, {e->txtCntry, "SPC"}, {e->txtName, "Name"},
            {e->txtSec, "Power"},    {e->txtRSTS, "RstSnt"}, {e->txtCall, "Call"}};
        for (const auto& [field, word] : fields) {
            field->setFocus(Qt::TabFocusReason);
            QCOMPARE(promptPlayer.playedNames().last(), word);
        }
    }

    void duplicateSaysDupeWithNavigationOff() {
        start(logLine("K1ABC", "160"));
        type(QStringLiteral("K1ABC "));
        QVERIFY(e->duplicateFlagged());
        QCOMPARE(promptPlayer.playedNames(), QStringList{"Dupe"});
        // Not waited for: the 3 s hold alone.
        type(QStringLiteral("W2"));
        f->clock.advanceMs(3100);
        QTRY_COMPARE(e->txtCall->text(), QStringLiteral("W2"));
    }

    void keysTypedDuringDupeAreKeptInOrder() {
        start(logLine("K1ABC", "160"));
        chooseNavigation(&BlindWindow::optCallOnly);
        type(QStringLiteral("K1ABC\n"));
        QVERIFY(e->duplicateFlagged());
        QCOMPARE(e->lblDialog->text(), QStringLiteral("Duplicate K1ABC 2026/12/08 14:00:00  Rec# 1"));
        QCOMPARE(promptPlayer.playedNames(), QStringList{"Dupe"});
        // The call field's own "Call" waits for the end of "Dupe".
        type(QStringLiteral("w2ab 5"));
        f->clock.advanceMs(5000);
        QTest::qWait(150);
        QVERIFY(e->txtCall->text().isEmpty());
        promptPlayer.endPlayback();
        QCOMPARE(promptPlayer.playedNames().first(), QStringLiteral("Dupe"));
        // The 3 s count from the end of the word.
        QTest::qWait(150);
        QVERIFY(e->txtCall->text().isEmpty());
        f->clock.advanceMs(3100);
        QTRY_COMPARE(e->txtCall->text(), QStringLiteral("W2AB"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("5"));
        QVERIFY(e->txtRSTR->hasFocus());
    }

    void phoneWindowFields() {
        start();
        f->window().action(QStringLiteral("mnuVoiceSetup"))->trigger();
        PhoneWindow* w = voice().phoneWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("Phone Wave Selections"));
        QVERIFY(w->optRTS->isChecked());
        QCOMPARE(w->Text11->text(), QStringLiteral("&H378"));

        QFile wave(f->workingFile("cq.wav"));
        QVERIFY(wave.open(QIODevice::WriteOnly));
        wave.write(testWave());
        wave.close();
        f->prompts.script(wave.fileName());
        QTest::mouseClick(w->cmdBrowse[0], Qt::LeftButton);
        const PromptCall dialog = f->prompts.callsOf("open").last();
        QCOMPARE(dialog.text, QStringLiteral("(*.wav)|*.wav"));
        QCOMPARE(w->Text[0]->text(), wave.fileName());
        QVERIFY(w->cmdDone->hasFocus());
        const int beeps = f->prompts.beeps();
        QTest::mouseClick(w->cmdBrowse[1], Qt::LeftButton); // cancelled
        QCOMPARE(f->prompts.beeps(), beeps + 1);
        QVERIFY(w->Text[1]->text().isEmpty());

        // Typing rules: the address in capitals without quotes, the repeat in digits.
        w->Text11->setFocus();
        w->Text11->selectAll();
        QTest::keyClicks(w->Text11, QStringLiteral("&h2\"78"));
        QCOMPARE(w->Text11->text(), QStringLiteral("&H278"));
        w->txtPHLoop->setFocus();
        w->txtPHLoop->selectAll();
        QTest::keyClicks(w->txtPHLoop, QStringLiteral("7x5"));
        QCOMPARE(w->txtPHLoop->text(), QStringLiteral("75"));
        w->Text10->setFocus(); // leaving: 75 s is refused
        QCOMPARE(w->txtPHLoop->text(), QStringLiteral("0"));
        w->Text10->selectAll();
        QTest::keyClicks(w->Text10, QStringLiteral("x"));
        w->txtPHLoop->setFocus();
        QCOMPARE(w->Text10->text(), QStringLiteral("0"));
        w->txtPHLoop->selectAll();
        QTest::keyClicks(w->txtPHLoop, QStringLiteral("10"));
        w->Text10->setFocus();

        // "Test" plays F1; an armed repeat shows "Stop", which ends it.
        QTest::mouseClick(w->cmdTest, Qt::LeftButton);
        QCOMPARE(phonePlayer.playedNames(), QStringList{"cq"});
        QVERIFY(w->cmdStop->isVisible());
        QVERIFY(w->cmdDone->hasFocus());
        QTest::mouseClick(w->cmdStop, Qt::LeftButton);
        QVERIFY(!w->cmdStop->isVisible());
        QVERIFY(!voice().keyer().repeatArmed());

        w->optParallel->click();
        QTest::mouseClick(w->cmdDone, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        const auto written = readWholeFile(f->workingFile("wave2.txt"));
        QVERIFY(written);
        QCOMPARE(*written, "\"" + QFile::encodeName(wave.fileName()) + "\"\r\n" +
                               QByteArray("\"\"\r\n").repeated(8) +
                               "\"0\"\r\n2\r\n\"10\"\r\n\"&H278\"\r\n\"\"\r\n\"\"\r\n");
    }

    void refusedPortOpensTheWindow() {
        start();
        port.setOpenFails(true);
        QFile wave(f->workingFile("cq.wav"));
        QVERIFY(wave.open(QIODevice::WriteOnly));
        wave.write(testWave());
        wave.close();
        PhoneSettings s;
        s.files[0] = wave.fileName();
        s.pttPort = QStringLiteral("5");
        voice().keyer().setSettings(s);
        voice().FKeyPhone(112);
        QCOMPARE(f->prompts.callsOf("message").last().title, QStringLiteral("Invalid port."));
        QVERIFY(voice().phoneWindow() != nullptr);
        QTRY_VERIFY(voice().phoneWindow()->isVisible());
        // Nothing was played; the status line says why, at every key.
        QVERIFY(phonePlayer.played().isEmpty());
        QCOMPARE(e->lblDialog->text(),
                 QStringLiteral("Push-to-talk could not be keyed: the message was not played."));
        port.setOpenFails(false);
    }

    void outputChoices() {
        outputs.present = {{"radio", "USB Audio CODEC"}, {"phones", "Headset"}};
        start();
        // Nothing asks the sound service while no output is chosen.
        QCOMPARE(outputs.asked, 0);
        f->window().action(QStringLiteral("mnuVoiceSetup"))->trigger();
        PhoneWindow* w = voice().phoneWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const auto items = [](const QComboBox* box) {
            QStringList texts;
            for (int i = 0; i < box->count(); ++i) {
                texts << box->itemText(i);
            }
            return texts;
        };
        const QStringList listed{"Default output", "USB Audio CODEC", "Headset"};
        QCOMPARE(items(w->cboKeyerOutput), listed);
        QCOMPARE(items(w->cboPromptOutput), listed);
        QCOMPARE(w->cboKeyerOutput->accessibleName(), QStringLiteral("Voice keyer output"));
        QCOMPARE(w->cboPromptOutput->accessibleName(), QStringLiteral("Prompts and speech output"));

        // Chosen from the keyboard; each player takes its output at once.
        w->cboKeyerOutput->setFocus();
        QTest::keyClick(w->cboKeyerOutput, Qt::Key_Down);
        QTest::keyClick(w->cboPromptOutput, Qt::Key_Down);
        QTest::keyClick(w->cboPromptOutput, Qt::Key_Down);
        QCOMPARE(phonePlayer.outputDevice(), QByteArrayLiteral("radio"));
        QCOMPARE(promptPlayer.outputDevice(), QByteArrayLiteral("phones"));
        QCOMPARE(speech.outputDevice, QByteArrayLiteral("phones"));
        // A headset plugged in while the window is open joins the list.
        outputs.plug("usb2", QStringLiteral("Second headset"));
        QCOMPARE(w->cboPromptOutput->count(), 4);
        QCOMPARE(w->cboPromptOutput->currentText(), QStringLiteral("Headset"));
        QTest::mouseClick(w->cmdDone, Qt::LeftButton);
        const auto written = readWholeFile(f->workingFile("wave2.txt"));
        QVERIFY(written && written->endsWith("\"&H378\"\r\n\"radio\"\r\n\"phones\"\r\n"));

        // The headset pulled out: the status line says where the prompts go now.
        outputs.unplug("phones");
        QCOMPARE(e->lblDialog->text(), QStringLiteral("Prompts and speech output \"phones\" not found: "
                                                      "the default output is used."));
    }

    void storedOutputMissingAtStart() {
        outputs.present = {{"phones", "Headset"}};
        start({}, QByteArray("\"\"\r\n").repeated(9) +
                      "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n\"usb-radio\"\r\n\"phones\"\r\n");
        QTRY_COMPARE(e->lblDialog->text(), QStringLiteral("Voice keyer output \"usb-radio\" not found: "
                                                          "the default output is used."));
        QCOMPARE(phonePlayer.outputDevice(), QByteArrayLiteral("usb-radio"));
        QCOMPARE(promptPlayer.outputDevice(), QByteArrayLiteral("phones"));
        // The choice is kept, shown as not connected, and "Done" does not lose it.
        f->window().action(QStringLiteral("mnuVoiceSetup"))->trigger();
        PhoneWindow* w = voice().phoneWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->cboKeyerOutput->currentText(), QStringLiteral("Not connected: usb-radio"));
        QCOMPARE(w->cboPromptOutput->currentText(), QStringLiteral("Headset"));
        QTest::mouseClick(w->cmdDone, Qt::LeftButton);
        const auto written = readWholeFile(f->workingFile("wave2.txt"));
        QVERIFY(written && written->endsWith("\"usb-radio\"\r\n\"phones\"\r\n"));
        // Plugged in again: the keyer plays there (its player never let go of the id).
        outputs.plug("usb-radio", QStringLiteral("USB Audio CODEC"));
        QCOMPARE(phonePlayer.outputDevice(), QByteArrayLiteral("usb-radio"));
    }

    void statusLineIsSpokenUnseen() {
        start();
        chooseNavigation(&BlindWindow::optCallOnly, true);
        // A minimised or covered window paints nothing; its status line is still said.
        f->window().hide();
        promptPlayer.endPlayback();
        speech.texts.clear();
        f->window().showStatus(QStringLiteral("You've been spotted! "));
        QTRY_COMPARE(speech.texts, QStringList{"You've been spotted!"});
        // A text replaced before the event is over is not said; the same text again is not
        // a change.
        f->window().showStatus(QStringLiteral("Possible Duplicate!"));
        f->window().showStatus(QStringLiteral("Need Name!"));
        f->window().showStatus(QStringLiteral("Need Name!"));
        QTRY_COMPARE(speech.texts.size(), 2);
        QTest::qWait(50);
        QCOMPARE(speech.texts, QStringList({"You've been spotted!", "Need Name!"}));
    }

    void speechForWhatChanges() {
        start(logLine("K1ABC", "160"));
        type(QStringLiteral("DL1AB"));
        QTest::qWait(50);
        QVERIFY(speech.texts.isEmpty()); // off by default
        e->cmdClear_Click();

        chooseNavigation(&BlindWindow::optCallOnly, true);
        QCOMPARE(f->settings().value(QString::fromLatin1(VoiceKeyer::kSpeechKey)), QStringLiteral("1"));
        type(QStringLiteral("DL1AB"));
        QTRY_VERIFY(!speech.texts.isEmpty());
        QCOMPARE(speech.texts, QStringList{e->txtCntry->text()}); // once, when typing pauses
        e->cmdClear_Click();

        // The duplicate is said after the spoken "Dupe".
        speech.texts.clear();
        type(QStringLiteral("K1ABC "));
        QTest::qWait(100);
        QVERIFY(!speech.texts.contains("Duplicate K 1 A B C. Worked 2026/12/08 at 14:00:00, record 1."));
        promptPlayer.endPlayback(); // "Dupe"
        promptPlayer.endPlayback(); // "Call"
        QTRY_VERIFY(speech.texts.contains("Duplicate K 1 A B C. Worked 2026/12/08 at 14:00:00, record 1."));

        speech.texts.clear();
        QTest::keyClick(e->txtCall, Qt::Key_T, Qt::ControlModifier);
        QTRY_COMPARE(speech.texts.size(), 1);
        QVERIFY(speech.texts.first().startsWith("Score "));
        QTest::keyClick(e->txtCall, Qt::Key_L, Qt::ControlModifier);
        QTRY_COMPARE(speech.texts.size(), 2);
        QCOMPARE(speech.texts.last(),
                 QStringLiteral("Last contact K 1 A B C, 14:00, 160 metres, BOB, 1234, CT."));

        // Navigation off: nothing is said.
        chooseNavigation(&BlindWindow::optOff, true);
        speech.texts.clear();
        QTest::keyClick(e->txtCall, Qt::Key_T, Qt::ControlModifier);
        QTest::qWait(50);
        QVERIFY(speech.texts.isEmpty());
    }
};

QTEST_MAIN(TestVoiceWindows)
#include "tst_voicewindows.moc"
