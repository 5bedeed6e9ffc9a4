// The Morse table and the keying engine on a manual clock: patterns, unit lengths, word
// space, speeds that cannot be keyed, characters that key nothing, "!", line failures,
// schedules that continue across characters, and the line left key-up when stopped.
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
    QList<KeyingEvent::Kind> kinds() {
        QList<KeyingEvent::Kind> out;
        for (const KeyingEvent& e : engine->takeEvents()) {
            out << e.kind;
        }
        return out;
    }
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
        // Letters, digits and the prosign characters are the international code.
        const std::pair<char, const char*> code[] = {
            {'A', ".-"},    {'K', "-.-"},    {'Q', "--.-"},   {'Y', "-.--"},   {'0', "-----"},
            {'5', "....."}, {'9', "----."},  {'?', "..--.."}, {'/', "-..-."},  {'-', "-...-"},
            {'=', "-...-"}, {'[', ".-.-."},  {']', "...-.-"}, {';', "-.--."},  {'\\', "-.-..-.."},
            {',', "--..--"}, {'.', ".-.-.-"}};
        for (const auto& [c, expected] : code) {
            QCOMPARE(elements(MorseTable::ElementPattern(QLatin1Char(c))), QLatin1String(expected));
        }
        QCOMPARE(MorseTable::ElementPattern(QLatin1Char('q')), MorseTable::ElementPattern(QLatin1Char('Q')));
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
        const auto events = rig.engine->takeEvents();
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
