// The Morse table and the keying engine on a manual clock: patterns, unit lengths, word
// space, speeds that cannot be keyed, characters that key nothing, "!", line failures,
// schedules that continue across characters, and the line left key-up when stopped.
#include "InternationalMorse.h"
#include "KeyingDoubles.h"
#include "keyer/CwBuffer.h"
#include "keyer/KeyingEngine.h"
#include "keyer/MorseTable.h"

#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr qint64 kMs = 1'000'000;

// Dots and dashes of a pattern: "10111000" is ".-".
QString elements(const QString& pattern) {
    QString out;
    for (const QString& run : pattern.split(QLatin1Char('0'), Qt::SkipEmptyParts)) {
        out += run == QLatin1String("1") ? QLatin1Char('.') : run == QLatin1String("111") ? QLatin1Char('-') : QLatin1Char('?');
    }
    return out;
}

struct Rig {
    CwBuffer buffer;
    ManualKeyingClock clock;
    RecordingKeyingLine line{&clock};
    std::unique_ptr<KeyingEngine> engine = std::make_unique<KeyingEngine>(buffer, clock);
    std::function<bool()> idle = [this] { return !engine->sending(); };

    explicit Rig(double wpm = 20, int wordSpace = 0, TimingMethod method = TimingMethod::Timer) {
        KeyingParameters p;
        p.wpm = wpm;
        p.wordSpaceAdjust = wordSpace;
        p.method = method;
        engine->setParameters(p);
        engine->setLine(&line);
    }
    // Sends text to the end; the time it took in ns.
    qint64 send(const QString& text) {
        buffer.set(text);
        const qint64 t0 = clock.now();
        engine->start();
        clock.runUntilIdle(idle);
        return clock.now() - t0 - KeyingEngine::kStartLeadNs;
    }
    // The level of every unit from the first recorded change, as "1" and "0".
    QString unitLevels(qint64 unit, qint64 until) const {
        const auto changes = line.changes();
        QString out;
        if (changes.empty()) {
            return out;
        }
        const qint64 t0 = changes.front().ns;
        std::size_t next = 0;
        bool level = false;
        for (qint64 t = t0; t < until; t += unit) {
            while (next < changes.size() && changes[next].ns <= t) {
                level = changes[next++].down;
            }
            out += level ? QLatin1Char('1') : QLatin1Char('0');
        }
        return out;
    }
    // The events of the sends (the thread's start announces its priority first).
    std::vector<KeyingEvent> events() {
        std::vector<KeyingEvent> out;
        for (KeyingEvent& e : engine->takeEvents()) {
            if (e.kind != KeyingEvent::Kind::PriorityDecided) {
                out.push_back(std::move(e));
            }
        }
        return out;
    }
    QList<KeyingEvent::Kind> kinds() {
        QList<KeyingEvent::Kind> out;
        for (const KeyingEvent& e : events()) {
            out << e.kind;
        }
        return out;
    }
};
// Passes waits on to a manual clock and notes the longest spin asked for.
class SpanClock final : public KeyingClock {
public:
    explicit SpanClock(ManualKeyingClock& clock) : m_clock(clock) {}
    qint64 now() const override { return m_clock.now(); }
    void sleepUntil(qint64 deadline, const std::atomic<bool>& cancel) override {
        m_clock.sleepUntil(deadline, cancel);
    }
    void spinUntil(qint64 deadline, const std::atomic<bool>& cancel) override {
        qint64 span = deadline - m_clock.now();
        qint64 longest = m_longest.load();
        while (span > longest && !m_longest.compare_exchange_weak(longest, span)) {
        }
        m_clock.spinUntil(deadline, cancel);
    }
    void interrupt() override { m_clock.interrupt(); }
    qint64 longestSpin() const { return m_longest.load(); }

private:
    ManualKeyingClock& m_clock;
    std::atomic<qint64> m_longest{0};
};
} // namespace

class TestKeyingEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tableIsWellFormedMorse() {
        const QString all = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-=[];\\");
        for (const QChar c : all) {
            const QString p = MorseTable::ElementPattern(c);
            QVERIFY2(p.endsWith(QLatin1String("000")) && p.startsWith(QLatin1Char('1')), qPrintable(QString(c)));
            QVERIFY2(!p.contains(QLatin1String("0001")) && !p.contains(QLatin1String("1111")) &&
                         !elements(p).contains(QLatin1Char('?')),
                     qPrintable(QString(c)));
        }
        QCOMPARE(MorseTable::ElementPattern(QLatin1Char(' ')), QStringLiteral("00000000"));
        // Every character is the published international code, in either case.
        QCOMPARE(internationalMorse().size(), 45);
        for (const MorseCode& code : internationalMorse()) {
            QCOMPARE(MorseTable::ElementPattern(code.character), patternForDots(code.dots));
            QCOMPARE(MorseTable::ElementPattern(code.character.toLower()), patternForDots(code.dots));
        }
        QCOMPARE(MorseTable::ElementPattern(QLatin1Char('-')), patternForDots(QStringLiteral("-...-")));
        for (const QChar c : QStringLiteral("#*!\t\n\r\"%")) {
            QVERIFY(MorseTable::ElementPattern(c).isEmpty());
        }
        QCOMPARE(MorseTable::patternToKey(QLatin1Char(' '), -8), QString());
        QCOMPARE(MorseTable::patternToKey(QLatin1Char(' '), -20), QString());
        QCOMPARE(MorseTable::patternToKey(QLatin1Char(' '), 2).size(), 10);
        QCOMPARE(MorseTable::patternToKey(QLatin1Char('E'), 5), QStringLiteral("1000"));
        QCOMPARE(unitNanoseconds(20), 60 * kMs);
        QCOMPARE(unitNanoseconds(13), qint64(92'307'692));
        QCOMPARE(unitNanoseconds(0), qint64(0));
        QCOMPARE(unitNanoseconds(-5), qint64(0));
    }

    void unitsAndWordSpace_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("wordSpace");
        QTest::addColumn<int>("units");
        QTest::newRow("E") << "E" << 0 << 4;
        QTest::newRow("PARIS and a space") << "PARIS " << 0 << 54;
        QTest::newRow("lower case") << "paris " << 0 << 54;
        QTest::newRow("word space -8") << "E E" << -8 << 8;
        QTest::newRow("word space +2") << "E E" << 2 << 18;
        QTest::newRow("nothing keyed") << "#*\t\n" << 0 << 0;
        QTest::newRow("skipped between") << "E#E" << 0 << 8;
    }
    void unitsAndWordSpace() {
        QFETCH(QString, text);
        QFETCH(int, wordSpace);
        QFETCH(int, units);
        Rig rig(20, wordSpace);
        QCOMPARE(rig.send(text), units * 60 * kMs);
        QVERIFY(!rig.line.isDown());
        QVERIFY(rig.buffer.isEmpty());
    }

    void edgesFollowThePatternOnEveryMethod_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("Timer") << int(TimingMethod::Timer);
        QTest::newRow("Sleep") << int(TimingMethod::Sleep);
        QTest::newRow("Loop") << int(TimingMethod::Loop);
    }
    void edgesFollowThePatternOnEveryMethod() {
        QFETCH(int, method);
        Rig rig(25, 0, TimingMethod(method));
        const qint64 unit = 48 * kMs;
        const qint64 took = rig.send(QStringLiteral("CQ [-"));
        QString expected;
        for (const QChar c : QStringLiteral("CQ [-")) {
            expected += MorseTable::ElementPattern(c);
        }
        QCOMPARE(took, qint64(expected.size()) * unit);
        QCOMPARE(rig.unitLevels(unit, rig.clock.now() - 0), expected);
        const QList<KeyingEvent::Kind> kinds = rig.kinds();
        QCOMPARE(kinds.count(KeyingEvent::Kind::CharacterStarted), 5);
        QCOMPARE(kinds.last(), KeyingEvent::Kind::Finished);
    }

    void loopCalibrationScalesTheUnit() {
        Rig rig(20, 0, TimingMethod::Loop);
        KeyingParameters p = rig.engine->parameters();
        p.loopScale = 0.9; // "Speed up CW"
        rig.engine->setParameters(p);
        QCOMPARE(rig.send(QStringLiteral("E")), 4 * 54 * kMs);
    }

    void unkeyableSpeedsLeaveTheLineUp() {
        for (const double wpm : {0.0, -3.0}) {
            Rig rig(wpm);
            rig.send(QStringLiteral("CQ TEST"));
            QVERIFY(rig.line.edges().empty());
            QVERIFY(rig.buffer.isEmpty());
            QVERIFY(!rig.engine->sending());
            QCOMPARE(rig.kinds(), (QList<KeyingEvent::Kind>{KeyingEvent::Kind::SpeedRefused,
                                                            KeyingEvent::Kind::Finished}));
        }
    }

    void logContactCharacterKeysNothing() {
        Rig rig;
        QCOMPARE(rig.send(QStringLiteral("!E!")), 4 * 60 * kMs);
        const auto events = rig.events();
        QCOMPARE(events.size(), std::size_t(4));
        QCOMPARE(events[0].kind, KeyingEvent::Kind::LogContact);
        QCOMPARE(events[1].kind, KeyingEvent::Kind::CharacterStarted);
        QCOMPARE(events[1].remaining, QStringLiteral("!"));
        QCOMPARE(events[2].kind, KeyingEvent::Kind::LogContact);
    }

    void failingLineEndsTheDrain() {
        Rig rig;
        rig.line.setFailing(true);
        rig.send(QStringLiteral("TEST"));
        QVERIFY(rig.buffer.isEmpty());
        QVERIFY(!rig.line.isDown());
        const QList<KeyingEvent::Kind> kinds = rig.kinds();
        QVERIFY(kinds.contains(KeyingEvent::Kind::LineFailed));
        QCOMPARE(kinds.last(), KeyingEvent::Kind::Finished);
        // A working line keys the next send again.
        rig.line.setFailing(false);
        rig.line.clear();
        QCOMPARE(rig.send(QStringLiteral("E")), 4 * 60 * kMs);
        QCOMPARE(rig.line.changes().size(), std::size_t(2));
    }

    void textAddedDuringTheGapKeepsTheSchedule() {
        Rig rig;
        rig.buffer.set(QStringLiteral("E"));
        const qint64 t0 = rig.clock.now();
        rig.engine->start();
        rig.clock.settle(rig.idle);
        rig.clock.stepBy(100 * kMs, rig.idle); // inside E's three-unit gap
        QVERIFY(rig.engine->sending());
        rig.buffer.append(QStringLiteral("T"));
        QVERIFY(!rig.engine->start()); // the running drain takes it
        rig.clock.runUntilIdle(rig.idle);
        const auto changes = rig.line.changes();
        QCOMPARE(changes.size(), std::size_t(4));
        const qint64 start = changes[0].ns;
        QCOMPARE(start - t0, KeyingEngine::kStartLeadNs);
        QCOMPARE(changes[2].ns - start, 240 * kMs); // T starts where E's gap ends
        QCOMPARE(rig.clock.now() - start, (4 + 6) * 60 * kMs);
        // A drain started after the last one ended keys after its start lead.
        rig.line.clear();
        rig.buffer.set(QStringLiteral("E"));
        rig.engine->start();
        rig.clock.runUntilIdle(rig.idle);
        QCOMPARE(rig.line.changes().front().ns - start, 600 * kMs + KeyingEngine::kStartLeadNs);
    }

    // The keying thread is held up for 150 ms inside a dash (3 units at 20 WPM = 180 ms):
    // that edge comes late, but every element and gap after it keeps its length instead
    // of being fired back to back to catch up.
    void lateEdgeKeepsTheRestWhole() {
        Rig rig(20, 0, TimingMethod::Sleep); // waits end exactly at the edges
        rig.buffer.set(QStringLiteral("TEST"));
        rig.engine->start();
        rig.clock.settle(rig.idle);
        rig.clock.stepBy(60 * kMs, rig.idle); // inside T's dash
        QVERIFY(rig.line.isDown());
        const qint64 due = rig.clock.parkedAt();
        rig.clock.advance(due - rig.clock.now() + 150 * kMs, rig.idle); // a stall past the edge
        rig.clock.runUntilIdle(rig.idle);
        const auto changes = rig.line.changes();
        QCOMPARE(changes.size(), std::size_t(2 + 2 + 6 + 2));
        QCOMPARE(changes[1].ns - changes[0].ns, (180 + 150) * kMs); // the stalled dash
        // From the late edge on, the schedule is the pattern's: E, S and T in full.
        const QString rest = QStringLiteral("000") + MorseTable::ElementPattern(u'E') +
                             MorseTable::ElementPattern(u'S') + MorseTable::ElementPattern(u'T');
        QString levels;
        std::size_t next = 1;
        bool level = false;
        for (qint64 t = changes[1].ns; t < changes.back().ns + 60 * kMs; t += 60 * kMs) {
            while (next < changes.size() && changes[next].ns <= t) {
                level = changes[next++].down;
            }
            levels += level ? u'1' : u'0';
        }
        QCOMPARE(levels, rest.left(levels.size()));
        QVERIFY(rest.startsWith(levels) && levels.size() >= rest.size() - 3);
        // An edge late by less than a quarter unit is not a stall: nothing moves.
        Rig small(20, 0, TimingMethod::Sleep);
        small.buffer.set(QStringLiteral("EE"));
        small.engine->start();
        small.clock.settle(small.idle);
        small.clock.stepBy(10 * kMs, small.idle);
        small.clock.advance(small.clock.parkedAt() - small.clock.now() + 10 * kMs, small.idle);
        small.clock.runUntilIdle(small.idle);
        const auto e = small.line.changes();
        QCOMPARE(e.size(), std::size_t(4));
        QCOMPARE(e[2].ns - e[0].ns, 4 * 60 * kMs);
    }

    // A new line while a dash is keyed: the old line is keyed up at once and never
    // written again, the rest of the character goes unkeyed, and the next character goes
    // to the new line.
    void replacingTheLineMidElement() {
        Rig rig;
        RecordingKeyingLine other{&rig.clock};
        rig.buffer.set(QStringLiteral("TT"));
        rig.engine->start();
        rig.clock.settle(rig.idle);
        rig.clock.stepBy(90 * kMs, rig.idle); // inside the first dash
        QVERIFY(rig.line.isDown());
        rig.engine->setLine(&other);
        QVERIFY(!rig.line.isDown());
        const std::size_t oldWrites = rig.line.edges().size();
        rig.clock.runUntilIdle(rig.idle);
        QCOMPARE(rig.line.edges().size(), oldWrites);
        const auto changes = other.changes();
        QCOMPARE(changes.size(), std::size_t(2)); // the second T only
        QCOMPARE(changes[1].ns - changes[0].ns, 180 * kMs);
        QVERIFY(!other.isDown());
        // A line let go on purpose ends the drain as released, not as failed.
        other.clear();
        other.setFailing(true);
        other.setReleased(true);
        rig.engine->setLine(&other);
        rig.send(QStringLiteral("TEST"));
        const QList<KeyingEvent::Kind> kinds = rig.kinds();
        QVERIFY(kinds.contains(KeyingEvent::Kind::LineReleased));
        QVERIFY(!kinds.contains(KeyingEvent::Kind::LineFailed));
        QVERIFY(rig.buffer.isEmpty());
        // The engine keys up its line when it ends: end it while that line lives.
        rig.engine.reset();
    }

    // "Loop" and "Timer" spin only the last stretch before an edge, never a whole
    // element: a real-time thread spinning for a character could starve the machine.
    void spinningIsBounded_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("Timer") << int(TimingMethod::Timer);
        QTest::newRow("Loop") << int(TimingMethod::Loop);
        QTest::newRow("Sleep") << int(TimingMethod::Sleep);
    }
    void spinningIsBounded() {
        QFETCH(int, method);
        CwBuffer buffer;
        ManualKeyingClock manual;
        SpanClock clock(manual);
        RecordingKeyingLine line(&manual);
        KeyingEngine engine(buffer, clock);
        KeyingParameters p;
        p.wpm = 5; // 240 ms units
        p.method = TimingMethod(method);
        engine.setParameters(p);
        engine.setLine(&line);
        buffer.set(QStringLiteral("TEST"));
        engine.start();
        manual.runUntilIdle([&] { return !engine.sending(); });
        QCOMPARE(line.changes().size(), std::size_t(12));
        QVERIFY2(clock.longestSpin() <= KeyingEngine::kSpinLeadRealTimeNs,
                 qPrintable(QString::number(clock.longestSpin())));
        QVERIFY(TimingMethod(method) == TimingMethod::Sleep ? clock.longestSpin() == 0
                                                            : clock.longestSpin() > 0);
    }

    void stoppingMidElementLeavesKeyUp() {
        Rig rig;
        rig.buffer.set(QStringLiteral("TTTT"));
        rig.engine->start();
        rig.clock.settle(rig.idle);
        rig.clock.stepBy(90 * kMs, rig.idle); // inside the first dash
        QVERIFY(rig.line.isDown());
        rig.engine.reset();
        QVERIFY(!rig.line.isDown());
        QCOMPARE(rig.line.edges().back().down, false);
    }

    void escapeEndsAfterTheCurrentCharacter() {
        Rig rig;
        rig.buffer.set(QStringLiteral("TEST"));
        const qint64 t0 = rig.clock.now();
        rig.engine->start();
        rig.clock.settle(rig.idle);
        rig.clock.stepBy(90 * kMs, rig.idle);
        rig.buffer.clear();
        rig.clock.runUntilIdle(rig.idle);
        QCOMPARE(rig.clock.now() - t0 - KeyingEngine::kStartLeadNs, 6 * 60 * kMs); // T and its gap
        QCOMPARE(rig.line.changes().size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(TestKeyingEngine)
#include "tst_keyingengine.moc"
