// The CW keyer's options on the radio's own link: a control line of the rig port
// ("Rig port DTR", "Rig port RTS") keyed by the keying thread like any line, and the
// radio's keyer fed with text over CAT ("Radio (CAT)").
#include "keyer/CwKeyer.h"

#include "keyer/CatCwFeeder.h"
#include "keyer/CwBuffer.h"
#include "keyer/MorseTable.h"
#include "keyer/RadioKeying.h"
#include "platform/TimerClock.h"
#include "platform/UserPrompts.h"

#include <QLoggingCategory>
#include <QTimer>

#include <cmath>

Q_DECLARE_LOGGING_CATEGORY(lcKeyer)

namespace ditlog {

namespace {
const QString kRadioTitle = QStringLiteral("Keying through the radio");

std::optional<SerialControlLine::Signal> rigLineOf(KeyingLineChoice line) {
    switch (line) {
    case KeyingLineChoice::RigDtr:
        return SerialControlLine::Signal::Dtr;
    case KeyingLineChoice::RigRts:
        return SerialControlLine::Signal::Rts;
    default:
        return std::nullopt;
    }
}
} // namespace

void CwKeyer::connectFeeder(TimerClock& clock) {
    if (m_cat != nullptr) {
        m_cat->stop();
        delete m_cat;
    }
    m_cat = new CatCwFeeder(m_buffer, clock, this);
    connect(m_cat, &CatCwFeeder::characterHandedOver, this,
            [this](QChar c, const QString& remaining) {
                m_radioToldAbout.clear(); // the radio takes text again: a new problem is told anew
                if (m_settings.display == 1 && m_host != nullptr) {
                    m_host->showKeyerStatus(remaining);
                }
                Q_EMIT characterStarted(c, remaining);
            });
    connect(m_cat, &CatCwFeeder::logContactReached, this, [this] {
        if (m_host != nullptr) {
            m_host->logContact();
        }
    });
    connect(m_cat, &CatCwFeeder::failed, this, &CwKeyer::tellRadioProblem);
    connect(m_cat, &CatCwFeeder::finished, this, &CwKeyer::radioSendFinished);
}

void CwKeyer::setRadio(RadioKeying* radio, TimerClock* clock) {
    if (m_radio != nullptr && m_radio != radio) {
        useLine(nullptr); // quiet on the old link's line before it goes
        m_cat->stop();
        m_radio->useKeyingLine(std::nullopt);
    }
    m_radio = radio;
    if (clock != nullptr) {
        connectFeeder(*clock); // tests time the send loop on their own clock
    }
    m_cat->setRadio(radio);
    claimRigLine();
}

QString CwKeyer::keyingLineRefusal(KeyingLineChoice line) const {
    if (const auto signal = rigLineOf(line)) {
        return m_radio == nullptr ? QStringLiteral("The program has no link to a radio.")
                                  : m_radio->keyingLineRefusal(*signal);
    }
    if (line == KeyingLineChoice::RadioCat) {
        return m_radio == nullptr ? QStringLiteral("The program has no link to a radio.")
                                  : m_radio->cwKeyerMissing();
    }
    return {};
}

void CwKeyer::claimRigLine() {
    if (m_radio != nullptr) {
        m_radio->useKeyingLine(rigLineOf(m_settings.keyingLine));
    }
}

bool CwKeyer::prepareRigLine() {
    QString why;
    KeyingLine* line = m_radio != nullptr ? m_radio->keyingLine(&why) : nullptr;
    if (line == nullptr) {
        tellRadioProblem(why.isEmpty() ? QStringLiteral("The program has no link to a radio.")
                                       : why);
        return false;
    }
    useLine(line);
    return true;
}

void CwKeyer::sendThroughRadio() {
    if (m_buffer.isEmpty()) {
        return;
    }
    const double wpm = leadingNumber(m_settings.speedText);
    if (unitNanoseconds(wpm) <= 0) {
        m_buffer.clear();
        m_repeatArmed = false;
        if (m_host != nullptr) {
            m_host->showKeyerStatus(
                QStringLiteral("CW speed %1 WPM cannot be sent.").arg(m_settings.speedText));
        }
        return;
    }
    QString why;
    if (!m_cat->start(wpm, &why)) {
        m_buffer.clear();
        m_repeatArmed = false;
        tellRadioProblem(why);
    }
}

void CwKeyer::radioSendFinished(bool completed) {
    if (completed) {
        startRepeatIfArmed();
    }
    if (m_settings.display == 1 && m_host != nullptr) {
        m_host->showKeyerStatus(m_host->keyboardCwMode()
                                    ? QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit.")
                                    : QString());
    }
    Q_EMIT sendingFinished();
}

void CwKeyer::tellRadioProblem(const QString& why) {
    qCInfo(lcKeyer).noquote() << "keying through the radio:" << why;
    m_repeatArmed = false;
    m_repeat->stop();
    if (m_host != nullptr) {
        m_host->showKeyerStatus(why);
    }
    // The box comes once for the same problem; the status line tells every time.
    if (m_radioToldAbout != why) {
        m_radioToldAbout = why;
        m_prompts.beep();
        m_prompts.message(kRadioTitle, why, PromptButtons::Ok, PromptIcon::Warning);
    }
}

} // namespace ditlog
