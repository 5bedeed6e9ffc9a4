// The rig window and the band plan panel through their controls, and the rig link in the
// main window: start-up polling, the band label following the radio, the frequency
// stored with the next contact, the shortcuts.
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "app/EntryPanel.h"
#include "app/MainWindowRig.h"
#include "app/StationRadio.h"
#include "charts/BandPlanLayout.h"
#include "charts/windows/BandPlanWindow.h"
#include "log/StationPreferences.h"
#include "rig/windows/RigControlWindow.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/SpotDesk.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 5;

int listRow(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text) {
            return i;
        }
    }
    return -1;
}

QList<BandPlanRow> rows(std::initializer_list<BandPlanRow> r) {
    return QList<BandPlanRow>(r);
}
} // namespace

class TestRigWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<PseudoTerminal> device;
    std::unique_ptr<ScriptedRadio> radio;

    void start(const QByteArray& rigSettings = {}, const QString& rigType = {}) {
        f = std::make_unique<MainWindowFixture>();
        device = std::make_unique<PseudoTerminal>(f->workingFile(QStringLiteral("ttyRadio")));
        radio = std::make_unique<ScriptedRadio>(*device, ScriptedRadio::Protocol::Kenwood);
        f->window().rig().portMap().setMappedPath(kPort, device->devicePath());
        if (!rigSettings.isEmpty()) {
            writeFileAtomically(f->workingFile(QStringLiteral("RigCntrl.txt")), rigSettings);
        }
        if (!rigType.isEmpty()) {
            StationPreferences prefs;
            prefs.RigType = rigType;
            writePreferences(f->folders().WorkingFolder, prefs);
        }
        f->startUp();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        f->window().entry().focusCall();
        f->prompts.clear();
    }
    RigControlWindow& rigWindow() { return f->window().rig().window(); }
    template <typename T>
    T* control(QWidget* parent, const char* name) {
        T* c = parent->findChild<T*>(QLatin1String(name));
        if (c == nullptr) {
            qFatal("no control %s", name);
        }
        return c;
    }
    QStringList messageTitles() const {
        QStringList titles;
        for (const PromptCall& c : f->prompts.callsOf(QStringLiteral("message"))) {
            titles.append(c.title);
        }
        return titles;
    }

private Q_SLOTS:
    void cleanup() {
        f.reset();
        radio.reset();
        device.reset();
    }

    void operatorSetsUpAKenwoodAndTheBandFollows() {
        start();
        radio->setFrequency(7.025);
        QTest::keyClick(f->window().entry().txtCall, Qt::Key_R, Qt::ControlModifier);
        RigControlWindow& w = rigWindow();
        QVERIFY(w.isVisible());
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Kenwood")));
        QCOMPARE(w.txtFreq->text(), QStringLiteral("FA;"));
        QCOMPARE(w.txtMode->text(), QStringLiteral("MD;"));
        control<QRadioButton>(&w, "optComm5")->click();
        control<QRadioButton>(&w, "optPollF")->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.Label2->isVisible());
        QVERIFY(w.Command2->isEnabled());
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("40"));
        QTRY_COMPARE(w.lblFreq->text(), QStringLiteral("7.02500"));
        QCOMPARE(w.lblMode->text(), QStringLiteral("CW"));
        QCOMPARE(f->window().preferences().Mode, QStringLiteral("CW")); // the radio never sets it

        radio->setFrequency(14.0253);
        radio->setMode(2);
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("20"));
        QTRY_COMPARE(w.lblMode->text(), QStringLiteral("PH"));
        w.hide();
        QApplication::setActiveWindow(&f->window());
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        f->window().entry().focusCall();
        typeKeys(f->window().entry().txtCall, QStringLiteral("K1ABC599ct bob1234 599\n"));
        QCOMPARE(f->window().contactLog().count(), 1);
        QCOMPARE(f->window().contactLog().record(1).frequency, QStringLiteral("14.025"));
        QCOMPARE(f->window().contactLog().record(1).band, QStringLiteral("20"));

        // A radio that stops answering: the window says so, the main window is left alone.
        radio->setAnswering(false);
        w.show();
        QTRY_COMPARE(w.lblFreq->text(), QStringLiteral("No Response"));
        QCOMPARE(f->window().lblBand()->text(), QStringLiteral("20"));

        QTest::mouseClick(w.cmdDone, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        const QByteArray saved = readWholeFile(f->workingFile(QStringLiteral("RigCntrl.txt"))).value();
        QVERIFY(saved.startsWith("\"4800 \"\r\n\"N\"\r\n\"8\"\r\n\"2\"\r\n\"MD;\"\r\n\"FA;\"\r\n\"4800,N,8,2\"\r\n5\r\n\"N\"\r\n\"F\"\r\n\"Kenwood\"\r\n"));
        StationPreferences prefs;
        LoadPreferences(f->folders().WorkingFolder, prefs);
        QCOMPARE(prefs.RigType, QStringLiteral("Kenwood"));
    }

    void configuredRadioIsPolledFromStartUp() {
        RigSettings s;
        applyRigPreset(s, rigFamily(QStringLiteral("Kenwood 2")));
        s.portNumber = kPort;
        s.pollRate = QStringLiteral("F");
        start(rigSettingsText(s), QStringLiteral("Kenwood 2"));
        radio->setFrequency(21.1);
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("15"));
        QVERIFY(!rigWindow().isVisible());
        QVERIFY(!radio->receivedStartingWith("IF;").isEmpty());
    }

    void listChoicesAndTheirPresets() {
        start();
        RigControlWindow& w = rigWindow();
        w.show();
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Icom")));
        QCOMPARE(w.txtFreq->text(), QStringLiteral("FE FE 64 E0 03 FD"));
        QVERIFY(w.chkConvToHex->isChecked() && w.ChkConvHex->isChecked());
        QVERIFY(!w.chkConvToHex->isEnabled());
        QVERIFY(w.Label10->isVisible());
        QVERIFY(control<QRadioButton>(&w, "optBaud1200")->isChecked());
        QCOMPARE(f->window().preferences().RigType, QStringLiteral("Icom"));

        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Other")));
        QVERIFY(w.txtFreq->text().isEmpty());
        QVERIFY(!w.chkConvToHex->isChecked());
        QVERIFY(w.chkConvToHex->isEnabled());
        QVERIFY(!w.Label10->isVisible());
        QVERIFY(control<QRadioButton>(&w, "optBaud1200")->isChecked()); // kept

        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Ten Tec Pegasus")));
        QVERIFY(w.txtPegasusFolder->isVisible());
        QVERIFY(!w.txtPegasusFolder->placeholderText().isEmpty());
    }

    void failedOpenIsToldAndTestWorksWhenThePortIsBack() {
        start();
        RigControlWindow& w = rigWindow();
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Kenwood")));
        control<QRadioButton>(&w, "optComm6")->click(); // nothing behind it
        f->window().rig().portMap().setMappedPath(6, f->workingFile(QStringLiteral("no-such-port")));
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(messageTitles(), QStringList{QStringLiteral("Invalid Comm Settings.")});
        QCOMPARE(f->prompts.beeps(), 1);
        QVERIFY(w.isVisible());
        QVERIFY(!w.Command2->isEnabled());
        QVERIFY(!w.Label2->isVisible());

        QTest::mouseClick(w.Command3, Qt::LeftButton); // Change Frequency while not polling
        QCOMPARE(messageTitles().last(), QStringLiteral("You must be polling your rig to test this function."));

        control<QRadioButton>(&w, "optComm5")->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTRY_VERIFY(!w.lblUnProcess->text().isEmpty());
        QCOMPARE(w.lblUnProcess->text(), QStringLiteral("FA00014025000;MD3;"));
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QCOMPARE(f->prompts.clipboard(), QStringLiteral("FA00014025000;MD3;"));
        QVERIFY(w.cmdDone->hasFocus());

        // Any serial option ends the test; so does entering a query box.
        control<QRadioButton>(&w, "optParityEven")->click();
        QVERIFY(!w.polling());
        QVERIFY(w.lblFreq->text().isEmpty() && !w.Command2->isEnabled());
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.polling());
        w.txtMode->setFocus();
        QVERIFY(!w.polling());
    }

    // The radio's port is pulled while polling: one beep and one line on the main window's
    // status line, no message box; logging goes on; plugged back in, polling resumes by
    // itself and the band follows the radio again.
    void unpluggedPortIsToldOnceAndPollingResumes() {
        start();
        RigControlWindow& w = rigWindow();
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Elecraft")));
        control<QRadioButton>(&w, "optComm5")->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTRY_VERIFY(f->window().rig().link().status().frequency > 0);
        device->hangUp();
        QTRY_VERIFY(f->window().lblDialog()->text().contains(QLatin1String("ttyRadio is gone")));
        QVERIFY(w.polling());
        QVERIFY(!w.Label2->isHidden());
        QCOMPARE(w.Label2->text(), QStringLiteral("Waiting for the radio to return"));
        QCOMPARE(w.lblFreq->text(), QStringLiteral("No Response"));

        EntryPanel& e = f->window().entry();
        e.focusCall();
        typeKeys(e.txtCall, QStringLiteral("W1AW 579 CT BOB 1234 599\n"));
        QCOMPARE(f->window().contactLog().count(), 1);
        QVERIFY(f->logFileContent().contains("\"W1AW\""));
        QTest::qWait(1200);
        QVERIFY(messageTitles().isEmpty());
        QCOMPARE(f->prompts.beeps(), 1);

        radio->setFrequency(28.025);
        QVERIFY(device->plugIn());
        QTRY_COMPARE(f->window().lblBand()->text(), QStringLiteral("10"));
        QCOMPARE(w.Label2->text(), QStringLiteral("Polling Rig"));
        QVERIFY(f->window().lblDialog()->text().contains(QLatin1String("ttyRadio is back")));
        QVERIFY(messageTitles().isEmpty());
    }

    // The band map reaches the radio through the real rig link: Enter on a spot tunes the
    // Kenwood at the far end of the port, the mode by the band plan first.
    void bandMapSpotTunesTheRadio() {
        start();
        RigControlWindow& w = rigWindow();
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Kenwood")));
        control<QRadioButton>(&w, "optComm5")->click();
        control<QRadioButton>(&w, "optPollF")->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTRY_VERIFY(f->window().rig().link().status().frequency > 0);
        w.hide();
        SpotDesk& desk = f->window().spots();
        desk.settings().Source = QStringLiteral("Telnet");
        desk.settings().ShowAsList = false;
        desk.PacketResize();
        desk.BandMapSpots(QStringLiteral("OH2BH"), QStringLiteral("14030.5"), QStringLiteral("de W3LPL: 14030.5 OH2BH"));
        QTRY_VERIFY(desk.lblDX()->spotLabel(49)->isVisible());
        QApplication::setActiveWindow(&f->window());
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        desk.lblDX()->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), desk.lblDX()->spotLabel(49));
        radio->clearReceived();
        QTest::keyClick(desk.lblDX()->spotLabel(49), Qt::Key_Return);
        QTRY_VERIFY(!radio->receivedStartingWith("FA00014030500;").isEmpty());
        QStringList commands;
        for (const auto& r : radio->received()) {
            if (r.bytes != "FA;" && r.bytes != "MD;") {
                commands << QString::fromLatin1(r.bytes);
            }
        }
        QCOMPARE(commands, QStringList({"MD3;", "FA00014030500;"}));
        QTRY_COMPARE(f->window().rig().link().status().frequency, 14.0305);
        QCOMPARE(f->window().entry().txtCall->text(), QStringLiteral("OH2BH"));
        QVERIFY(messageTitles().isEmpty());
    }

    void modeSourceOptions() {
        start();
        RigControlWindow& w = rigWindow();
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Kenwood")));
        control<QRadioButton>(&w, "optComm5")->click();
        control<QRadioButton>(&w, "optPollF")->click();
        radio->setFrequency(14.2);
        radio->setMode(3);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTRY_COMPARE(w.lblMode->text(), QStringLiteral("CW"));
        w.OptFreq->click();
        QCOMPARE(w.lblMode->text(), QStringLiteral("No Response"));
        QTRY_COMPARE(w.lblMode->text(), QStringLiteral("PH")); // 14.2 MHz by the table
        w.chkFrequency->click();                                 // "Use Frequency" off
        radio->setFrequency(7.1);
        QTRY_COMPARE(w.lblFreq->text(), QStringLiteral("7.10000"));
        QTest::qWait(200);
        QCOMPARE(f->window().lblBand()->text(), QStringLiteral("20"));
    }

    void bandPlanPanel() {
        start();
        QTest::keyClick(f->window().entry().txtCall, Qt::Key_F, Qt::ControlModifier);
        auto* panel = f->window().findChild<BandPlanWindow*>(QStringLiteral("frmBandPlan"));
        QVERIFY(panel != nullptr && panel->isVisible() && panel->isModal());
        QCOMPARE(panel->lblTitle->text(), QStringLiteral("Extra Frequency Privileges"));
        QCOMPARE(panel->lblEffective->text(), QStringLiteral("Frequencies Effective: February 13, 2026"));
        const auto bars = [panel] {
            QStringList names;
            for (QLabel* l : panel->findChildren<QLabel*>()) {
                if (l->objectName().startsWith(QLatin1String("blbl"))) {
                    names.append(l->text());
                }
            }
            names.sort();
            return names;
        };
        QCOMPARE(bars().size(), 16);
        QTest::mouseClick(panel->Command1, Qt::LeftButton); // Novice
        QCOMPARE(panel->lblTitle->text(), QStringLiteral("Novice Frequency Privileges"));
        QCOMPARE(bars(), (QStringList{"1.25", "10", "15", "23cm", "40", "80"}));
        QTest::mouseClick(panel->Command4, Qt::LeftButton); // General
        QVERIFY(bars().contains(QStringLiteral("60")));
        auto* priv1 = panel->findChild<QLabel*>(QStringLiteral("priv1"));
        QCOMPARE(priv1->toolTip(), QStringLiteral("PH   1.800 - 2.000"));
        QTest::mouseClick(panel->Command7, Qt::LeftButton);
        QTRY_VERIFY(f->window().findChild<BandPlanWindow*>(QStringLiteral("frmBandPlan")) == nullptr);
    }

    void bandPlanMissing() {
        start();
        QFile::remove(f->workingFile(QStringLiteral("BandPlan.txt")));
        f->window().action(QStringLiteral("mnuPrivileges"))->trigger();
        QTRY_COMPARE(messageTitles(), QStringList{QStringLiteral("Band Data Not Available.")});
        auto* panel = f->window().findChild<BandPlanWindow*>(QStringLiteral("frmBandPlan"));
        QVERIFY(panel != nullptr && !panel->hasBandData());
    }

    void bandPlanDrawing() {
        const BandPlanGeometry g{9000, 6600, 1500, 1};
        const QList<BandPlanRow> plan = rows({{"20", "O", "", 14, 14.35},
                                              {"20", "G", "CW", 14.025, 14.15},
                                              {"20", "G", "PH", 14.35, 14.5},
                                              {"15", "O", "", 21, 21.45},
                                              {"15", "T", "CW", 21, 21.45},
                                              {"17", "T", "CW", 18.068, 18.11},
                                              {"6", "O", "", 50, 50},
                                              {"6", "T", "PH", 50, 50}});
        QVERIFY(DrawPrivileges(plan, QStringLiteral("N"), g).isEmpty());
        const QList<BandPlanLabel> general = DrawPrivileges(plan, QStringLiteral("G"), g);
        QCOMPARE(general.size(), 4); // one bar, its tag, two segments
        const BandPlanLabel& bar = general.at(0);
        QCOMPARE(bar.name, QStringLiteral("blbl1"));
        QCOMPARE(bar.twips.top(), 1500 + 0.8 * (6600 - 1500));
        QCOMPARE(bar.toolTip, QStringLiteral("20  14.000 - 14.350"));
        QCOMPARE(general.at(1).name, QStringLiteral("bnlb1"));
        const BandPlanLabel& outside = general.at(3); // beyond the band's upper edge
        QCOMPARE(outside.twips.left(), bar.twips.right());
        QCOMPARE(outside.backColour, 0x00FF00u);
        QCOMPARE(general.at(2).backColour, 0xFF0000u);
        // Technician: 15 m whole (fills its bar), 17 m has no outline row, 6 m no width.
        const QList<BandPlanLabel> tech = DrawPrivileges(plan, QStringLiteral("T"), g);
        QCOMPARE(tech.at(0).caption, QStringLiteral("15"));
        QCOMPARE(tech.at(1).caption, QStringLiteral("6"));
        const BandPlanLabel& whole = tech.at(4);
        QCOMPARE(whole.name, QStringLiteral("priv1"));
        QCOMPARE(whole.twips, tech.at(0).twips);
        QCOMPARE(tech.size(), 5);
    }

    // A rig-port line that keys CW cannot power the interface as well: the operator's
    // click on that Connection Power option is taken back with the reason; the other
    // line still can.
    void connectionPowerOnAKeyingLineIsRefused() {
        start();
        f->window().rig().radio().useKeyingLine(SerialControlLine::Signal::Dtr);
        QTest::keyClick(f->window().entry().txtCall, Qt::Key_R, Qt::ControlModifier);
        RigControlWindow& w = rigWindow();
        w.List1->setCurrentRow(listRow(w.List1, QStringLiteral("Kenwood")));
        control<QRadioButton>(&w, "optPowerNone")->click();
        f->prompts.clear();
        control<QRadioButton>(&w, "optPowerDTR")->click();
        QVERIFY(!control<QRadioButton>(&w, "optPowerDTR")->isChecked());
        QVERIFY(control<QRadioButton>(&w, "optPowerNone")->isChecked());
        QCOMPARE(messageTitles(), QStringList{QStringLiteral("Connection Power")});
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).last().text.contains(u"DTR"));
        control<QRadioButton>(&w, "optPowerRTS")->click();
        QVERIFY(control<QRadioButton>(&w, "optPowerRTS")->isChecked());
        QCOMPARE(messageTitles().size(), 1);
        f->window().rig().radio().useKeyingLine(std::nullopt);
    }
};

QTEST_MAIN(TestRigWindows)
#include "tst_rigwindows.moc"
