// Handing the send buffer to the radio's keyer.
#include "keyer/CatCwFeeder.h"

#include "keyer/CwBuffer.h"
#include "keyer/MorseTable.h"
#include "keyer/RadioKeying.h"
#include "platform/TimerClock.h"

#include <QLoggingCategory>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcKeyer)

namespace ditlog {

namespace {
constexpr qint64 kNsPerMs = 1'000'000;
// Blanks held back at most: a longer pause at the keyboard is no longer a gap.
constexpr int kMostHeldBlanks = 3;
const QString kFullText =
    QStringLiteral("The radio's keyer stayed full for 30 seconds: CW through the radio stopped.");
} // namespace

CatCwFeeder::CatCwFeeder(CwBuffer& buffer, TimerClock& clock, QObject* parent)
    : QObject(parent), m_buffer(buffer), m_clock(clock), m_stepTimer(clock.createTimer(this)),
      m_finishTimer(clock.createTimer(this)) {
    m_stepTimer->setSingleShot(true);
    m_finishTimer->setSingleShot(true);
    connect(m_stepTimer, &ClockTimer::timeout, this, &CatCwFeeder::step);
    connect(m_finishTimer, &ClockTimer::timeout, this, [this] { Q_EMIT finished(true); });
}

qint64 CatCwFeeder::unitNs() const {
    return unitNanoseconds(m_wpm);
}

bool CatCwFeeder::start(double wpm, QString* why) {
    const QString unavailable = m_radio == nullptr
                                    ? QStringLiteral("The program has no link to a radio.")
                                    : m_radio->cwUnavailable();
    if (!unavailable.isEmpty()) {
        if (why != nullptr) {
            *why = unavailable;
        }
        return false;
    }
    m_wpm = wpm;
    m_finishTimer->stop(); // more to send: the send goes on
    m_feeding = true;
    if (!m_inFlight && !m_stepTimer->isActive()) {
        step();
    }
    return true;
}

bool CatCwFeeder::busy() const {
    return m_feeding || m_inFlight || m_finishTimer->isActive();
}

void CatCwFeeder::setSpeed(double wpm) {
    m_wpm = wpm;
}

void CatCwFeeder::schedule(qint64 inNs) {
    m_stepTimer->start(int(std::max<qint64>(0, (inNs + kNsPerMs - 1) / kNsPerMs)));
}

void CatCwFeeder::step() {
    if (!m_feeding || m_inFlight) {
        return;
    }
    if (!m_pending.radioText.isEmpty()) {
        sendChunk(); // the radio had no room: ask again
        return;
    }
    if (m_buffer.text().startsWith(QChar(kLogContactCharacter))) {
        m_buffer.takeFirst();
        Q_EMIT logContactReached(); // the text before "!" is with the radio
        schedule(0);
        return;
    }
    const qint64 ahead = m_airEndNs - m_clock.nowNs();
    if (ahead > qint64(kLeadMs) * kNsPerMs) {
        schedule(ahead - qint64(kLeadMs) * kNsPerMs);
        return;
    }
    m_pending = takeChunk();
    if (!m_pending.radioText.isEmpty()) {
        sendChunk();
    } else {
        endFeed();
    }
}

CatCwFeeder::Chunk CatCwFeeder::takeChunk() {
    Chunk chunk;
    const QString text = m_buffer.text();
    qsizetype used = 0;
    const int limit = std::max(1, m_radio->cwCharactersPerCommand());
    const auto add = [&chunk](QChar c, const QByteArray& radio) {
        chunk.characters += c;
        chunk.radioText += radio;
        chunk.units += MorseTable::patternToKey(c, 0).size();
    };
    for (const QChar blank : std::exchange(m_heldBlanks, {})) {
        add(blank, m_radio->cwCharacters(blank));
    }
    for (; used < text.size(); ++used) {
        const QChar c = text.at(used);
        if (c == QChar(kLogContactCharacter)) {
            break; // logged once the text before it is with the radio
        }
        const QByteArray radio = m_radio->cwCharacters(c);
        if (radio.isEmpty()) {
            continue; // nothing the radio can send: dropped, as the line keys nothing for it
        }
        if (chunk.radioText.size() + radio.size() > limit) {
            break;
        }
        add(c, radio);
    }
    for (qsizetype i = 0; i < used; ++i) {
        m_buffer.takeFirst();
    }
    if (m_radio->cwTrailingBlankLost()) {
        // Blanks at the end would be lost: they lead the next hand-over instead.
        while (chunk.characters.endsWith(QLatin1Char(' '))) {
            chunk.characters.chop(1);
            chunk.radioText.chop(1);
            chunk.units -= MorseTable::patternToKey(QLatin1Char(' '), 0).size();
            if (m_heldBlanks.size() < kMostHeldBlanks) {
                m_heldBlanks += QLatin1Char(' ');
            }
        }
    }
    return chunk;
}

void CatCwFeeder::sendChunk() {
    m_inFlight = true;
    QPointer<CatCwFeeder> self(this);
    const quint64 generation = m_generation;
    m_radio->sendCw(m_pending.radioText, int(std::lround(m_wpm)),
                    [self, generation](RadioKeying::CwAnswer answer, const QString& why) {
                        if (self != nullptr && self->m_generation == generation) {
                            self->answered(int(answer), why);
                        }
                    });
}

void CatCwFeeder::answered(int answer, const QString& why) {
    m_inFlight = false;
    const qint64 now = m_clock.nowNs();
    switch (RadioKeying::CwAnswer(answer)) {
    case RadioKeying::CwAnswer::Taken: {
        m_fullSinceNs = -1;
        m_airEndNs = std::max(now, m_airEndNs) + m_pending.units * unitNs();
        const Chunk taken = std::exchange(m_pending, {});
        const QString remaining = m_buffer.text();
        for (const QChar c : taken.characters) {
            Q_EMIT characterHandedOver(c, remaining);
        }
        schedule(0);
        return;
    }
    case RadioKeying::CwAnswer::Full:
        if (m_fullSinceNs < 0) {
            m_fullSinceNs = now;
        }
        if (now - m_fullSinceNs >= qint64(kGiveUpMs) * kNsPerMs) {
            fail(kFullText);
            return;
        }
        schedule(qint64(kRetryMs) * kNsPerMs);
        return;
    case RadioKeying::CwAnswer::Failed:
        fail(why);
        return;
    }
}

void CatCwFeeder::endFeed() {
    m_feeding = false;
    m_finishTimer->start(int(std::max<qint64>(0, m_airEndNs - m_clock.nowNs()) / kNsPerMs));
}

void CatCwFeeder::dropEverything() {
    m_buffer.clear();
    m_pending = {};
    m_heldBlanks.clear();
    m_feeding = false;
    m_inFlight = false;
    m_fullSinceNs = -1;
    ++m_generation;
    m_stepTimer->stop();
    m_finishTimer->stop();
    m_airEndNs = m_clock.nowNs();
}

void CatCwFeeder::fail(const QString& why) {
    qCInfo(lcKeyer).noquote() << "CW through the radio ended:" << why;
    dropEverything();
    Q_EMIT failed(why);
    Q_EMIT finished(false);
}

bool CatCwFeeder::stop() {
    const bool was = busy() || m_airEndNs > m_clock.nowNs();
    dropEverything();
    if (was && m_radio != nullptr) {
        m_radio->stopCw();
    }
    if (was) {
        Q_EMIT finished(false);
    }
    return was;
}

} // namespace ditlog
