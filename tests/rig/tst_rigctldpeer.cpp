// "Hamlib rigctld" against the real daemon with its dummy radio: an operator sets it up in
// the rig window, the main window's band follows what rigctl does to the radio, the
// frequency commands move the radio (read back with rigctl), and the link rides out the
// daemon stopping and starting again. The radio's keyer (send_morse, stop_morse, the
// KEYSPD level) and its transmit switch (T, read back with rigctl t) through the daemon.
#include "HamlibPeer.h"
#include "MainWindowFixture.h"
#include "Peers.h"
#include "app/MainWindowRig.h"
#include "app/StationRadio.h"
#include "rig/RigctldProtocol.h"
#include "rig/windows/RigControlWindow.h"
#include "rig/windows/RigNetworkOptions.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kLong = 20000;
}

class TestRigctldPeer : public QObject {
    Q_OBJECT

    std::unique_ptr<HamlibPeer> peer;
    std::unique_ptr<MainWindowFixture> f;

    RigControlWindow& rigWindow() { return f->window().rig().window(); }
    QString status() { return rigWindow().networkOptions().lblRigctldStatus->text(); }
    QString radio(const char* query) {
        const auto out = peer->rigctl({QLatin1String(query)});
        return out ? out->section(QLatin1Char('\n'), 0, 0) : QStringLiteral("(rigctl failed)");
    }

    // The operator picks the daemon, types its port, picks 100 ms and clicks Test.
    void startDaemonRig(quint16 port) {
        RigControlWindow& w = rigWindow();
        w.show();
        w.List1->setCurrentRow(w.List1->count() - 1);
        QCOMPARE(w.List1->currentItem()->text(), QStringLiteral("Hamlib rigctld"));
        RigNetworkOptions& net = w.networkOptions();
        QVERIFY(net.txtRigctldHost->isVisible());
        QCOMPARE(net.txtRigctldHost->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(net.txtRigctldPort->value(), 4532);
        // The serial options give way; the poll rate stays.
        QVERIFY(!w.findChild<QRadioButton*>(QStringLiteral("optComm4"))->isVisible());
        QVERIFY(!w.findChild<QRadioButton*>(QStringLiteral("optBaud4800"))->isVisible());
        QVERIFY(!w.txtPortDevice->isVisible());
        QCOMPARE(w.txtFreq->text(), QStringLiteral("f"));
        QCOMPARE(w.txtMode->text(), QStringLiteral("m"));
        net.txtRigctldPort->setFocus();
        net.txtRigctldPort->selectAll();
        QTest::keyClicks(net.txtRigctldPort, QString::number(port));
        QTest::keyClick(net.txtRigctldPort, Qt::Key_Tab);
        QCOMPARE(net.txtRigctldPort->value(), int(port));
        w.findChild<QRadioButton*>(QStringLiteral("optPollF"))->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.polling());
    }

private Q_SLOTS:
    void init() {
        if (const QString missing = HamlibPeer::missingPrograms(false); !missing.isEmpty()) {
            SKIP_OR_FAIL_WITHOUT_PEER(missing);
        }
        peer = std::make_unique<HamlibPeer>();
        QVERIFY2(peer->startDaemon(), qPrintable(peer->why()));
        f = std::make_unique<MainWindowFixture>();
        f->startUp();
        f->prompts.clear(); // the start-up questions
    }

    void cleanup() {
        f.reset();
        peer.reset();
    }

    void bandFollowsAndCommandsMoveTheRadio() {
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("7025000")}));
        QVERIFY(peer->rigctl({QStringLiteral("M"), QStringLiteral("USB"), QStringLiteral("0")}));
        startDaemonRig(quint16(peer->daemonPort()));
        RigControlWindow& w = rigWindow();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Connected to rigctld 127.0.0.1:%1").arg(peer->daemonPort()), kLong);
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("40"), kLong);
        QTRY_COMPARE(w.lblFreq->text(), QStringLiteral("7.02500"));
        QCOMPARE(w.lblMode->text(), QStringLiteral("PH"));

        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("14025000")}));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("20"), kLong);
        QVERIFY(peer->rigctl({QStringLiteral("M"), QStringLiteral("CW"), QStringLiteral("0")}));
        QTRY_COMPARE_WITH_TIMEOUT(w.lblMode->text(), QStringLiteral("CW"), kLong);

        // A spot or the tune panel: the band plan picks the mode, both reach the radio.
        f->window().rig().ChangeFrequency(21.3);
        QTRY_COMPARE_WITH_TIMEOUT(radio("f"), QStringLiteral("21300000"), kLong);
        QTRY_COMPARE_WITH_TIMEOUT(radio("m"), QStringLiteral("USB"), kLong);
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("15"), kLong);
        f->window().rig().ChangeFrequency(3.525);
        QTRY_COMPARE_WITH_TIMEOUT(radio("f"), QStringLiteral("3525000"), kLong);
        QTRY_COMPARE_WITH_TIMEOUT(radio("m"), QStringLiteral("CW"), kLong);
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("80"), kLong);
        QVERIFY(w.polling()); // polling went on after the commands
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).isEmpty());

        // Done stores the daemon after the fourteen values every reader knows.
        QTest::mouseClick(w.cmdDone, Qt::LeftButton);
        QFile file(f->workingFile(QStringLiteral("RigCntrl.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.at(10).trimmed(), QByteArray("\"Hamlib rigctld\""));
        QCOMPARE(lines.at(15).trimmed(), QByteArray("\"127.0.0.1\""));
        QCOMPARE(lines.at(16).trimmed(), QByteArray::number(peer->daemonPort()));
    }

    // The operator's CW filter (250 Hz, not the dummy's normal 500 Hz) survives a spot
    // click, read back once the daemon's mode cache has expired.
    void spotClickKeepsTheFilter() {
        QVERIFY(peer->rigctl({QStringLiteral("M"), QStringLiteral("CW"), QStringLiteral("250")}));
        startDaemonRig(quint16(peer->daemonPort()));
        QTRY_COMPARE_WITH_TIMEOUT(rigWindow().lblMode->text(), QStringLiteral("CW"), kLong);
        f->window().rig().ChangeFrequency(14.03); // CW by the band plan
        QTRY_COMPARE_WITH_TIMEOUT(radio("f"), QStringLiteral("14030000"), kLong);
        QTest::qWait(700);
        const auto mode = peer->rigctl({QStringLiteral("m")});
        QVERIFY(mode);
        QCOMPARE(mode->split(QLatin1Char('\n')).mid(0, 2), QStringList({"CW", "250"}));
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).isEmpty());
    }

    void daemonRestartsAndTheLinkComesBack() {
        startDaemonRig(quint16(peer->daemonPort()));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Connected to rigctld 127.0.0.1:%1").arg(peer->daemonPort()), kLong);
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("28025000")}));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("10"), kLong);

        peer->stopDaemon();
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QStringLiteral("rigctld not reachable")), kLong);
        QCOMPARE(rigWindow().lblFreq->text(), QStringLiteral("No Response"));
        QVERIFY(rigWindow().polling()); // still trying: no error box, no stopped poll
        QVERIFY(rigWindow().Label2->isVisible());
        // A spot clicked meanwhile reaches no radio, and says so.
        f->window().rig().ChangeFrequency(14.025);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).at(0).title, QStringLiteral("Error Changing Frequency"));

        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).at(0).text.startsWith(QStringLiteral("rigctld not reachable")));
        QVERIFY(rigWindow().polling());

        // Started again: the link finds it by itself.
        QVERIFY2(peer->restartDaemon(), qPrintable(peer->why()));
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("7030000")}));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Connected to rigctld 127.0.0.1:%1").arg(peer->daemonPort()), kLong);
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("40"), kLong);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).size(), 1);
    }

    void absentDaemonAtTest() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        startDaemonRig(port);
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QStringLiteral("rigctld not reachable")), kLong);
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).isEmpty());
        QVERIFY(rigWindow().polling());
        QTest::mouseClick(rigWindow().Command2, Qt::LeftButton);
        QCOMPARE(status(), QString());
        QVERIFY(!rigWindow().polling());
    }

    // CW as text and transmit through the daemon as the keyers use them: the speed goes
    // first and is read back, the daemon takes the text and a stop, and transmit follows
    // T 1 and T 0, each done only once the daemon answered.
    void keyerAndTransmitThroughTheDaemon() {
        startDaemonRig(quint16(peer->daemonPort()));
        StationRadio& station = f->window().rig().radio();
        QTRY_VERIFY_WITH_TIMEOUT(station.cwUnavailable().isEmpty(), kLong);
        QVERIFY(station.cwKeyerMissing().isEmpty());
        QVERIFY(station.transmitSwitchMissing().isEmpty());

        std::optional<RadioKeying::CwAnswer> answer;
        QString why;
        station.sendCw(station.cwCharacters(QLatin1Char('C')) + "Q TEST", 27,
                       [&](RadioKeying::CwAnswer a, const QString& w) {
                           answer = a;
                           why = w;
                       });
        QTRY_VERIFY_WITH_TIMEOUT(answer.has_value(), kLong);
        QVERIFY2(*answer == RadioKeying::CwAnswer::Taken, qPrintable(why));
        const auto speed = peer->rigctl({QStringLiteral("l"), QStringLiteral("KEYSPD")});
        QVERIFY(speed.has_value());
        QCOMPARE(speed->section(QLatin1Char('\n'), 0, 0), QStringLiteral("27"));
        station.stopCw();

        std::optional<bool> on;
        station.setTransmit(true, [&](bool ok, const QString& w) {
            on = ok;
            why = w;
        });
        QTRY_VERIFY_WITH_TIMEOUT(on.has_value(), kLong);
        QVERIFY2(*on, qPrintable(why));
        QCOMPARE(radio("t"), QStringLiteral("1"));
        std::optional<bool> off;
        station.setTransmit(false, [&](bool ok, const QString&) { off = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(off.has_value(), kLong);
        QVERIFY(*off);
        QCOMPARE(radio("t"), QStringLiteral("0"));
        QVERIFY(rigWindow().polling()); // the poll went on beside them
        QVERIFY(f->prompts.callsOf(QStringLiteral("message")).isEmpty());

        // Transmit left on when the link stops is switched off before the line closes.
        on.reset();
        station.setTransmit(true, [&](bool ok, const QString&) { on = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(on.value_or(false), kLong);
        QCOMPARE(radio("t"), QStringLiteral("1"));
        f->window().rig().link().stopPolling();
        QTRY_COMPARE_WITH_TIMEOUT(radio("t"), QStringLiteral("0"), kLong);
    }
};

QTEST_MAIN(TestRigctldPeer)
#include "tst_rigctldpeer.moc"
