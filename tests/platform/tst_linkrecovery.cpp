// The state machine every link uses to come back after a loss, on a clock moved by hand:
// each change told once, attempts after growing pauses with a ceiling, a fresh start
// after a return, and nothing more once the operator has closed the link.
#include "RigDoubles.h"
#include "platform/LinkRecovery.h"

#include <QSignalSpy>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
// A link whose attempts fail until it is told the device is back; it notes when each
// attempt was made.
struct Owner {
    ManualTimerClock clock;
    LinkRecovery recovery;
    QList<double> attemptsAt;
    QList<LinkState> states;
    bool deviceBack = false;

    explicit Owner(LinkRecovery::Pauses pauses) : recovery(pauses, clock) {
        QObject::connect(&recovery, &LinkRecovery::stateChanged,
                         [this](LinkState state, const QString&) { states.append(state); });
        QObject::connect(&recovery, &LinkRecovery::retryDue, [this] {
            attemptsAt.append(clock.nowMs());
            if (deviceBack) {
                recovery.opened();
            } else {
                recovery.attemptFailed(QStringLiteral("no such device"));
            }
        });
    }
    void openByOperator() {
        recovery.opening();
        recovery.opened();
        states.clear();
    }
};
} // namespace

class TestLinkRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A device: attempts 250, 500, 1000 and then every 1000 ms after the loss, so one
    // that returns is found within a second; every state told once.
    void deviceLostAndBack() {
        Owner o(LinkRecovery::kDevicePauses);
        o.openByOperator();
        o.clock.advanceMs(5000);
        QVERIFY(o.attemptsAt.isEmpty()); // an open link is left alone
        o.recovery.lost(QStringLiteral("Input/output error"));
        o.recovery.lost(QStringLiteral("read error")); // the same loss reported again
        QCOMPARE(o.recovery.reason(), QStringLiteral("Input/output error"));
        o.clock.advanceMs(4750);
        QCOMPARE(o.attemptsAt, QList<double>({5250, 5750, 6750, 7750, 8750, 9750}));
        QCOMPARE(o.states, QList<LinkState>({LinkState::Lost, LinkState::Retrying}));
        QCOMPARE(o.recovery.reason(), QStringLiteral("no such device"));
        o.deviceBack = true;
        o.clock.advanceMs(1000);
        QCOMPARE(o.attemptsAt.size(), 7);
        QCOMPARE(o.states.last(), LinkState::Open);
        // The next loss starts from the first pause again.
        o.attemptsAt.clear();
        o.deviceBack = false;
        o.recovery.lost(QStringLiteral("gone again"));
        o.clock.advanceMs(800);
        QCOMPARE(o.attemptsAt, QList<double>({11000, 11500}));
    }

    void networkPausesGrowToTheirCeiling() {
        Owner o(LinkRecovery::kNetworkPauses);
        o.openByOperator();
        o.recovery.lost(QStringLiteral("closed by the peer"));
        o.clock.advanceMs(40000);
        QList<double> pauses;
        double before = 0;
        for (const double at : std::as_const(o.attemptsAt)) {
            pauses.append(at - before);
            before = at;
        }
        QCOMPARE(pauses.mid(0, 7), QList<double>({500, 1000, 2000, 4000, 8000, 8000, 8000}));
    }

    // Only an open link is recovered; closing ends the attempts; the operator's use asks
    // at once, but never while an attempt runs.
    void closingOpeningAndUse() {
        Owner o(LinkRecovery::kDevicePauses);
        o.recovery.lost(QStringLiteral("never opened"));
        o.recovery.opening();
        o.recovery.lost(QStringLiteral("failed while opening")); // the opening's own failure
        o.clock.advanceMs(3000);
        QVERIFY(o.attemptsAt.isEmpty());
        QCOMPARE(o.recovery.state(), LinkState::Opening);

        o.openByOperator();
        const double lostAt = o.clock.nowMs();
        o.recovery.lost(QStringLiteral("unplugged"));
        o.clock.advanceMs(100);
        o.recovery.retryNow();
        QCOMPARE(o.attemptsAt, QList<double>({lostAt + 100}));
        o.clock.advanceMs(500); // the failed use counts as the first attempt
        QCOMPARE(o.attemptsAt, QList<double>({lostAt + 100, lostAt + 600}));
        o.recovery.close();
        QCOMPARE(o.recovery.state(), LinkState::Closed);
        o.recovery.retryNow();
        o.clock.advanceMs(10000);
        QCOMPARE(o.attemptsAt.size(), 2);

        // An attempt that answers later (a connection): no second one meanwhile.
        LinkRecovery slow(LinkRecovery::kNetworkPauses, o.clock);
        int due = 0;
        connect(&slow, &LinkRecovery::retryDue, this, [&due] { ++due; });
        slow.opening();
        slow.opened();
        slow.lost(QStringLiteral("reset by peer"));
        o.clock.advanceMs(600);
        slow.retryNow();
        o.clock.advanceMs(30000);
        QCOMPARE(due, 1);
        slow.attemptFailed(QStringLiteral("refused"));
        QCOMPARE(slow.pendingPauseMs(), 1000);
        slow.retryNow();
        QCOMPARE(due, 2);
    }
};

QTEST_GUILESS_MAIN(TestLinkRecovery)
#include "tst_linkrecovery.moc"
