// The spotting window and the spot list through the real main window: stored settings,
// choosing a source, the keys of the send box, "&Spot Last", "&Done" and the main
// window's spot display, spots arriving from a loopback cluster and clicks in the list.
#include "MainWindowFixture.h"
#include "SpotServers.h"

#include "app/EntryPanel.h"
#include "log/RecordFile.h"
#include "platform/AgwEngine.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/TcpClient.h"
#include "rig/RigTuning.h"
#include "spots/SpotSourceLink.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/PacketSpotWindow.h"
#include "spots/windows/SpotDesk.h"
#include "spots/windows/TncOptionsPanel.h"
#include "PseudoTerminal.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kWait = 15000;

class RecordingRig final : public RigTuning {
public:
    void ChangeFrequency(double mhz) override { tuned.append(mhz); }
    QList<double> tuned;
};

QByteArray settingsFile(const QString& source, const QString& port, int dxOnly = 0,
                        bool asList = true) {
    return QStringLiteral("\"9600\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n5\r\n\"N\"\r\n\"%1\"\r\n0\r\n1\r\n%2\r\n"
                          "%3\r\n\"03\"\r\n\"%4\"\r\n\"127.0.0.1\"\r\n")
        .arg(source)
        .arg(dxOnly)
        .arg(asList ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"), port)
        .toLatin1();
}

QByteArray spotLine(const QString& call, const QString& kHz) {
    return QStringLiteral("DX de W3LPL:    %1  %2 %3 1234Z\r\n")
        .arg(kHz.rightJustified(8), call.leftJustified(12), QStringLiteral("CQ").leftJustified(30))
        .toLatin1();
}
} // namespace

class TestSpotWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QtSettingsStore> m_store;
    std::unique_ptr<PortMap> m_map;
    std::unique_ptr<QtSerialPort> m_serial;
    std::unique_ptr<QtTcpClient> m_telnet;
    std::unique_ptr<AgwServer> m_engine;
    std::unique_ptr<TcpAgwEngine> m_agw;
    RecordingRig m_rig;

    // A started main window whose spot desk uses loopback sources.
    void start(const std::optional<QByteArray>& packSpot = std::nullopt) {
        f = std::make_unique<MainWindowFixture>();
        if (packSpot) {
            QVERIFY(!writeFileAtomically(f->workingFile(QStringLiteral("PackSpot.txt")), *packSpot));
        }
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<QtSettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
        m_map = std::make_unique<PortMap>(*m_store);
        m_serial = std::make_unique<QtSerialPort>(*m_map);
        m_telnet = std::make_unique<QtTcpClient>();
        m_engine = std::make_unique<AgwServer>();
        m_agw = std::make_unique<TcpAgwEngine>(QStringLiteral("127.0.0.1"), m_engine->port());
        desk().setSources(*m_serial, *m_telnet, *m_agw);
        desk().setRigTuning(m_rig);
        f->window().preferences().OwnCall = QStringLiteral("N0CALL");
        f->startUp();
    }
    SpotDesk& desk() { return f->window().spots(); }
    PacketSpotWindow& window() { return desk().spottingWindow(); }
    QString console() { return window().txtUnProcessed->toPlainText(); }

private Q_SLOTS:
    void cleanup() {
        f.reset();
        m_agw.reset();
        m_engine.reset();
    }

    void missingSettingsLeaveTheDefaults() {
        start();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        f->window().entry().focusCall();
        QTest::keyClick(f->window().entry().txtCall, Qt::Key_D, Qt::ControlModifier);
        QVERIFY(desk().hasSpottingWindow());
        QVERIFY(window().isVisible());
        QCOMPARE(window().windowTitle(), QStringLiteral(" DX Spotting Setup"));
        QCOMPARE(window().List1->currentItem()->text(), QStringLiteral("None"));
        QVERIFY(!window().Label4->isVisible());
        QVERIFY(!window().cmdOpen->isEnabled());
        QVERIFY(!window().chkConvToHex->isEnabled());
        QVERIFY(console().startsWith(QLatin1String("Use this form to configure your DX spotting options.")));
        QVERIFY(console().contains(QLatin1String("The program keeps the last 50 DX posts regardless of band in memory.")));
        // Every control can be found by a screen reader.
        for (QWidget* w : window().findChildren<QWidget*>()) {
            if (w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(&window()) &&
                !w->inherits("QScrollBar") && w->parentWidget() != nullptr &&
                !w->parentWidget()->inherits("QAbstractScrollArea")) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            }
        }
    }

    void storedTelnetSourceOpensAtStartAndFillsTheList() {
        ClusterServer cluster;
        start(settingsFile(QStringLiteral("Telnet"), QString::number(cluster.port()), 1));
        // The stored source opened by itself; the main window shows the list.
        QTRY_VERIFY_WITH_TIMEOUT(cluster.hasClient(), kWait);
        QVERIFY(!window().isVisible());
        QVERIFY(window().Label4->isVisibleTo(&window()));
        QVERIFY(!window().chkDX->isChecked()); // stored 1, every start clears it
        QTRY_VERIFY(desk().txtDX()->isVisible());
        QCOMPARE(desk().display(), SpotDesk::Display::List);

        cluster.send("Please enter your call: ");
        QTRY_VERIFY_WITH_TIMEOUT(cluster.received() == "N0CALL\r\n", kWait);
        cluster.send(spotLine(QStringLiteral("K1ABC"), QStringLiteral("14025.0")) +
                     spotLine(QStringLiteral("N0CALL"), QStringLiteral("7030.5")) +
                     spotLine(QStringLiteral("DL1AA"), QStringLiteral("14O25.0")));
        QTRY_COMPARE_WITH_TIMEOUT(desk().listModel().rowCount(), 2, kWait);
        QVERIFY(desk().console().text().contains(QLatin1String("DL1AA")));
        // The own call beeps and says so, and is still taken; letters as frequency are not.
        QCOMPARE(f->window().lblDialog()->text(), QStringLiteral("You've been spotted! "));
        QVERIFY(f->window().entry().lblDupe->text().startsWith(QLatin1String("You've been spotted!  de W3LPL:")));
        QCOMPARE(desk().listModel().cellText(0, 0), QStringLiteral("N0CALL"));
        QCOMPARE(desk().listModel().cellText(1, 1), QStringLiteral("14.025"));
        QCOMPARE(desk().listModel().cellText(1, 2), QStringLiteral("USA"));
        QCOMPARE(desk().store().slot(48).Call, QStringLiteral("K1ABC"));

        // A click on a row puts the call into the call box; no radio, no tuning.
        QTreeView* list = desk().txtDX();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(desk().listModel().index(1, 0)).center());
        QCOMPARE(f->window().entry().txtCall->text(), QStringLiteral("K1ABC"));
        QVERIFY(f->window().entry().txtCall->hasFocus());
        QVERIFY(m_rig.tuned.isEmpty());
        f->window().preferences().RigType = QStringLiteral("Kenwood");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(desk().listModel().index(0, 2)).center());
        QCOMPARE(f->window().entry().txtCall->text(), QStringLiteral("N0CALL"));
        QCOMPARE(m_rig.tuned.size(), 1);
        QCOMPARE(float(m_rig.tuned.at(0)), 7.0305f);
    }

    void sourceChoiceAndTheTncKeys() {
        start();
        PseudoTerminal tnc;
        m_map->setMappedPath(5, tnc.devicePath());
        window().show();
        window().chkDX->setChecked(true);
        window().List1->setCurrentRow(1); // TNC
        QVERIFY(!window().chkDX->isChecked());
        QVERIFY(window().tncOptions().optBaud.at(3)->isChecked()); // 9600 preset
        QVERIFY(window().tncOptions().optHandshake.at(2)->isChecked()); // RTS
        QCOMPARE(window().lblSent->text(), QStringLiteral("Send text  (Ctrl C or Esc for TNC Command mode):"));
        QVERIFY(console().startsWith(QLatin1String("TNC: choose the serial port")));
        window().tncOptions().optComm.at(4)->click();
        window().tncOptions().optHandshake.at(0)->click();
        QTest::mouseClick(window().cmdOpen, Qt::LeftButton);
        QVERIFY(window().Label4->isVisible());
        QVERIFY(console().contains(QLatin1String("** TNC Serial Port Open **")));

        // Esc in the send box sends the command character and types nothing.
        window().txtSent->setFocus();
        QTest::keyClick(window().txtSent, Qt::Key_Escape);
        QVERIFY(window().txtSent->text().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(tnc.received(), QByteArray("\x03"), kWait);
        // A 71-character line ending in a space is not sent on a TNC.
        QTest::keyClicks(window().txtSent, QString(70, QLatin1Char('a')) + QLatin1Char(' '));
        QCOMPARE(window().txtSent->text().size(), 71);
        QTest::keyClick(window().txtSent, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(tnc.received().endsWith(QByteArray(70, 'a') + " \r"), kWait);

        // Another baud rate closes the port until it is opened again.
        window().tncOptions().optBaud.at(0)->click();
        QVERIFY(!window().Label4->isVisible());
        QVERIFY(console().endsWith(QLatin1String("** Port Closed **")));
        QTest::keyClick(window().txtSent, Qt::Key_Return);
        QVERIFY(window().Label4->isVisible());
    }

    void packetEngineKeysAndLongLines() {
        start();
        window().show();
        window().List1->setCurrentRow(3);
        QCOMPARE(window().lblSent->text(), QStringLiteral("Send text (use : to send cmds such as :C TREVO or :D)"));
        QTest::mouseClick(window().cmdOpen, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(desk().link().timerRunning(), kWait);
        window().txtSent->setFocus();
        QTest::keyClick(window().txtSent, Qt::Key_Escape);
        QCOMPARE(window().txtSent->text(), QStringLiteral(":"));
        QTest::keyClicks(window().txtSent, QStringLiteral("c n0dxc"));
        QTest::keyClick(window().txtSent, Qt::Key_Return);
        QVERIFY(window().txtSent->text().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->receivedOfKind('C').size(), 1, kWait);
        m_engine->sendFrame({0, 'C', 0, "N0DXC", "N0CALL", "*** CONNECTED To Station N0DXC\r"});
        QTRY_COMPARE_WITH_TIMEOUT(window().windowTitle(), QStringLiteral("DX Spotting Setup - Connected to N0DXC"), kWait);
        // A long line goes at a word boundary, without Enter.
        QTest::keyClicks(window().txtSent, QString(71, QLatin1Char('b')) + QLatin1Char(' '));
        QVERIFY(window().txtSent->text().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->receivedOfKind('D').size(), 1, kWait);
        QCOMPARE(m_engine->receivedOfKind('D').at(0).data, QByteArray(71, 'b') + "\r");
        // Text to a node is AX.25 without layer 3; the connect request carries no PID.
        QCOMPARE(m_engine->receivedOfKind('D').at(0).pid, quint8(0xF0));
        QCOMPARE(m_engine->receivedOfKind('C').at(0).pid, quint8(0));
        // The node's prompt shows without waiting for a line end.
        m_engine->sendFrame({0, 'D', 0, "N0DXC", "N0CALL", "Welcome to the node\rN0DXC-7> "});
        QTRY_VERIFY_WITH_TIMEOUT(console().endsWith(QLatin1String("N0DXC-7> ")), kWait);
    }

    // Esc on a control that does not take it runs the window's rule once: one attempt to
    // open, one message box.
    void escRunsTheWindowRuleOnce() {
        start();
        f->window().preferences().OwnCall.clear();
        window().show();
        window().List1->setCurrentRow(3); // the packet engine, with no call to register
        f->prompts.clear();
        QTest::keyClick(window().List1, Qt::Key_Escape);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).at(0).title, QStringLiteral("Call Sign Required!"));
        QVERIFY(window().isVisible());

        // A TNC whose port cannot be opened, Esc on a serial option.
        window().List1->setCurrentRow(1);
        m_map->setMappedPath(5, m_dir->filePath(QStringLiteral("no-such-port")));
        window().tncOptions().optComm.at(4)->click();
        f->prompts.clear();
        QTest::keyClick(window().tncOptions().optBaud.at(0), Qt::Key_Escape);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).at(0).title, QStringLiteral("Invalid Comm Settings."));
        QCOMPARE(f->prompts.callsOf(QStringLiteral("beep")).size(), 1);
    }

    void spotLastDoneAndTheLayout() {
        start(QByteArray("\"1\",\"2\"")); // damaged: the defaults stay
        f->window().contactLog().addLogged(
            {QStringLiteral("W1AW"), QStringLiteral("599"), QStringLiteral("1"), QStringLiteral("599"),
             QStringLiteral("CT"), QStringLiteral("2026/12/08"), QStringLiteral("14:00:00"),
             QStringLiteral("HI"), QStringLiteral("20"), 5, QString()},
            false);
        QWidget* score = f->window().findChild<QWidget*>(QStringLiteral("ListView1"));
        const QRect before = score->geometry();
        window().show();
        QTest::mouseClick(window().cmdSpotLast, Qt::LeftButton);
        QCOMPARE(window().txtSent->text(), QStringLiteral("DX Frequency in kHz W1AW"));
        QCOMPARE(window().txtSent->selectedText(), QStringLiteral("Frequency in kHz"));

        ClusterServer cluster;
        window().List1->setCurrentRow(2);
        window().txtTelnetHost->setText(QStringLiteral("127.0.0.1"));
        window().txtTelnetPort->setText(QString::number(cluster.port()));
        window().OptBand->setChecked(true);
        QTest::mouseClick(window().cmdDone, Qt::LeftButton);
        QVERIFY(!window().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(cluster.hasClient(), kWait);
        QCOMPARE(readWholeFile(f->workingFile(QStringLiteral("PackSpot.txt"))).value_or(QByteArray()),
                 settingsFile(QStringLiteral("Telnet"), QString::number(cluster.port()), 0, false)
                     .replace("\r\n5\r\n", "\r\n1\r\n"));
        QCOMPARE(desk().display(), SpotDesk::Display::BandMap);
        QVERIFY(desk().lblDX()->isVisible());
        QVERIFY(score->geometry().height() < before.height());
        QVERIFY(desk().lblDX()->geometry().top() >= score->geometry().bottom());

        // "List" switches the display; "None" gives the full layout back exactly.
        window().show();
        window().OptList->setChecked(true);
        QTest::mouseClick(window().cmdDone, Qt::LeftButton);
        QVERIFY(desk().txtDX()->isVisible());
        QVERIFY(!desk().lblDX()->isVisible());
        window().show();
        window().List1->setCurrentRow(0);
        QVERIFY(!window().Label4->isVisible());
        QTest::mouseClick(window().cmdDone, Qt::LeftButton);
        QCOMPARE(desk().display(), SpotDesk::Display::Off);
        QVERIFY(!desk().txtDX()->isVisible());
        QCOMPARE(score->geometry(), before);
    }
};

QTEST_MAIN(TestSpotWindow)
#include "tst_spotwindow.moc"
