// Function-key playback with push-to-talk, the end-of-playback step, the F1 repeat and
// the opening of the push-to-talk port under the shared port rule.
#include "voice/PhoneKeyer.h"

#include "platform/ParallelPort.h"
#include "platform/PortOwnership.h"
#include "platform/SerialPort.h"
#include "platform/UserPrompts.h"
#include "platform/WavePlayer.h"

#include <QLoggingCategory>
#include <QTimer>

namespace ditlog {

Q_LOGGING_CATEGORY(lcPhone, "ditlog.voice", QtWarningMsg)

namespace {
constexpr quint8 kParallelKeyed = 3;
constexpr quint8 kParallelReleased = 2;
} // namespace

PhoneKeyer::PhoneKeyer(WavePlayer& player, SerialPort& pttPort, ParallelPort& parallel,
                       PortOwnership& ownership, UserPrompts& prompts, QObject* parent)
    : QObject(parent), m_player(player), m_port(pttPort), m_parallel(parallel),
      m_ownership(ownership), m_prompts(prompts), m_repeat(new QTimer(this)) {
    m_repeat->setObjectName(QStringLiteral("tmrRepeat"));
    m_repeat->setSingleShot(true);
    connect(m_repeat, &QTimer::timeout, this, [this] { FKeyPhone(kF1); });
    connect(&m_player, &WavePlayer::playbackEnded, this, [this] {
        if (m_awaitingEnd) {
            endOfPlayback();
        }
    });
    m_ownership.setReleaser(PortUser::VoicePtt, [this] {
        // Another keyer takes the port: a message playing stops with push-to-talk.
        lostPtt({});
        m_port.close();
    });
    connect(&m_port, &SerialPort::errorOccurred, this, [this](const QString& description) {
        // The port went away (adapter unplugged): nothing can stay keyed on it.
        m_ownership.released(PortUser::VoicePtt);
        const QString which = QString::number(m_port.portNumber() > 0 ? m_port.portNumber()
                                                                      : pttPortNumber(m_settings.pttPort));
        if (m_awaitingEnd) {
            const QString why = QStringLiteral("Push-to-talk port %1 was lost (%2): the message was stopped.")
                                    .arg(which, description);
            tellOnce(which, QStringLiteral("Push-to-talk failed."), why);
            lostPtt(why);
        } else {
            releasePtt();
        }
    });
    applyRepeatInterval();
}

PhoneKeyer::~PhoneKeyer() {
    m_player.close();
    m_awaitingEnd = false;
    releasePtt();
    m_ownership.setReleaser(PortUser::VoicePtt, {});
    closePttPort();
}

void PhoneKeyer::setSettings(const PhoneSettings& settings) {
    const bool changed = settings != m_settings;
    if (settings.pttLine != m_settings.pttLine) {
        releasePtt(); // a keyed line is let go before another takes over
    }
    m_settings = settings;
    m_player.setOutputDevice(m_settings.keyerOutput);
    claimRadioLine();
    applyRepeatInterval();
    if (changed) {
        Q_EMIT settingsChanged();
    }
}

void PhoneKeyer::applyRepeatInterval() {
    const auto ms = ditlog::repeatIntervalMs(m_settings.repeatSeconds);
    if (!ms) {
        m_settings.repeatSeconds = QStringLiteral("0");
    }
    m_repeatMs = ms.value_or(0);
    if (m_repeatMs == 0) {
        // A zero interval ends the repeat: the waiting timer does not fire again.
        m_repeat->stop();
        setRepeatArmed(false);
    }
}

QString PhoneKeyer::setRepeatField(const QString& text) {
    m_settings.repeatSeconds = text;
    applyRepeatInterval();
    return m_settings.repeatSeconds;
}

QString PhoneKeyer::setPttPortField(const QString& text) {
    bool numeric = false;
    text.trimmed().toInt(&numeric);
    const QString field = numeric ? text.trimmed() : QStringLiteral("0");
    m_settings.pttPort = field;
    m_refused.clear(); // the operator asked again: a refusal is told again
    openPttPort();
    return field;
}

void PhoneKeyer::setRepeatArmed(bool armed) {
    if (armed != m_repeatArmed) {
        m_repeatArmed = armed;
        Q_EMIT repeatArmedChanged(armed);
    }
}

void PhoneKeyer::stopRepeat() {
    setRepeatArmed(false);
    // A repeat already counting down would play F1 again and arm itself anew.
    m_repeat->stop();
}

bool PhoneKeyer::openPttPort() {
    const int number = pttPortNumber(m_settings.pttPort);
    if (number <= 0) {
        return true;
    }
    lostPtt(QStringLiteral("The push-to-talk port was changed: the message was stopped."));
    m_ownership.claim(PortUser::VoicePtt);
    m_port.close();
    if (m_port.open(number)) {
        m_port.setDtr(false);
        m_port.setRts(false);
        m_refused.clear();
        return true;
    }
    qCDebug(lcPhone) << "PTT port" << number << "refused:" << m_port.errorString();
    m_ownership.released(PortUser::VoicePtt);
    tellRefused(QString::number(number));
    return false;
}

void PhoneKeyer::tellOnce(const QString& which, const QString& title, const QString& text) {
    if (m_refused == which) {
        return;
    }
    m_refused = which;
    m_prompts.beep();
    m_prompts.message(title, text, PromptButtons::Ok, PromptIcon::Information);
}

void PhoneKeyer::tellRefused(const QString& which) {
    if (m_refused == which) {
        return;
    }
    tellOnce(which, QStringLiteral("Invalid port."),
             QStringLiteral("The port you have selected for Phone keying is invalid.  "
                            "Please select another or enter 0 for none."));
    Q_EMIT pttPortRefused();
}

void PhoneKeyer::closePttPort() {
    lostPtt(QStringLiteral("The push-to-talk port was closed: the message was stopped."));
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_ownership.released(PortUser::VoicePtt);
}

void PhoneKeyer::FKeyPhone(int keyCode) {
    if (keyCode < kF1 || keyCode > kF9) {
        return;
    }
    // A new key cuts off the file playing; push-to-talk stays keyed for the next one.
    const bool wasPlaying = std::exchange(m_awaitingEnd, false);
    m_player.close();
    if (keyCode == kF1 && m_repeatMs > 0) {
        setRepeatArmed(true);
    }
    const QString file = m_settings.files.at(std::size_t(keyCode - kF1)).trimmed();
    if (file.isEmpty()) {
        if (wasPlaying) {
            endOfPlayback();
        }
        return;
    }
    // The file is checked before anything is keyed: a file that cannot be heard never
    // puts the transmitter on the air.
    if (!m_player.open(file)) {
        qCDebug(lcPhone) << "cannot play" << file;
        endOfPlayback();
        return;
    }
    if (throughRadio()) {
        keyRadioAndPlay();
        return;
    }
    if (!keyPtt()) {
        // Nothing goes on the air un-keyed: the message is not played.
        abandon(QStringLiteral("Push-to-talk could not be keyed: the message was not played."));
        return;
    }
    if (!m_player.play()) {
        endOfPlayback();
        return;
    }
    m_awaitingEnd = true;
}

bool PhoneKeyer::keyPtt() {
    if (pttPortNumber(m_settings.pttPort) > 0 && !keySerial()) {
        return false;
    }
    if (m_settings.pttLine == PhonePttLine::Parallel && !keyParallel()) {
        return false;
    }
    // Keyed: a later failure of the same line is worth telling again.
    m_refused.clear();
    return true;
}

bool PhoneKeyer::keySerial() {
    if (!m_port.isOpen() && !openPttPort()) {
        return false;
    }
    const bool dtr = m_settings.pttLine == PhonePttLine::Dtr;
    // Marked first, so that a line that half failed is dropped again on release.
    (dtr ? m_serialDtrKeyed : m_serialRtsKeyed) = true;
    m_pttKeyed = true;
    if (dtr ? m_port.setDtr(true) : m_port.setRts(true)) {
        return true;
    }
    const QString line = dtr ? QStringLiteral("DTR") : QStringLiteral("RTS");
    const QString which = m_settings.pttPort.trimmed() + QLatin1Char(' ') + line;
    qCDebug(lcPhone) << "PTT line" << which << "failed:" << m_port.errorString();
    tellOnce(which, QStringLiteral("Push-to-talk failed."),
             QStringLiteral("The %1 line of port %2 cannot be keyed (%3). The voice message was "
                            "not played. Choose another line or port, or enter 0 for none.")
                 .arg(line, m_settings.pttPort.trimmed(), m_port.errorString()));
    return false;
}

bool PhoneKeyer::keyParallel() {
    const int base = parallelAddressValue(m_settings.parallelAddress);
    if (!m_parallel.isOpen() || m_parallel.baseAddress() != base) {
        if (!m_parallel.open(base)) {
            qCDebug(lcPhone) << "parallel port" << m_settings.parallelAddress
                             << "refused:" << m_parallel.errorString();
            tellRefused(m_settings.parallelAddress);
            return false;
        }
    }
    // The control register (base + 2): 3 keys, 2 releases.
    m_parallelKeyed = true;
    m_pttKeyed = true;
    if (m_parallel.writeControl(kParallelKeyed)) {
        return true;
    }
    qCDebug(lcPhone) << "parallel port write failed:" << m_parallel.errorString();
    tellOnce(m_settings.parallelAddress, QStringLiteral("Push-to-talk failed."),
             QStringLiteral("The parallel port at %1 cannot be keyed (%2). The voice message was "
                            "not played.")
                 .arg(m_settings.parallelAddress, m_parallel.errorString()));
    return false;
}

void PhoneKeyer::releasePtt() {
    releaseRadio();
    if (m_serialDtrKeyed || m_serialRtsKeyed) {
        if (m_port.isOpen()) {
            if (m_serialDtrKeyed) {
                m_port.setDtr(false);
            }
            if (m_serialRtsKeyed) {
                m_port.setRts(false);
            }
        }
        m_serialDtrKeyed = m_serialRtsKeyed = false;
    }
    if (m_parallelKeyed) {
        if (m_parallel.isOpen()) {
            m_parallel.writeControl(kParallelReleased);
        }
        m_parallelKeyed = false;
    }
    m_pttKeyed = false;
}

void PhoneKeyer::endOfPlayback() {
    m_awaitingEnd = false;
    releasePtt();
    if (m_repeatArmed && m_repeatMs > 0) {
        m_repeat->start(m_repeatMs);
    }
}

void PhoneKeyer::abandon(const QString& why) {
    m_player.close();
    m_awaitingEnd = false;
    releasePtt();
    // The repeat would only fail again, silently: it ends until the operator starts it.
    m_repeat->stop();
    setRepeatArmed(false);
    Q_EMIT notKeyed(why);
}

void PhoneKeyer::lostPtt(const QString& why) {
    if (!m_awaitingEnd) {
        releasePtt();
        return;
    }
    qCDebug(lcPhone) << "push-to-talk lost while playing";
    abandon(why.isEmpty() ? QStringLiteral("Push-to-talk was taken by another keyer: the message was stopped.")
                          : why);
}

} // namespace ditlog
