// Practice groups and the character-by-character practice sender.
#include "keyer/CodePractice.h"

#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"

#include <QRandomGenerator>

namespace ditlog {

QString practiceCharacters() { return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-"); }

QString randomGroups(int groups, int size, bool lettersOnly, QRandomGenerator& random) {
    const QString table = practiceCharacters();
    const int n = lettersOnly ? 26 : int(table.size());
    QString out;
    out.reserve(std::max(0, groups) * (std::max(0, size) + 1));
    for (int g = 0; g < groups; ++g) {
        for (int c = 0; c < size; ++c) {
            out += table.at(int(random.bounded(n)));
        }
        out += QLatin1Char(' ');
    }
    return out;
}

CodePracticeSender::CodePracticeSender(CwKeyer& keyer, QObject* parent)
    : QObject(parent), m_keyer(keyer) {
    // The next character is handed over as soon as the keyer takes the current one, so
    // the practice text keeps the keyer's own timing.
    connect(&m_keyer, &CwKeyer::characterStarted, this, [this] {
        if (m_running && m_waiting) {
            m_waiting = false;
            Q_EMIT characterSent(m_given, m_position - 1);
            feedNext();
        }
    });
    connect(&m_keyer, &CwKeyer::portRefused, this, [this] {
        if (m_running) {
            stop();
        }
    });
    connect(&m_keyer, &CwKeyer::sendingFinished, this, [this] {
        if (m_running && m_waiting) {
            m_waiting = false; // the keyer ended (line failure, refused speed, Esc)
            stop();
        }
    });
}

void CodePracticeSender::start(std::function<QString()> text) {
    m_text = std::move(text);
    m_copy = m_text();
    m_position = 0;
    m_running = true;
    m_waiting = false;
    feedNext();
}

void CodePracticeSender::stop() {
    const bool was = m_running;
    m_copy.clear();
    m_running = false;
    m_waiting = false;
    m_keyer.clearSendBuffer();
    if (was) {
        Q_EMIT finished();
    }
}

void CodePracticeSender::feedNext() {
    while (m_running) {
        m_copy = m_text();
        if (m_position >= m_copy.size()) {
            m_running = false;
            Q_EMIT finished();
            return;
        }
        const QChar c = m_copy.at(m_position);
        m_given = c;
        m_keyer.buffer().set(QString(c));
        if (!m_keyer.isSending()) {
            m_keyer.LoopThroughCWBuffer();
        }
        if (!m_running) {
            return; // the keyer refused (invalid port): stopped once, not per character
        }
        ++m_position;
        if (m_keyer.keyingLineSelected() && (m_keyer.isSending() || !m_keyer.buffer().isEmpty())) {
            m_waiting = true; // shown, and the next one handed over, when the keyer takes it
            return;
        }
        // Nothing will take it (no keying line): go on at once, as the keyer would.
        Q_EMIT characterSent(c, m_position - 1);
    }
}

} // namespace ditlog
