// The three spot sources end to end over real transports: a Telnet cluster and an AGW
// Packet Engine on loopback TCP servers, and a TNC on a pseudo-terminal; opening,
// receiving, sending, the documented failure texts and opening again; each source going
// away in use and coming back.
#include "PseudoTerminal.h"
#include "SpotServers.h"
#include "TestDoubles.h"
#include "VoiceDoubles.h"
#include "log/StationPreferences.h"
#include "platform/AgwEngine.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TcpClient.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotMessages.h"
#include "spots/SpotSourceLink.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kWait = 15000;

QByteArray spotLine(int n) {
    return QStringLiteral("DX de W3LPL:    %1  %2 %3 1234Z\r\n")
        .arg(QString::number(14000.0 + n / 10.0, 'f', 1).rightJustified(8),
             QStringLiteral("K%1AB").arg(n).leftJustified(12), QStringLiteral("CQ").leftJustified(30))
        .toLatin1();
}

// The link with real transports and the far ends to play them.
struct Station {
    QTemporaryDir dir;
    QtSettingsStore settings{dir.filePath(QStringLiteral("s.ini"))};
    PortMap map{settings};
    QtSerialPort serial{map};
    QtTcpClient telnet;
    ClusterServer cluster;
    AgwServer engine;
    TcpAgwEngine agw{QStringLiteral("127.0.0.1"), engine.port()};
    ScriptedPrompts prompts;
    StationPreferences prefs;
    SpotSourceSettings source;
    SpotConsole console;
    SpotIntake intake{console};
    SpotSourceLink link{source, console, intake, serial, telnet, agw, prompts, prefs};
    QStringList calls;

    Station() {
        prefs.OwnCall = QStringLiteral("N0CALL");
        QObject::connect(&intake, &SpotIntake::spotPosted, &intake,
                         [this](const QString&, const QString& call) { calls.append(call); });
    }
    void openTelnet(quint16 port) {
        source.Source = SpotSource::Telnet;
        source.TelnetHost = QStringLiteral("127.0.0.1");
        source.TelnetPort = QString::number(port);
        link.OpenSource();
    }
    void openAgw() {
        source.Source = SpotSource::Agw;
        link.OpenSource();
    }
    QStringList messageTitles() const {
        QStringList titles;
        for (const PromptCall& c : prompts.callsOf(QStringLiteral("message"))) {
            titles.append(c.title);
        }
        return titles;
    }
};
} // namespace

class TestSpotSources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A TNC powered from the port: both lines low when the port opens, then the chosen
    // one raised; under RTS handshaking the driver keeps RTS and only DTR can power it.
    void tncPowerLines_data() {
        QTest::addColumn<QString>("power");
        QTest::addColumn<int>("handshake");
        QTest::addColumn<bool>("dtr");
        QTest::addColumn<bool>("rts");
        QTest::newRow("none") << "N" << 1 << false << false;
        QTest::newRow("RTS") << "R" << 1 << false << true;
        QTest::newRow("DTR") << "D" << 1 << true << false;
        QTest::newRow("DTR with Xon Xoff") << "D" << 2 << true << false;
        QTest::newRow("RTS under RTS handshaking") << "R" << 3 << false << false;
    }
    void tncPowerLines() {
        QFETCH(QString, power);
        QFETCH(int, handshake);
        QFETCH(bool, dtr);
        QFETCH(bool, rts);
        RecordingSerialPort tnc;
        QtTcpClient telnet;
        TcpAgwEngine agw;
        ScriptedPrompts prompts;
        StationPreferences prefs;
        SpotSourceSettings source;
        source.Source = SpotSource::Tnc;
        source.Port = 3;
        source.PowerLine = power;
        source.Handshake = handshake;
        SpotConsole console;
        SpotIntake intake(console);
        SpotSourceLink link(source, console, intake, tnc, telnet, agw, prompts, prefs);
        link.OpenSource();
        QVERIFY(link.tncPortOpen());
        QCOMPARE(tnc.events.first(), QStringLiteral("open 3"));
        QCOMPARE(tnc.dtr(), dtr);
        QCOMPARE(tnc.rts(), rts);
        QVERIFY(!console.text().contains(QLatin1String("refused")));
        link.CloseSource();
        QCOMPARE(tnc.events.last(), QStringLiteral("close"));
    }

    void telnetLogsInAndTakesEverySpotOnce() {
        Station st;
        st.openTelnet(st.cluster.port());
        QVERIFY(st.link.listening());
        QVERIFY(st.console.text().startsWith(
            QStringLiteral("Attempting connection to: 127.0.0.1:%1\r\n\r\n").arg(st.cluster.port())));
        QTRY_VERIFY_WITH_TIMEOUT(st.cluster.hasClient() && st.link.telnetConnected(), kWait);

        // Greeting with option negotiation and a prompt without a line end: one answer.
        st.cluster.send(QByteArray("\xFF\xFB\x01\xFF\xFD\x18Welcome\x07 to the test node\r\n", 34));
        st.cluster.send("Please enter your call: ");
        QTRY_VERIFY_WITH_TIMEOUT(st.cluster.received().contains("N0CALL\r\n"), kWait);
        QVERIFY(st.cluster.received().startsWith(QByteArray("\xFF\xFE\x01\xFF\xFC\x18", 6)));
        QVERIFY(st.console.text().contains(QLatin1String("Welcome to the test node")));
        QVERIFY(!st.console.text().contains(QChar(0x07)));
        // A prompt again: no second answer; the prompt ends once it has sat for a tick.
        st.cluster.send("login: ");
        QTest::qWait(1000);
        QCOMPARE(st.cluster.received().count("N0CALL"), 1);

        // 300 spots: packed several to a write, split inside lines, with stray bytes.
        QByteArray all;
        for (int i = 0; i < 300; ++i) {
            all += spotLine(i);
        }
        all.replace("  CQ", QByteArray("\x1B[32m  CQ\x1B[0m"));
        for (qsizetype at = 0; at < all.size();) {
            const qsizetype n = 1 + (at * 7919) % 700; // from one byte to ten lines
            st.cluster.send(all.mid(at, n));
            at += n;
        }
        QTRY_COMPARE_WITH_TIMEOUT(st.calls.size(), 300, kWait);
        for (int i = 0; i < 300; ++i) {
            QCOMPARE(st.calls.at(i), QStringLiteral("K%1AB").arg(i));
        }

        // Typed lines go out with CR LF.
        st.link.SendLine(QStringLiteral("sh/dx"));
        QTRY_VERIFY_WITH_TIMEOUT(st.cluster.received().endsWith("sh/dx\r\n"), kWait);

        // Without reconnecting, the cluster closing after a last spot: the spot counts,
        // then the documented text.
        st.link.setReconnect(false);
        st.cluster.send(spotLine(999));
        st.cluster.closeClient();
        QTRY_VERIFY_WITH_TIMEOUT(!st.link.listening(), kWait);
        QCOMPARE(st.calls.last(), QStringLiteral("K999AB"));
        QVERIFY(st.console.text().endsWith(
            QStringLiteral("ERROR: Socket has been shut down.\r\n\r\n** Port Closed **")));
        QCOMPARE(st.prompts.beeps(), 1);

        // Opening again connects again.
        st.link.OpenSource();
        QTRY_COMPARE_WITH_TIMEOUT(st.cluster.connections(), 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(st.link.telnetConnected(), kWait);
        st.link.CloseSource();
        QVERIFY(!st.link.telnetConnected());
    }

    // The cluster drops the connection in the middle of a line; later it goes down and
    // comes back on its port. The link dials again (growing pauses while it is down),
    // answers the login again and takes every spot of the new connection; the loss and
    // the return are told once each, with one beep per loss and no message box.
    void clusterThatDropsIsDialledAgain() {
        Station st;
        QSignalSpy notices(&st.link, &SpotSourceLink::sourceNotice);
        st.openTelnet(st.cluster.port());
        QTRY_VERIFY_WITH_TIMEOUT(st.link.telnetConnected(), kWait);
        st.cluster.send("login: ");
        QTRY_COMPARE_WITH_TIMEOUT(st.cluster.received().count("N0CALL\r\n"), 1, kWait);
        st.cluster.send(spotLine(1) + spotLine(2).left(30));
        QTRY_COMPARE_WITH_TIMEOUT(st.calls, QStringList{QStringLiteral("K1AB")}, kWait);
        st.cluster.closeClient();
        QTRY_COMPARE_WITH_TIMEOUT(st.cluster.connections(), 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(st.link.telnetConnected(), kWait);
        QVERIFY(st.link.listening());
        QVERIFY(st.console.text().contains(
            QStringLiteral("** Connecting again to 127.0.0.1:%1 **").arg(st.cluster.port())));
        QTRY_VERIFY_WITH_TIMEOUT(st.console.text().contains(QLatin1String("** Connected again to")), kWait);
        // The new connection's prompt is answered again, and no spot after it joins what
        // the old connection left unfinished.
        st.cluster.send("Please enter your call: ");
        QTRY_COMPARE_WITH_TIMEOUT(st.cluster.received().count("N0CALL\r\n"), 2, kWait);
        QByteArray spots;
        for (int i = 100; i < 200; ++i) {
            spots += spotLine(i);
        }
        st.cluster.send(spots);
        QTRY_COMPARE_WITH_TIMEOUT(st.calls.size(), 101, kWait);
        for (int i = 100; i < 200; ++i) {
            QCOMPARE(st.calls.at(i - 99), QStringLiteral("K%1AB").arg(i));
        }

        // Down for a while: the attempts are refused quietly, further and further apart.
        st.cluster.stopListening();
        QTRY_COMPARE_WITH_TIMEOUT(st.link.networkRecovery().state(), LinkState::Retrying, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(st.link.networkRecovery().pendingPauseMs() >= 2000, kWait);
        QVERIFY(st.cluster.listenAgain());
        QTRY_VERIFY_WITH_TIMEOUT(st.link.telnetConnected(), 4 * kWait);
        st.cluster.send(spotLine(500));
        QTRY_COMPARE_WITH_TIMEOUT(st.calls.last(), QStringLiteral("K500AB"), kWait);
        QCOMPARE(st.console.text().count(QLatin1String("Trying again.")), 1);
        QCOMPARE(st.console.text().count(QLatin1String("** Connected again to")), 2);
        QCOMPARE(st.prompts.beeps(), 2);
        QVERIFY(st.messageTitles().isEmpty());
        QCOMPARE(notices.size(), 4); // gone, back, gone, back

        // Closed by the operator: no more attempts.
        st.link.CloseSource();
        QCOMPARE(st.link.networkRecovery().state(), LinkState::Closed);
        const int connections = st.cluster.connections();
        QTest::qWait(1200);
        QCOMPARE(st.cluster.connections(), connections);
    }

    void telnetFailuresAndSending() {
        Station st;
        // Nobody listens on the port: refused.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 closedPort = probe.serverPort();
        probe.close();
        st.openTelnet(closedPort);
        // Typing before the connection stands.
        st.link.SendLine(QStringLiteral("hello"));
        QVERIFY(st.console.text().contains(SpotText::NotYetEstablished));
        QTRY_VERIFY_WITH_TIMEOUT(!st.link.listening(), kWait);
        QVERIFY(st.console.text().contains(
            QLatin1String("ERROR: Connection is forcefully rejected.\r\n\r\n** Port Closed **")));
        // A port that is no number never connects.
        st.source.TelnetPort = QStringLiteral("telnet");
        st.link.OpenSource();
        QVERIFY(!st.link.listening());
        QVERIFY(st.console.text().contains(QLatin1String("ERROR: The specified port is not supported.")));
        // The login answer can be switched off.
        st.link.setAutoLogin(false);
        st.openTelnet(st.cluster.port());
        QTRY_VERIFY_WITH_TIMEOUT(st.link.telnetConnected(), kWait);
        st.cluster.send("login: ");
        QTRY_VERIFY_WITH_TIMEOUT(st.console.text().endsWith(QLatin1String("login: ")), kWait);
        QTest::qWait(200);
        QVERIFY(st.cluster.received().isEmpty());
    }

    void socketErrorTexts() {
        QCOMPARE(socketErrorText(10060), QStringLiteral("ERROR: Socket has been shut down."));
        QCOMPARE(socketErrorText(10054), QStringLiteral("ERROR: The connection is reset by remote side.!"));
        QCOMPARE(socketErrorText(12345), QStringLiteral("Error number 12345"));
        QCOMPARE(winsockCodeFor(QAbstractSocket::ConnectionRefusedError), 10061);
        QCOMPARE(winsockCodeFor(QAbstractSocket::HostNotFoundError), 11001);
        QCOMPARE(winsockCodeFor(QAbstractSocket::SocketTimeoutError), 10060);
        QCOMPARE(winsockCodeFor(QAbstractSocket::RemoteHostClosedError), 10058);
        QCOMPARE(winsockCodeFor(QAbstractSocket::UnknownSocketError), -1);
        QCOMPARE(socketErrorText(winsockCodeFor(QAbstractSocket::NetworkError)),
                 QStringLiteral("ERROR: The network cannot be reached from this host at this time."));
    }

    void agwRegistersMonitorsAndConnects() {
        Station st;
        st.openAgw();
        QTRY_VERIFY_WITH_TIMEOUT(st.link.timerRunning(), kWait);
        QVERIFY(st.console.text().contains(
            QLatin1String("** Successfully connected to AGW Packet Engine **")));
        QCOMPARE(st.engine.receivedOfKind('X').value(0).callFrom, QByteArray("N0CALL"));
        QTRY_COMPARE_WITH_TIMEOUT(st.engine.receivedOfKind('m').size(), 1, kWait);
        QCOMPARE(st.engine.receivedOfKind('G').size(), 1);

        // A burst of monitored spots is taken whole, not one frame a tick.
        for (int i = 0; i < 500; ++i) {
            st.engine.sendMonitored("N0DXC", "DX", spotLine(i).chopped(2));
        }
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.calls.size()), 500, kWait);

        // ":c call" connects, typed text is data, ":d" disconnects.
        st.link.SendAgwLine(QStringLiteral(":c n0dxc"));
        QTRY_COMPARE_WITH_TIMEOUT(st.engine.receivedOfKind('C').size(), 1, kWait);
        QCOMPARE(st.engine.receivedOfKind('C').at(0).callTo, QByteArray("N0DXC"));
        QCOMPARE(st.engine.receivedOfKind('G').size(), 2); // "P" goes out as "G"
        st.link.SendAgwLine(QStringLiteral("nobody listens"));
        QSignalSpy caption(&st.link, &SpotSourceLink::captionChanged);
        st.engine.sendFrame({0, 'C', 0, "N0DXC", "N0CALL", "*** CONNECTED To Station N0DXC\r"});
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.link.connectedStation()), QStringLiteral("N0DXC"), kWait);
        QCOMPARE(caption.last().at(0).toString(), QStringLiteral("DX Spotting Setup - Connected to N0DXC"));
        QVERIFY(st.console.text().contains(QLatin1String("** Connected to N0DXC **")));
        // A second connection does not replace the first.
        st.engine.sendFrame({0, 'C', 0, "K9ZZ", "N0CALL", "*** CONNECTED With Station K9ZZ\r"});
        st.link.SendAgwLine(QStringLiteral("sh/dx"));
        QTRY_COMPARE_WITH_TIMEOUT(st.engine.receivedOfKind('D').size(), 1, kWait);
        QCOMPARE(st.engine.receivedOfKind('D').at(0).data, QByteArray("sh/dx\r"));
        QCOMPARE(st.link.connectedStation(), QStringLiteral("N0DXC"));
        st.link.SendAgwLine(QStringLiteral(":D"));
        QTRY_COMPARE_WITH_TIMEOUT(st.engine.receivedOfKind('d').size(), 1, kWait);
        // A disconnect from another station changes nothing; from the station, it ends.
        st.engine.sendFrame({0, 'd', 0, "K9ZZ", "N0CALL", "*** DISCONNECTED From Station K9ZZ\r"});
        st.engine.sendFrame({0, 'd', 0, "N0DXC", "N0CALL", "*** DISCONNECTED From Station N0DXC\r"});
        QTRY_VERIFY_WITH_TIMEOUT((st.link.tick(), st.link.connectedStation().isEmpty()), kWait);
        QVERIFY(st.console.text().contains(QLatin1String("** Disconnected from N0DXC **")));
        // ":C" without a call asks for one and sends nothing.
        st.link.SendAgwLine(QStringLiteral(":C "));
        QCOMPARE(st.messageTitles(), QStringList{QStringLiteral("Call sign Required")});
    }

    void agwDamagedFramesAndAnEngineThatGoes() {
        Station st;
        st.openAgw();
        QTRY_VERIFY_WITH_TIMEOUT(st.link.timerRunning(), kWait);
        // A header claiming 2 GB, one claiming a negative length, then good frames.
        QByteArray bad = encodeAgwFrame({0, 'U', 0, "X", "Y", "zz"});
        bad[28] = char(0xFF);
        bad[29] = char(0xFF);
        bad[30] = char(0xFF);
        bad[31] = char(0x7F);
        QByteArray negative = encodeAgwFrame({0, 'U', 0, "X", "Y", {}});
        negative[31] = char(0x80);
        st.engine.sendRaw(bad + negative + QByteArray(5000, '\x55'));
        st.engine.sendMonitored("N0DXC", "DX", spotLine(1).chopped(2));
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.calls.size()), 1, kWait);
        QVERIFY(st.console.text().contains(QLatin1String("damaged frame")));
        // The engine goes away in the middle of a frame: registered again on a new
        // connection, where no byte of the old frame remains; told once, one beep.
        st.engine.sendRaw(encodeAgwFrame({0, 'U', 0, "N0DXC", "DX", QByteArray(300, 'a')}).left(100));
        st.engine.closeClient();
        QTRY_COMPARE_WITH_TIMEOUT(st.engine.receivedOfKind('X').size(), 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            st.console.text().contains(QLatin1String("** Connected again to the AGW Packet Engine **")), kWait);
        QVERIFY(st.console.text().contains(QLatin1String("** The AGW Packet Engine closed the connection")));
        QVERIFY(st.link.listening());
        QCOMPARE(st.engine.receivedOfKind('m').size(), 2); // monitoring on for the new connection
        st.engine.sendMonitored("N0DXC", "DX", spotLine(2).chopped(2));
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.calls.size()), 2, kWait);
        QCOMPARE(st.calls.last(), QStringLiteral("K2AB"));

        // The engine stops and starts again on its port: found again, quietly meanwhile.
        st.engine.stopListening();
        QTRY_COMPARE_WITH_TIMEOUT(st.link.networkRecovery().state(), LinkState::Retrying, kWait);
        QTest::qWait(1600);
        QVERIFY(st.engine.listenAgain());
        QTRY_COMPARE_WITH_TIMEOUT(st.engine.receivedOfKind('X').size(), 3, 4 * kWait);
        st.engine.sendMonitored("N0DXC", "DX", spotLine(3).chopped(2));
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.calls.size()), 3, kWait);
        QCOMPARE(st.prompts.beeps(), 2);
        QVERIFY(st.messageTitles().isEmpty());
        QCOMPARE(st.console.text().count(QLatin1String("Trying again.")), 1);
    }

    void agwRefusalsAndNoCall() {
        Station st;
        st.prefs.OwnCall = QStringLiteral("  ");
        st.openAgw();
        QCOMPARE(st.messageTitles(), QStringList{QStringLiteral("Call Sign Required!")});
        QVERIFY(!st.link.listening());
        QCOMPARE(st.prompts.beeps(), 1);

        st.prefs.OwnCall = QStringLiteral("N0CALL");
        st.engine.setRegistrationAnswer(0);
        st.openAgw();
        QTRY_VERIFY_WITH_TIMEOUT(!st.link.listening(), kWait);
        QCOMPARE(st.messageTitles().last(), QStringLiteral("Unable to connect to the AGW Packet Engine."));
        QVERIFY(st.console.text().endsWith(QLatin1String("- Click Open from this program.\r\n\r\n")));
        QVERIFY(!st.link.timerRunning());

        // No engine at all.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        TcpAgwEngine absent(QStringLiteral("127.0.0.1"), probe.serverPort());
        probe.close();
        QSignalSpy failed(&absent, &AgwEngine::startFailed);
        absent.AGWStartPoll(QStringLiteral("N0CALL"), QStringLiteral("Ditlog"));
        QVERIFY(failed.wait(kWait));
        QVERIFY(!absent.isRegistered());
    }

    void tncOverAPseudoTerminal() {
        Station st;
        PseudoTerminal tnc(st.dir.filePath(QStringLiteral("ttyTNC")));
        QVERIFY(tnc.isValid());
        st.map.setMappedPath(5, tnc.devicePath());
        st.source.Source = SpotSource::Tnc;
        st.source.Port = 5;
        st.source.Handshake = 1;
        st.source.PowerLine = QStringLiteral("N");
        st.link.OpenSource();
        QVERIFY(st.link.tncPortOpen());
        QVERIFY(st.console.text().endsWith(QLatin1String("** TNC Serial Port Open **\r\n\r\n")));
        QVERIFY(st.link.timerRunning());

        // The TNC in monitor mode: lines in pieces, a repeat, a CR-only line end.
        tnc.send("cmd:MONITOR ON\r\n" + spotLine(1).left(40));
        QTRY_VERIFY_WITH_TIMEOUT((st.link.tick(), st.console.text().contains(QLatin1String("MONITOR ON"))), kWait);
        QVERIFY(st.calls.isEmpty());
        tnc.send(spotLine(1).mid(40) + spotLine(1) + spotLine(2).replace("\r\n", "\r"));
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.calls),
                                  (QStringList{QStringLiteral("K1AB"), QStringLiteral("K2AB")}), kWait);

        // Typed lines end in CR; Esc or Ctrl+C sends the command character alone.
        st.link.SendLine(QStringLiteral("MYCALL N0CALL"));
        QVERIFY(st.link.sendCommandCharacter(QStringLiteral("03")));
        QTRY_COMPARE_WITH_TIMEOUT(tnc.received(), QByteArray("MYCALL N0CALL\r\x03"), kWait);

        // The TNC's port goes away with half a line sent: told once while the port is
        // looked for, and used again when it is back under its name.
        tnc.send(spotLine(3).left(30));
        QTest::qWait(100);
        st.link.tick();
        tnc.hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(st.console.text().contains(QLatin1String("** The TNC serial port is gone")), kWait);
        QVERIFY(st.link.listening());
        QTest::qWait(700);
        st.link.SendLine(QStringLiteral("MYCALL N0CALL")); // nothing there to take it
        QVERIFY(!st.link.sendCommandCharacter(QStringLiteral("03")));
        QCOMPARE(st.console.text().count(QLatin1String("is gone")), 1);
        QVERIFY(tnc.plugIn());
        QTRY_VERIFY_WITH_TIMEOUT(st.console.text().contains(QLatin1String("** The TNC serial port is back **")), kWait);
        QVERIFY(st.link.tncPortOpen());
        tnc.send(spotLine(4));
        QTRY_COMPARE_WITH_TIMEOUT((st.link.tick(), st.calls.size()), 3, kWait);
        QCOMPARE(st.calls.last(), QStringLiteral("K4AB"));
        QCOMPARE(st.prompts.beeps(), 1);
        QVERIFY(st.messageTitles().isEmpty());
        QCOMPARE(tnc.received(), QByteArray("MYCALL N0CALL\r\x03"));
    }

    void tncPortThatCannotOpen() {
        Station st;
        st.map.setMappedPath(7, st.dir.filePath(QStringLiteral("no-such-device")));
        st.source.Source = SpotSource::Tnc;
        st.source.Port = 7;
        st.link.OpenSource();
        QVERIFY(!st.link.listening());
        QVERIFY(!st.link.timerRunning());
        QVERIFY(st.console.text().contains(QLatin1String("** Unable to open TNC Serial Port **")));
        QVERIFY(st.console.text().endsWith(QLatin1String("** Port Closed **")));
        QCOMPARE(st.messageTitles(), QStringList{QStringLiteral("Invalid Comm Settings.")});
        QCOMPARE(st.prompts.beeps(), 1);
        QVERIFY(!st.link.sendCommandCharacter(QStringLiteral("03")));
    }
};

QTEST_GUILESS_MAIN(TestSpotSources)
#include "tst_spotsources.moc"
