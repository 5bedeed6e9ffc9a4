// The rig daemon's protocol and line without the daemon: answers split, decoded and
// counted however they arrive, mode names both ways, the set commands as steps, and the
// connection against a small stand-in server that refuses, answers slowly, closes
// mid-answer, babbles an endless line or refuses commands.
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/RigctldProtocol.h"
#include "rig/RigctldTransport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace ditlog;

namespace {
const QByteArray kFrequencyAnswer = "get_freq:\nFrequency: 14025000\nRPRT 0\n";
const QByteArray kModeAnswer = "get_mode:\nMode: CWR\nPassband: 500\nRPRT 0\n";

// A stand-in for rigctld on a loopback port: records every line, answers each through
// the handler (nothing: no answer).
class StandIn : public QObject {
public:
    std::function<QByteArray(const QByteArray&)> answer = [](const QByteArray& line) -> QByteArray {
        if (line == "+f") {
            return kFrequencyAnswer;
        }
        if (line == "+m") {
            return kModeAnswer;
        }
        return "RPRT 0\n";
    };
    QList<QByteArray> lines;
    QList<QTcpSocket*> clients;
    int connections = 0;

    bool listen(quint16 port = 0) {
        if (!server) {
            server = std::make_unique<QTcpServer>();
            connect(server.get(), &QTcpServer::newConnection, this, [this] { accept(); });
        }
        return server->listen(QHostAddress::LocalHost, port);
    }
    quint16 port() const { return server->serverPort(); }
    void stop() {
        server->close();
        for (QTcpSocket* c : std::as_const(clients)) {
            c->abort();
            c->deleteLater();
        }
        clients.clear();
    }
    void sendToAll(const QByteArray& bytes) {
        for (QTcpSocket* c : std::as_const(clients)) {
            if (c->state() == QAbstractSocket::ConnectedState) {
                c->write(bytes);
            }
        }
    }

private:
    void accept() {
        while (QTcpSocket* c = server->nextPendingConnection()) {
            ++connections;
            clients.append(c);
            auto partial = std::make_shared<QByteArray>();
            connect(c, &QTcpSocket::readyRead, this, [this, c, partial] {
                *partial += c->readAll();
                for (qsizetype end = partial->indexOf('\n'); end >= 0; end = partial->indexOf('\n')) {
                    const QByteArray line = partial->left(end);
                    partial->remove(0, end + 1);
                    lines.append(line);
                    c->write(answer(line));
                }
            });
        }
    }
    std::unique_ptr<QTcpServer> server;
};

RigSettings daemonSettings(quint16 port, const char* rate = "F") {
    RigSettings s;
    applyRigPreset(s, rigFamily(kRigctldRigType));
    s.networkHost = QStringLiteral("127.0.0.1");
    s.networkPort = port;
    s.pollRate = QLatin1String(rate);
    return s;
}

// A port nobody listens on.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
} // namespace

class TestRigctld : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandLines() {
        QCOMPARE(rigctldLine("f"), QByteArray("+f\n"));
        QCOMPARE(rigctldLine("+m"), QByteArray("+m\n"));
        // One command is one line: line ends and control characters typed into a query
        // box cannot smuggle in a second command.
        QCOMPARE(rigctldLine("f\r\nF 1\n"), QByteArray("+fF 1\n"));
        QCOMPARE(rigctldLine(QByteArray("\x1b f \x00", 5)), QByteArray("+f\n"));
        QCOMPARE(rigctldLine("  "), QByteArray());
        QVERIFY(rigctldLine(QByteArray(5000, 'x')).size() <= kRigctldMaxLine);
        QVERIFY(rigctldIsSetCommand("+F 14025000"));
        QVERIFY(rigctldIsSetCommand("+\\set_mode CW 0"));
        QVERIFY(!rigctldIsSetCommand("+f"));
        QVERIFY(!rigctldIsSetCommand("+\\get_freq"));
    }

    void pollDecodesTheDaemonsAnswers() {
        const RigQueries q{"f", "m"};
        const PollQueries sent = sendRigctldQueries(q, false, false);
        QCOMPARE(sent.writes, (QList<QByteArray>{"+f\n", "+m\n"}));
        QCOMPARE(sent.replies, 2);
        // An emptied mode query polls the frequency alone.
        QCOMPARE(sendRigctldQueries({"f", ""}, false, false).replies, 1);

        const QByteArray both = kFrequencyAnswer + kModeAnswer;
        const RigReading r = parseRigctldReply(both, q, false);
        QCOMPARE(r.frequency, std::optional(14.025));
        QCOMPARE(r.mode, std::optional(QStringLiteral("CW")));
        // Line ends from a daemon on another system.
        QByteArray crlf = both;
        crlf.replace("\n", "\r\n");
        QCOMPARE(parseRigctldReply(crlf, q, false), r);
        // A late answer before the new one: the newest value wins.
        const QByteArray stale = "get_freq:\nFrequency: 7025000\nRPRT 0\n";
        QCOMPARE(parseRigctldReply(stale + both, q, false).frequency, std::optional(14.025));
        // 144 MHz lands on the 10 Hz the log keeps.
        QCOMPARE(parseRigctldReply("get_freq:\nFrequency: 144174990.000000\nRPRT 0\n", q, false).frequency,
                 std::optional(144.17499));
    }

    void errorsAndGarbageDecodeNothing() {
        const RigQueries q{"f", "m"};
        const auto nothing = [&](const QByteArray& buffer) { return !parseRigctldReply(buffer, q, false).decodedAnything(); };
        QVERIFY(nothing("get_freq:\nRPRT -5\n"));                          // the radio timed out
        QVERIFY(nothing("get_freq:\nFrequency: 14025000\nRPRT -1\n"));     // error answer: not believed
        QVERIFY(nothing("get_freq:\nFrequency: 14025000\n"));              // no RPRT yet: incomplete
        QVERIFY(nothing("145000000\nFM\n15000\n"));                        // the plain protocol
        QVERIFY(nothing("get_freq:\nFrequency: abc\nRPRT 0\n"));
        QVERIFY(nothing("get_freq:\nFrequency: 0\nRPRT 0\n"));
        QVERIFY(nothing("get_freq:\nFrequency: 1\nRPRT 0\n")); // rounds to 0 MHz
        QVERIFY(nothing("get_freq:\nFrequency: -7000000\nRPRT 0\n"));
        QVERIFY(nothing("get_freq:\nFrequency: 1e30\nRPRT 0\n"));
        QVERIFY(nothing("get_freq:\nFrequency: nan\nRPRT 0\n"));
        QVERIFY(nothing("get_mode:\nMode: NONE\nPassband: 0\nRPRT 0\n"));
        QVERIFY(nothing("get_mode:\nMode: \x01\x02\nRPRT 0\n"));
        QVERIFY(nothing("RPRT x\nRPRT\n"));
        QCOMPARE(rigctldAnswerCount("RPRT x\nRPRT\nRPRT 0"), 0);
    }

    void answersSplitAnywhere() {
        const QByteArray both = kFrequencyAnswer + kModeAnswer;
        const PollQueries sent = sendRigctldQueries({"f", "m"}, false, false);
        for (qsizetype cut = 0; cut < both.size(); ++cut) {
            const QByteArray part = both.left(cut);
            QVERIFY2(!rigctldRepliesComplete(part, sent), part.constData());
            // Half an answer never gives a wrong frequency.
            const RigReading r = parseRigctldReply(part, {"f", "m"}, false);
            QVERIFY(!r.frequency || *r.frequency == 14.025);
        }
        QVERIFY(rigctldRepliesComplete(both, sent));
        QCOMPARE(splitRigctldAnswers(both).size(), 2);
        QCOMPARE(splitRigctldAnswers(both).at(1).command, QByteArray("get_mode"));
        QCOMPARE(splitRigctldAnswers("get_freq:\nRPRT -11\n").at(0).code, -11);
    }

    void modeNamesBothWays() {
        for (const char* cw : {"CW", "CWR", "cw"}) {
            QCOMPARE(rigctldLogMode(cw), std::optional(QStringLiteral("CW")));
        }
        for (const char* phone : {"USB", "LSB", "AM", "FM", "PKTUSB", "RTTY", "WFM"}) {
            QCOMPARE(rigctldLogMode(phone), std::optional(QStringLiteral("PH")));
        }
        QCOMPARE(rigctldLogMode(""), std::nullopt);
        QCOMPARE(rigctldLogMode("C W"), std::nullopt);
        const QList<std::pair<const char*, const char*>> words{
            {"CW", "CW"},   {"CW-R", "CWR"}, {"LSB", "LSB"},      {"USB", "USB"},     {"AM", "AM"},   {"FM", "FM"},
            {"RTTY", "RTTY"}, {"RTTY-R", "RTTYR"}, {"FSK", "RTTY"}, {"DIG", "PKTUSB"}, {"PKT", "PKTFM"}};
        for (const auto& [word, name] : words) {
            QCOMPARE(rigctldModeName(QLatin1String(word)), std::optional(QByteArray(name)));
        }
        QCOMPARE(rigctldModeName(QString()), std::nullopt);
        QCOMPARE(rigctldModeName(QStringLiteral("SSB")), std::nullopt);
        QCOMPARE(rigctldErrorText(-1), QStringLiteral("Invalid parameter"));
        QCOMPARE(rigctldErrorText(-99), QStringLiteral("Error -99"));
    }

    void setCommandsAsSteps() {
        QCOMPARE(rigctldHertz(14.025), std::optional<qint64>(14025000));
        QCOMPARE(rigctldHertz(144.2), std::optional<qint64>(144200000));
        QCOMPARE(rigctldHertz(1296.12345), std::optional<qint64>(1296123450));
        for (const double bad : {0.0, -7.0, 1e30, std::nan(""), std::numeric_limits<double>::infinity()}) {
            QCOMPARE(rigctldHertz(bad), std::nullopt);
            QVERIFY(!rigctldFrequencyCommand(bad, QStringLiteral("CW")));
        }

        const auto command = rigctldFrequencyCommand(14.025, QStringLiteral("CW"));
        QVERIFY(command);
        QCOMPARE(command->key, QStringLiteral("frequency"));
        QList<QByteArray> writes;
        QList<RigStep::Kind> kinds;
        for (const RigStep& step : command->steps) {
            kinds.append(step.kind);
            if (step.kind == RigStep::Kind::Write) {
                writes.append(step.bytes);
            }
        }
        // Mode first, its passband left alone (0, the normal width, only where -1 is
        // refused), then the frequency; each waited for; the poll paused around both.
        QCOMPARE(writes, (QList<QByteArray>{"+M CW -1\n", "+F 14025000\n"}));
        QCOMPARE(command->steps.at(2).alternative, QByteArray("+M CW 0\n"));
        QCOMPARE(kinds.first(), RigStep::Kind::StopPolling);
        QCOMPARE(kinds.last(), RigStep::Kind::ResumePolling);
        QCOMPARE(kinds.count(RigStep::Kind::Drain), 2);
        // A refused mode is told and the frequency still goes; a refused frequency ends it.
        QCOMPARE(command->reports.at(command->steps.at(2).report).title, QStringLiteral("Error Changing Mode"));
        QVERIFY(!command->reports.at(command->steps.at(2).report).endsCommand);
        QCOMPARE(command->reports.at(command->steps.at(4).report).title, QStringLiteral("Error Changing Frequency"));

        // No mode from the band plan (160 m, outside every row): the frequency alone.
        const auto alone = rigctldFrequencyCommand(1.83, QString());
        QCOMPARE(alone->steps.size(), 5);
        QCOMPARE(alone->steps.at(2).bytes, QByteArray("+F 1830000\n"));

        const auto mode = rigctldModeCommand(QStringLiteral("USB"));
        QCOMPARE(mode->steps.at(0).bytes, QByteArray("+M USB -1\n"));
        QCOMPARE(mode->steps.at(0).alternative, QByteArray("+M USB 0\n"));
        QVERIFY(!rigctldModeCommand(QStringLiteral("CW-X")));
    }

    // ---- the line ---------------------------------------------------------------------

    void connectsAndCountsAnswers() {
        StandIn daemon;
        QVERIFY(daemon.listen());
        RigctldTransport line;
        QSignalSpy status(&line, &RigTransport::statusChanged);
        QVERIFY(line.open(daemonSettings(daemon.port()), rigFamily(kRigctldRigType)));
        QVERIFY(line.isOpen());
        QVERIFY(!line.isReady());
        QCOMPARE(line.status(), QStringLiteral("Connecting to rigctld 127.0.0.1:%1").arg(daemon.port()));
        QVERIFY(!line.write("+f\n")); // not yet
        QTRY_VERIFY(line.isReady());
        QCOMPARE(line.status(), QStringLiteral("Connected to rigctld 127.0.0.1:%1").arg(daemon.port()));

        // Held back: the daemon answers only when told to.
        daemon.answer = [](const QByteArray&) { return QByteArray(); };
        QSignalSpy drained(&line, &RigTransport::drained);
        QVERIFY(line.write("+f\n+m\n"));
        QCOMPARE(line.awaitedAnswers(), 2);
        QTRY_COMPARE(daemon.lines.size(), 1); // one at a time
        QTest::qWait(50);
        QCOMPARE(daemon.lines.size(), 1);
        QVERIFY(line.bytesToWrite() > 0); // the poll waits for a slow daemon
        daemon.sendToAll(kFrequencyAnswer);
        QTRY_COMPARE(line.awaitedAnswers(), 1);
        QTRY_COMPARE(daemon.lines.size(), 2);
        QVERIFY(line.bytesToWrite() > 0);
        daemon.sendToAll(kModeAnswer.left(10));
        daemon.sendToAll(kModeAnswer.mid(10));
        QTRY_COMPARE(line.awaitedAnswers(), 0);
        QCOMPARE(line.bytesToWrite(), 0);
        QVERIFY(!drained.isEmpty());
        QCOMPARE(line.readAll(), kFrequencyAnswer + kModeAnswer);
        QVERIFY(line.takeRefusal().isEmpty());

        line.close();
        QVERIFY(!line.isOpen());
        QCOMPARE(line.status(), QString());
    }

    void refusedSetCommandsAreKept() {
        StandIn daemon;
        QVERIFY(daemon.listen());
        daemon.answer = [](const QByteArray& line) -> QByteArray {
            return line.startsWith("+F") ? "set_freq: 1\nRPRT -1\n" : "get_freq:\nRPRT -5\n";
        };
        RigctldTransport line;
        line.open(daemonSettings(daemon.port()), rigFamily(kRigctldRigType));
        QTRY_VERIFY(line.isReady());
        QVERIFY(line.write("+f\n"));
        QTRY_COMPARE(line.awaitedAnswers(), 0);
        QVERIFY(line.takeRefusal().isEmpty()); // a poll error is no refused command
        QVERIFY(line.write("+F 1\n"));
        QTRY_COMPARE(line.awaitedAnswers(), 0);
        QCOMPARE(line.takeRefusal(), QStringLiteral("rigctld refused \"F 1\": Invalid parameter (RPRT -1)"));
        QVERIFY(line.takeRefusal().isEmpty()); // told once
    }

    void absentDaemonIsDialledAgainWithGrowingPauses() {
        const quint16 port = closedPort();
        RigctldTransport line;
        QVERIFY(line.open(daemonSettings(port), rigFamily(kRigctldRigType)));
        QTRY_VERIFY(line.status().startsWith(QStringLiteral("rigctld not reachable")));
        QVERIFY(line.status().contains(QStringLiteral("127.0.0.1:%1").arg(port)));
        QVERIFY(line.isOpen());
        QVERIFY(!line.isReady());
        QCOMPARE(line.nextRetryMs(), 2 * RigctldTransport::kFirstRetryMs);
        QTRY_COMPARE_WITH_TIMEOUT(line.nextRetryMs(), 4 * RigctldTransport::kFirstRetryMs, 5000);

        // The daemon starts: the next attempt finds it, and the pause starts small again.
        StandIn daemon;
        QVERIFY(daemon.listen(port));
        QTRY_VERIFY_WITH_TIMEOUT(line.isReady(), 10000);
        QCOMPARE(line.nextRetryMs(), RigctldTransport::kFirstRetryMs);
        QCOMPARE(daemon.connections, 1);

        // The daemon goes away and comes back.
        daemon.stop();
        QTRY_VERIFY(!line.isReady());
        QVERIFY(daemon.listen(port));
        QTRY_VERIFY_WITH_TIMEOUT(line.isReady(), 10000);
        QCOMPARE(daemon.connections, 2);

        // Nothing can be dialled without a host.
        RigSettings noHost = daemonSettings(port);
        noHost.networkHost.clear();
        QVERIFY(!line.open(noHost, rigFamily(kRigctldRigType)));
        QVERIFY(!line.isOpen());
    }

    void closedMidAnswerOrEndlessLine() {
        StandIn daemon;
        QVERIFY(daemon.listen());
        RigctldTransport line;
        line.open(daemonSettings(daemon.port()), rigFamily(kRigctldRigType));
        QTRY_VERIFY(line.isReady());

        // Closed in the middle of the answer to a set command: the command hears of it.
        daemon.answer = [&daemon](const QByteArray&) {
            QTimer::singleShot(0, &daemon, [&daemon] { daemon.clients.first()->abort(); });
            return QByteArray("set_fr");
        };
        QSignalSpy drained(&line, &RigTransport::drained);
        QVERIFY(line.write("+F 7000000\n"));
        QTRY_VERIFY(line.status().contains(QStringLiteral("closed the connection")));
        QVERIFY(!drained.isEmpty()); // a waiting command goes on to hear of it
        QVERIFY(line.takeRefusal().contains(QStringLiteral("lost")));
        QCOMPARE(line.awaitedAnswers(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(line.isReady(), 10000);

        // An endless line: dropped at the bound, dialled again.
        daemon.answer = [](const QByteArray&) { return QByteArray(); };
        const int before = daemon.connections;
        for (int i = 0; i < 20; ++i) {
            daemon.sendToAll(QByteArray(1000, 'x'));
        }
        QTRY_VERIFY(line.status().contains(QStringLiteral("longer than")));
        QVERIFY(line.readAll().size() <= RigctldTransport::kMaxUnreadBytes);
        QTRY_VERIFY_WITH_TIMEOUT(daemon.connections > before && line.isReady(), 10000);
    }

    void pollThroughTheLinkFollowsAStandIn() {
        StandIn daemon;
        QVERIFY(daemon.listen());
        RigctldTransport line;
        SystemTimerClock clock;
        RigLink link(line, clock);
        link.setSettings(daemonSettings(daemon.port()));
        QList<double> reported;
        connect(&link, &RigLink::frequencyReported, this, [&](double mhz) { reported.append(mhz); });
        QCOMPARE(link.startPolling(), RigLink::StartResult::Polling);
        QTRY_VERIFY(!reported.isEmpty());
        QCOMPARE(reported.last(), 14.025);
        QCOMPARE(link.status().mode, QStringLiteral("CW"));

        // A slow daemon: answers after 300 ms at the 100 ms rate. Questions never pile
        // up: one at a time reaches the daemon.
        int waiting = 0;
        int mostWaiting = 0;
        daemon.answer = [&](const QByteArray& l) -> QByteArray {
            ++waiting;
            mostWaiting = std::max(mostWaiting, waiting);
            const QByteArray a = l == "+f" ? "get_freq:\nFrequency: 21025000\nRPRT 0\n" : kModeAnswer;
            QTimer::singleShot(300, &daemon, [&daemon, &waiting, a] {
                --waiting;
                daemon.sendToAll(a);
            });
            return QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(reported.last(), 21.025, 10000);
        QTest::qWait(1000);
        QCOMPARE(mostWaiting, 1);
        QVERIFY(link.isPolling());
        link.stopPolling();
    }

    void refusedFrequencyIsReportedOnce() {
        StandIn daemon;
        QVERIFY(daemon.listen());
        daemon.answer = [](const QByteArray& l) -> QByteArray {
            if (l.startsWith("+F")) {
                return "set_freq: 1\nRPRT -9\n";
            }
            return l == "+f" ? kFrequencyAnswer : l == "+m" ? kModeAnswer : QByteArray("RPRT 0\n");
        };
        RigctldTransport line;
        SystemTimerClock clock;
        RigLink link(line, clock);
        link.setSettings(daemonSettings(daemon.port(), "M"));
        QSignalSpy failed(&link, &RigLink::commandFailed);
        link.startPolling();
        QTRY_VERIFY(line.isReady());
        link.enqueue(*rigctldFrequencyCommand(14.025, QStringLiteral("CW")));
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("Error Changing Frequency"));
        QCOMPARE(failed.at(0).at(1).toString(),
                 QStringLiteral("rigctld refused \"F 14025000\": Command rejected by the rig (RPRT -9)"));
        QVERIFY(daemon.lines.contains("+M CW -1")); // the mode went first
        QVERIFY(!link.isPolling()); // as for any failed frequency change: Test again
        QTest::qWait(300);
        QCOMPARE(failed.size(), 1);
    }

    // A daemon that does not know the "no change" passband refuses -1: the mode goes
    // again with 0, nothing is reported, and later modes go with 0 at once.
    void olderDaemonGetsTheNormalPassband() {
        StandIn daemon;
        QVERIFY(daemon.listen());
        daemon.answer = [](const QByteArray& l) -> QByteArray {
            if (l.startsWith("+M ") && l.endsWith(" -1")) {
                return "set_mode: CW -1\nRPRT -1\n";
            }
            return l == "+f" ? kFrequencyAnswer : l == "+m" ? kModeAnswer : QByteArray("RPRT 0\n");
        };
        RigctldTransport line;
        SystemTimerClock clock;
        RigLink link(line, clock);
        link.setSettings(daemonSettings(daemon.port(), "M"));
        QSignalSpy failed(&link, &RigLink::commandFailed);
        QSignalSpy finished(&link, &RigLink::commandsFinished);
        link.startPolling();
        QTRY_VERIFY(line.isReady());
        link.enqueue(*rigctldFrequencyCommand(14.025, QStringLiteral("CW")));
        QTRY_COMPARE(finished.size(), 1);
        link.enqueue(*rigctldModeCommand(QStringLiteral("USB")));
        QTRY_COMPARE(finished.size(), 2);
        QList<QByteArray> sets;
        for (const QByteArray& l : std::as_const(daemon.lines)) {
            if (l.startsWith("+M") || l.startsWith("+F")) {
                sets.append(l);
            }
        }
        QCOMPARE(sets, (QList<QByteArray>{"+M CW -1", "+M CW 0", "+F 14025000", "+M USB 0"}));
        QCOMPARE(failed.size(), 0);
        QVERIFY(link.isPolling());
        link.stopPolling();
    }
};

QTEST_MAIN(TestRigctld)
#include "tst_rigctld.moc"
