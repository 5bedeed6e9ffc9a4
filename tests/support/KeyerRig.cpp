// The test keyer.
#include "KeyerRig.h"

#include "InternationalMorse.h"

#include "keyer/MorseTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTest>

namespace ditlog::testing {

KeyerRig::KeyerRig(UserPrompts& prompts)
    : engine_(std::make_unique<KeyingEngine>(buffer, clock)), engine(*engine_),
      keyer(buffer, engine, port, outputs, owners, settings, prompts) {}

KeyerRig::~KeyerRig() = default;

void KeyerRig::deliverEvents() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

bool KeyerRig::runOut() {
    // Keying time and the window thread's events take turns, as they would in real
    // time: a character the keyer takes lets the window hand over the next one.
    const qsizetype before = finished.count();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < 30000) {
        clock.settle(idle());
        QCoreApplication::processEvents();
        if (!engine.sending()) {
            if (finished.count() > before) {
                return true;
            }
            QTest::qWait(1); // the drain's last event is on its way
            continue;
        }
        const qint64 parked = clock.parkedAt();
        if (parked >= 0) {
            clock.advance(parked - clock.now(), idle());
        }
    }
    return false;
}

void KeyerRig::advanceMs(double ms) {
    const qint64 target = clock.now() + qint64(ms * 1e6);
    for (;;) {
        clock.settle(idle());
        QCoreApplication::processEvents();
        const qint64 parked = clock.parkedAt();
        if (parked < 0 || parked > target) {
            break;
        }
        clock.advance(parked - clock.now(), idle());
    }
    if (target > clock.now()) {
        clock.advance(target - clock.now(), idle());
    }
    QTest::qWait(1);
    deliverEvents();
}

QString KeyerRig::changeLevels(const RecordingKeyingLine& line) {
    QString out;
    for (const LineEdge& e : line.changes()) {
        out += e.down ? QLatin1Char('1') : QLatin1Char('0');
    }
    return out;
}

QString KeyerRig::decode(const RecordingKeyingLine& line, qint64 unitNs) {
    std::vector<std::pair<qint64, bool>> changes;
    for (const LineEdge& e : line.changes()) {
        changes.emplace_back(e.ns, e.down);
    }
    return decodeMorse(changes, unitNs);
}

QString KeyerRig::started() const {
    QString out;
    for (const QList<QVariant>& args : characters) {
        out += args.at(0).value<QChar>();
    }
    return out;
}

} // namespace ditlog::testing
