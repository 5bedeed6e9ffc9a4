// Push-to-talk through the radio's own link: a line of the port the rig link holds open
// ("Rig port RTS", "Rig port DTR"), keyed before the message plays, or the radio's
// transmit switch over CAT ("Radio (CAT)"): the message plays only once the radio has
// acknowledged transmit (or its switching time has passed), and transmit ends with the
// message on every path. A message is never played while push-to-talk could not be keyed.
#include "voice/PhoneKeyer.h"

#include "platform/UserPrompts.h"
#include "platform/WavePlayer.h"
#include "voice/RadioTransmit.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

namespace ditlog {

Q_DECLARE_LOGGING_CATEGORY(lcPhone)

namespace {
std::optional<SerialControlLine::Signal> rigLineOf(PhonePttLine line) {
    switch (line) {
    case PhonePttLine::RigRts: return SerialControlLine::Signal::Rts;
    case PhonePttLine::RigDtr: return SerialControlLine::Signal::Dtr;
    default: return std::nullopt;
    }
}

const QString kNoRadio = QStringLiteral("The program has no link to a radio.");
} // namespace

void PhoneKeyer::setRadio(RadioTransmit* radio) {
    if (m_radio != nullptr && m_radio != radio) {
        releasePtt(); // through the link it was keyed on
        m_radio->usePttLine(std::nullopt);
    }
    m_radio = radio;
    claimRadioLine();
}

bool PhoneKeyer::throughRadio() const {
    return m_settings.pttLine == PhonePttLine::RigRts || m_settings.pttLine == PhonePttLine::RigDtr ||
           m_settings.pttLine == PhonePttLine::RadioCat;
}

void PhoneKeyer::claimRadioLine() {
    if (m_radio != nullptr) {
        m_radio->usePttLine(rigLineOf(m_settings.pttLine));
    }
}

QString PhoneKeyer::pttLineRefusal(PhonePttLine line) const {
    if (const auto signal = rigLineOf(line)) {
        return m_radio == nullptr ? kNoRadio : m_radio->pttLineRefusal(*signal);
    }
    if (line == PhonePttLine::RadioCat) {
        return m_radio == nullptr ? kNoRadio : m_radio->transmitSwitchMissing();
    }
    return {};
}

void PhoneKeyer::keyRadioAndPlay() {
    if (m_radio == nullptr) {
        tellRadioProblem(kNoRadio);
        return;
    }
    if (rigLineOf(m_settings.pttLine)) {
        if (m_rigLineKeyed == nullptr) {
            QString why;
            KeyingLine* line = m_radio->pttLine(&why);
            if (line == nullptr || !line->setKeyDown(true)) {
                tellRadioProblem(why.isEmpty() ? QStringLiteral("The rig port's line could not be keyed.") : why);
                return;
            }
            m_rigLineKeyed = line;
            m_pttKeyed = true;
        }
        playOpened();
        return;
    }
    if (m_radioTransmitting) {
        playOpened(); // a new key while the radio transmits: the next message follows at once
        return;
    }
    if (m_awaitingTransmit) {
        return; // the acknowledgement on its way plays the file now open
    }
    m_awaitingTransmit = true;
    const quint64 request = ++m_transmitRequest;
    QPointer<PhoneKeyer> self(this);
    m_radio->setTransmit(true, [self, request](bool ok, const QString& why) {
        if (self != nullptr && self->m_transmitRequest == request) {
            self->transmitAnswered(ok, why);
        }
    });
}

void PhoneKeyer::transmitAnswered(bool ok, const QString& why) {
    m_awaitingTransmit = false;
    if (!ok) {
        // The radio may have switched all the same, its answer lost: it goes back to
        // receive rather than stay on the air unheard.
        if (m_radio != nullptr) {
            m_radio->setTransmit(false, {});
        }
        tellRadioProblem(why.isEmpty() ? QStringLiteral("The radio did not switch to transmit.") : why);
        return;
    }
    m_radioTransmitting = true;
    m_pttKeyed = true;
    playOpened();
}

void PhoneKeyer::playOpened() {
    m_radioToldAbout.clear(); // keyed: a new problem is told anew
    if (!m_player.play()) {
        endOfPlayback();
        return;
    }
    m_awaitingEnd = true;
}

void PhoneKeyer::releaseRadio() {
    if (m_rigLineKeyed != nullptr) {
        m_rigLineKeyed->setKeyDown(false);
        m_rigLineKeyed = nullptr;
    }
    if (m_awaitingTransmit || m_radioTransmitting) {
        ++m_transmitRequest; // an acknowledgement still on its way plays nothing
        m_awaitingTransmit = false;
        m_radioTransmitting = false;
        if (m_radio != nullptr) {
            m_radio->setTransmit(false, {});
        }
    }
}

void PhoneKeyer::tellRadioProblem(const QString& why) {
    qCInfo(lcPhone).noquote() << "push-to-talk through the radio:" << why;
    if (m_radioToldAbout != why) {
        m_radioToldAbout = why;
        m_prompts.beep();
        m_prompts.message(QStringLiteral("Push-to-talk through the radio"), why, PromptButtons::Ok,
                          PromptIcon::Warning);
    }
    // Not keyed: the message is not played, and does not repeat.
    abandon(why);
}

bool PhoneKeyer::stopMessage() {
    if (!isPlaying()) {
        return false;
    }
    m_repeat->stop();
    setRepeatArmed(false);
    m_awaitingEnd = false;
    m_player.close();
    releasePtt();
    return true;
}

} // namespace ditlog
