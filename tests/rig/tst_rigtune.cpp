// The tune panel and the frequency test window in the main window, against a scripted
// Kenwood on a pseudo-terminal: Go, steps, bands, modes, the scan and the key that stops
// it, the boxes' key rules, and the test window's raw and frequency paths.
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "app/EntryPanel.h"
#include "app/MainWindowRig.h"
#include "log/RecordFile.h"
#include "log/StationPreferences.h"
#include "rig/RigFamily.h"
#include "rig/RigSettings.h"
#include "rig/windows/FrequencyTestWindow.h"
#include "rig/windows/RigControlWindow.h"
#include "rig/windows/RigTuneWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 5;
}

class TestRigTune : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<PseudoTerminal> device;
    std::unique_ptr<ScriptedRadio> radio;
    QByteArray rawBytes; // everything the program wrote to the radio

    // The main window with a Kenwood polled at the fast rate (or no radio).
    void start(const QString& rigType = QStringLiteral("Kenwood")) {
        f = std::make_unique<MainWindowFixture>();
        device = std::make_unique<PseudoTerminal>();
        radio = std::make_unique<ScriptedRadio>(*device, ScriptedRadio::Protocol::Kenwood);
        connect(device.get(), &PseudoTerminal::bytesReceived, this, [this](const QByteArray& b) { rawBytes += b; });
        f->window().rig().portMap().setMappedPath(kPort, device->devicePath());
        RigSettings s;
        applyRigPreset(s, rigFamily(rigType));
        s.portNumber = kPort;
        s.pollRate = QStringLiteral("F");
        writeFileAtomically(f->workingFile(QStringLiteral("RigCntrl.txt")), rigSettingsText(s));
        StationPreferences prefs;
        prefs.RigType = rigType;
        writePreferences(f->folders().WorkingFolder, prefs);
        f->startUp();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        f->window().entry().focusCall();
        f->prompts.clear();
    }

    RigTuneWindow& openPanel() {
        QTest::keyClick(f->window().entry().txtCall, Qt::Key_G, Qt::ControlModifier);
        RigTuneWindow* panel = f->window().rig().tunePanel();
        if (panel == nullptr || !QTest::qWaitForWindowActive(panel)) {
            qFatal("no tune panel");
        }
        return *panel;
    }

    QStringList frequencyCommands() const {
        QStringList out;
        for (const auto& r : radio->received()) {
            if (r.bytes.startsWith("FA") && r.bytes.size() > 3) {
                out.append(QString::fromLatin1(r.bytes));
            }
        }
        return out;
    }

private Q_SLOTS:
    void cleanup() {
        f.reset();
        radio.reset();
        device.reset();
        rawBytes.clear();
    }

    void goStepsBandsAndModes() {
        start();
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("20"));
        RigTuneWindow& p = openPanel();
        QVERIFY(p.isVisible());
        QVERIFY(p.isModal());
        QCOMPARE(p.windowTitle(), QStringLiteral(" Change Frequency and Mode (Ctrl G (Go))"));
        QCOMPARE(p.Timer1.interval(), 299);
        QVERIFY(p.Timer1.isActive());
        for (QWidget* w : p.findChildren<QWidget*>()) {
            if (w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(&p)) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            }
        }
        // Nothing to step from until the box holds a number.
        for (QPushButton* b : std::as_const(p.cmdTune)) {
            QVERIFY(!b->isEnabled());
        }
        QTest::keyClicks(p.txtFreq, QStringLiteral("14x.0e25"));
        QCOMPARE(p.txtFreq->text(), QStringLiteral("14.025")); // letters are not taken
        QVERIFY(p.cmdTune.at(2)->isEnabled());

        radio->clearReceived();
        QTest::mouseClick(p.cmdTune.at(2), Qt::LeftButton); // 1 KHz up
        QCOMPARE(p.txtFreq->text(), QStringLiteral("14.026"));
        QCOMPARE(p.focusWidget(), p.cmdDone);
        QTRY_COMPARE(f->window().rig().link().status().frequency, 14.026);
        QCOMPARE(frequencyCommands(), QStringList({"FA00014026000;"}));
        QVERIFY(!radio->receivedStartingWith("MD3;").isEmpty()); // 14.026 is a CW segment

        QTest::mouseClick(p.cmdTune.at(9), Qt::LeftButton); // 1 MHz down
        QCOMPARE(p.txtFreq->text(), QStringLiteral("13.026"));
        QTest::mouseClick(p.cmdTune.at(5), Qt::LeftButton); // 10 Hz down
        QCOMPARE(p.txtFreq->text(), QStringLiteral("13.02599"));

        QTest::mouseClick(p.cmdBand.at(3), Qt::LeftButton); // 40
        QCOMPARE(p.txtFreq->text(), QStringLiteral("7.15"));
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("40"));
        QTRY_COMPARE(radio->frequency(), 7.15);

        // Enter in the box goes there and keeps the caret at the end.
        p.txtFreq->setFocus();
        p.txtFreq->setText(QStringLiteral("21.025"));
        p.txtFreq->setCursorPosition(0);
        QTest::keyClick(p.txtFreq, Qt::Key_Return);
        QCOMPARE(p.focusWidget(), p.txtFreq);
        QCOMPARE(p.txtFreq->cursorPosition(), 6);
        QTRY_COMPARE(radio->frequency(), 21.025);
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("15"));

        // A mode button: the mode alone, the poll going on.
        radio->clearReceived();
        QTest::mouseClick(p.cmdUSB, Qt::LeftButton);
        QCOMPARE(p.focusWidget(), p.cmdDone);
        QTRY_COMPARE(radio->mode(), 2);
        QVERIFY(frequencyCommands().isEmpty());
        QTRY_VERIFY(!radio->receivedStartingWith("FA;").isEmpty());
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).isEmpty());

        QTest::mouseClick(p.cmdDone, Qt::LeftButton);
        QTRY_VERIFY(f->window().rig().tunePanel() == nullptr); // unloaded
    }

    void scanStepsThroughTheRangeAndAKeyStopsIt() {
        start();
        QTRY_VERIFY(f->window().rig().link().status().frequency > 0);
        RigTuneWindow& p = openPanel();
        p.txtFrom->setText(QStringLiteral("14.0"));
        p.txtTo->setText(QStringLiteral("14.0035"));
        p.optStep.at(0)->click(); // 500 Hz
        radio->clearReceived();
        QTest::mouseClick(p.chkScan, Qt::LeftButton);
        QCOMPARE(p.txtFreq->text(), QStringLiteral("14.0")); // From, as the box held no number
        QCOMPARE(p.focusWidget(), p.Command1);
        QTRY_VERIFY_WITH_TIMEOUT(frequencyCommands().size() >= 10, 30000);
        QTest::keyClick(p.Command1, Qt::Key_X);
        QVERIFY(!p.chkScan->isChecked());
        const QString last = p.txtFreq->text();
        QTest::qWait(800);
        QCOMPARE(p.txtFreq->text(), last); // the box keeps the last value scanned
        // Every step reached the radio, in order, wrapping to From past To.
        QStringList expected;
        const QStringList cycle{"14.0005", "14.001", "14.0015", "14.002", "14.0025", "14.003", "14.0035", "14.0"};
        const QStringList sent = frequencyCommands();
        for (qsizetype i = 0; i < sent.size(); ++i) {
            const double mhz = cycle.at(i % cycle.size()).toDouble();
            expected.append(QStringLiteral("FA%1;").arg(qint64(mhz * 1e6 + 0.5), 11, 10, QLatin1Char('0')));
        }
        QCOMPARE(sent, expected);
        QTRY_COMPARE(f->window().rig().link().status().frequency, last.toDouble());
        QCOMPARE(f->window().lblBand()->text(), QStringLiteral("20"));
        QVERIFY(f->window().rig().link().isPolling());
        p.close();
    }

    void withoutARadioGoSendsNothing() {
        start(QStringLiteral("None"));
        RigTuneWindow& p = openPanel();
        QTest::mouseClick(p.cmdBand.at(0), Qt::LeftButton);
        QCOMPARE(p.txtFreq->text(), QStringLiteral("1.9"));
        QTest::mouseClick(p.Command1, Qt::LeftButton);
        QTest::mouseClick(p.cmdCW, Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(rawBytes.isEmpty());
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).isEmpty());
        // Nonsense typed or pasted in never goes out, and the steps stay off.
        p.txtFreq->setText(QStringLiteral("1e30"));
        QVERIFY(!p.cmdTune.at(0)->isEnabled());
        p.txtFreq->setText(QStringLiteral("nan"));
        QVERIFY(!p.cmdTune.at(0)->isEnabled());
        p.txtFreq->setText(QStringLiteral("0.0005"));
        QTest::mouseClick(p.cmdTune.at(8), Qt::LeftButton); // 5 KHz down: below zero
        QCOMPARE(p.txtFreq->text(), QStringLiteral("0.0005"));
        p.close();
    }

    void testWindowSendsRawCommandsAndFrequencies() {
        start();
        QTRY_VERIFY(f->window().rig().link().status().frequency > 0);
        RigControlWindow& w = f->window().rig().window();
        w.show();
        QTest::mouseClick(w.Command3, Qt::LeftButton); // Change Frequency while polling
        FrequencyTestWindow* t = f->window().rig().frequencyTest();
        QVERIFY(t != nullptr);
        QVERIFY(t->isModal());
        QCOMPARE(t->windowTitle(), QStringLiteral("Test Change Frequency Function"));
        QCOMPARE(t->Text1->text(), QStringLiteral("FA00028475000;"));
        QCOMPARE(t->Text2->text(), QStringLiteral("28.475"));
        QTest::mouseClick(t->Command1, Qt::LeftButton);
        QTRY_COMPARE(radio->frequency(), 28.475);
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("10"));

        t->Text2->setText(QStringLiteral("7.0255"));
        QTest::mouseClick(t->Command2, Qt::LeftButton);
        QTRY_COMPARE(radio->frequency(), 7.0255);

        rawBytes.clear();
        t->Text1->setText(QStringLiteral("  FE FE 64 E0 03 FD "));
        t->Check1->setChecked(true);
        QTest::mouseClick(t->Command1, Qt::LeftButton);
        QTRY_COMPARE(rawBytes.count(QByteArray::fromHex("FEFE64E003FD")), 1);
        t->Text1->setText(QStringLiteral("FE FE ZZ"));
        QTest::mouseClick(t->Command1, Qt::LeftButton);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);
        t->Text2->setText(QStringLiteral("abc"));
        QTest::mouseClick(t->Command2, Qt::LeftButton);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 2);
        t->close();
        QTRY_VERIFY(f->window().rig().frequencyTest() == nullptr);
        QVERIFY(f->window().rig().link().isPolling());
    }

    void pegasusFolderThatCannotBeWrittenIsTold() {
        start(QStringLiteral("Ten Tec Pegasus"));
        RigLink& link = f->window().rig().link();
        RigSettings s = link.settings();
        s.pegasusFolder = f->workingFile(QStringLiteral("no-such-folder"));
        link.setSettings(s);
        QVERIFY(link.isPolling());
        f->window().rigTuning().ChangeFrequency(14.025);
        QTRY_COMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);
        const PromptCall call = f->prompts.callsOf(QStringLiteral("message")).first();
        QCOMPARE(call.title, QStringLiteral("Error Changing Frequency"));
        QVERIFY2(call.text.contains(QLatin1String("PEGASUS.IN")), qPrintable(call.text));
        QVERIFY(!link.isPolling()); // until Test again
        f->window().rigTuning().ChangeFrequency(14.03);
        QTest::qWait(400);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);

        // A folder that exists: the command file holds the frequency and the mode.
        s.pegasusFolder = f->folders().WorkingFolder;
        link.setSettings(s);
        QCOMPARE(link.startPolling(), RigLink::StartResult::Polling);
        f->window().rigTuning().ChangeFrequency(7.0305);
        const QString file = f->workingFile(QStringLiteral("PEGASUS.IN"));
        QTRY_VERIFY(QFile::exists(file));
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll().left(8), QByteArray("7.0305\r\n"));
    }
};

QTEST_MAIN(TestRigTune)
#include "tst_rigtune.moc"
