// Function-key messages, the send loop, the repeat and the keying port.
#include "keyer/CwKeyer.h"

#include "keyer/CatCwFeeder.h"
#include "keyer/CwBuffer.h"
#include "keyer/MorseTable.h"
#include "keyer/RadioKeying.h"
#include "log/RecordFile.h"
#include "platform/KeyingLine.h"
#include "platform/ParallelPort.h"
#include "platform/PortOwnership.h"
#include "platform/RealtimeKit.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TimerClock.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/eventfd.h>
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcKeyer, "ditlog.keyer", QtWarningMsg)

namespace ditlog {

namespace {
const QString kInvalidPortTitle = QStringLiteral("Invalid port.");
const QString kInvalidPortText = QStringLiteral(
    "The port you have selected for CW keying is invalid.  Please select another or enter 0 "
    "for none.");
const QString kKeyboardOnText = QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit.");
const QString kPortTakenText = QStringLiteral(
    "CW sending stopped: the keying port is now used by the voice keyer or the WinKeyer.");
const QString kRigPortClosedText =
    QStringLiteral("CW sending stopped: the rig link closed the radio's port.");

// Counts as the classic calibration does: 5,000,000 floating-point additions.
double measureLoopsPer60ms() {
    using clock = std::chrono::steady_clock;
    const auto t0 = clock::now();
    volatile double counter = 0;
    while (counter < 5'000'000.0) {
        counter = counter + 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(clock::now() - t0).count();
    return std::round(5'000'000.0 / std::max(ms, 0.001) * 60.0);
}
} // namespace

struct CwKeyer::Bridge {
    std::mutex mutex;
    CwKeyer* target = nullptr;
    int wakeFd = -1; // the keying thread's doorbell: a write never blocks or takes a lock
    ~Bridge() {
#ifdef Q_OS_LINUX
        if (wakeFd >= 0) {
            ::close(wakeFd);
        }
#endif
    }
};

QString substituteWildcards(const QString& message, const QString& call, const QString& report) {
    const QString r = report.trimmed();
    const QString sentReport = (r.isEmpty() || r == QLatin1String("599")) ? QStringLiteral("5NN") : r;
    const QString trimmedCall = call.trimmed();
    // One scan does the three passes ("$", then "#", then "*") at once: what a pass
    // inserts is never scanned again, so the order cannot change the result.
    QString out;
    out.reserve(message.size() + trimmedCall.size());
    for (const QChar c : message) {
        if (c == QLatin1Char('$')) {
            out += trimmedCall;
        } else if (c == QLatin1Char('*')) {
            out += sentReport;
        } else if (c != QLatin1Char('#')) {
            out += c;
        }
    }
    return out;
}

CwKeyer::CwKeyer(CwBuffer& buffer, KeyingEngine& engine, SerialPort& port, KeyingOutputs& outputs,
                 PortOwnership& ports, SettingsStore& store, UserPrompts& prompts, QObject* parent)
    : QObject(parent), m_buffer(buffer), m_engine(engine), m_port(port), m_outputs(outputs),
      m_ports(ports), m_store(store), m_prompts(prompts),
      m_steadyClock(std::make_unique<SystemTimerClock>()), m_repeat(new QTimer(this)),
      m_bridge(std::make_shared<Bridge>()) {
    m_repeat->setObjectName(QStringLiteral("tmrCWLoop"));
    m_repeat->setSingleShot(true);
    connect(m_repeat, &QTimer::timeout, this, [this] { FKeyCW(112); });
    m_bridge->target = this;
    connectEngine();
    connectFeeder(*m_steadyClock);
    // Whoever closes the port (this keyer, another user, a failure), the line lets go first.
    connect(&m_port, &SerialPort::aboutToClose, this, [this] { m_outputs.detachSerial(); });
    connect(&m_port, &SerialPort::errorOccurred, this, [this](const QString& description) {
        qCInfo(lcKeyer) << "keying port failed:" << description;
        m_portFailed = true; // the line let go because the device did, not for another use
        m_ports.released(PortUser::CwKeying);
    });
    // Another user (push-to-talk, WinKeyer) takes the shared port: a send on it ends
    // quietly after the current character, which goes unkeyed.
    m_ports.setReleaser(PortUser::CwKeying, [this] {
        const bool keyingOnPort = m_lineInUse == &m_outputs.serialLine() && m_engine.sending();
        closeKeyingPort();
        if (keyingOnPort) {
            endSendForOtherUse();
        }
    });
    m_method = timingMethodFromName(m_store.value(QStringLiteral("UserCWSelection"),
                                                  QStringLiteral("Timer")));
    m_loopsPer60ms = std::max(0.0, leadingNumber(m_store.value(QStringLiteral("UserCWLoopOffset"),
                                                               QStringLiteral("0"))));
    if (m_method == TimingMethod::Loop) {
        CalibrateLoop(); // this machine's count, the reference for the stored one
    }
    pushParameters();
}

CwKeyer::~CwKeyer() {
    {
        std::lock_guard lock(m_bridge->mutex);
        m_bridge->target = nullptr;
    }
    m_engine.setEventsReady({});
    m_buffer.clear();
    m_ports.setReleaser(PortUser::CwKeying, {});
    useLine(nullptr);
    m_outputs.detachSerial();
    if (m_radio != nullptr) {
        m_radio->useKeyingLine(std::nullopt);
    }
}

void CwKeyer::connectEngine() {
#ifdef Q_OS_LINUX
    // The keying thread rings an eventfd: no lock that the window thread could hold,
    // no allocation, so announcing an event can never delay an edge.
    m_bridge->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_bridge->wakeFd >= 0) {
        auto* notifier = new QSocketNotifier(m_bridge->wakeFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            quint64 count = 0;
            while (::read(m_bridge->wakeFd, &count, sizeof count) > 0) {
            }
            handleEngineEvents();
        });
        m_engine.setEventsReady([bridge = m_bridge] {
            const quint64 one = 1;
            [[maybe_unused]] const auto written = ::write(bridge->wakeFd, &one, sizeof one);
        });
        return;
    }
#endif
    std::weak_ptr<Bridge> bridge = m_bridge;
    m_engine.setEventsReady([bridge] {
        if (const auto b = bridge.lock()) {
            std::lock_guard lock(b->mutex);
            if (b->target != nullptr) {
                QMetaObject::invokeMethod(b->target, &CwKeyer::handleEngineEvents,
                                          Qt::QueuedConnection);
            }
        }
    });
}

void CwKeyer::setRealtimeKit(RealtimeKit* kit) {
    m_realtimeKit = kit;
    connect(kit, &RealtimeKit::finished, this, [this](bool granted, const QString& how) {
        m_engine.setPriority(granted, granted ? how : m_engine.priorityDescription() + QStringLiteral("; ") + how);
    });
}

// ---- settings ------------------------------------------------------------------------

void CwKeyer::loadSettingsFile(const QString& workingFolder) {
    const std::optional<QByteArray> content =
        readWholeFile(cwSettingsPath(workingFolder), nullptr, 1024 * 1024);
    m_settings = readCwSettings(content.value_or(QByteArray()));
    applyRepeatText(m_settings.repeatText);
    if (m_settings.keyingLine == KeyingLineChoice::Rts || m_settings.keyingLine == KeyingLineChoice::Dtr) {
        m_outputs.setSerialSignal(m_settings.keyingLine == KeyingLineChoice::Dtr
                                      ? SerialControlLine::Signal::Dtr
                                      : SerialControlLine::Signal::Rts);
    }
    claimRigLine();
    pushParameters();
    Q_EMIT settingsChanged();
}

std::optional<QString> CwKeyer::saveSettingsFile(const QString& workingFolder) const {
    return writeFileAtomically(QDir(workingFolder).filePath(QLatin1String(kCwSettingsFileName)),
                               writeCwSettings(m_settings));
}

void CwKeyer::setMessage(int index, const QString& text) {
    if (index >= 0 && index < CwSettings::kMessages) {
        m_settings.messages[index] = stripUnstorable(text);
    }
}

void CwKeyer::setKeyingLine(KeyingLineChoice line) {
    if (line == m_settings.keyingLine) {
        return;
    }
    const KeyingLineChoice old = m_settings.keyingLine;
    m_settings.keyingLine = line;
    // The engine lets go of the old output before it changes.
    useLine(nullptr);
    if (old == KeyingLineChoice::RadioCat) {
        m_cat->stop(); // the radio stops what it was given
    }
    claimRigLine();
    if (line == KeyingLineChoice::Rts || line == KeyingLineChoice::Dtr) {
        m_outputs.setSerialSignal(line == KeyingLineChoice::Dtr ? SerialControlLine::Signal::Dtr
                                                                : SerialControlLine::Signal::Rts);
    }
    if (line != KeyingLineChoice::Printer) {
        m_outputs.closeParallel();
    }
    continueOnNewLine();
    Q_EMIT settingsChanged();
}

void CwKeyer::setPortText(const QString& text) {
    if (text != m_settings.portText) {
        m_settings.portText = text;
        closeKeyingPort(); // the next send (or CWSetup) opens the new one
        continueOnNewLine();
    }
}

void CwKeyer::useLine(KeyingLine* line) {
    m_lineInUse = line;
    m_engine.setLine(line); // returns once the engine is quiet on the line it had
}

void CwKeyer::continueOnNewLine() {
    if (!m_engine.sending()) {
        return; // the next send readies its line
    }
    if (m_settings.keyingLine == KeyingLineChoice::None ||
        m_settings.keyingLine == KeyingLineChoice::WinKey) {
        m_buffer.clear(); // nothing more is keyed by this engine
        m_repeatArmed = false;
        return;
    }
    if (!prepareOutputs()) { // a line that cannot key tells the operator why
        m_buffer.clear();
        m_repeatArmed = false;
    }
}

void CwKeyer::endSendForOtherUse() {
    m_buffer.clear();
    m_repeatArmed = false;
    m_repeat->stop();
    if (m_host != nullptr) {
        const bool rigPort = m_settings.keyingLine == KeyingLineChoice::RigDtr ||
                             m_settings.keyingLine == KeyingLineChoice::RigRts;
        m_host->showKeyerStatus(rigPort ? kRigPortClosedText : kPortTakenText);
    }
}

void CwKeyer::setSpeedText(const QString& text) {
    if (text == m_settings.speedText) {
        return;
    }
    m_settings.speedText = text;
    pushParameters();
    Q_EMIT speedChanged(text);
    const double wpm = leadingNumber(text);
    m_cat->setSpeed(wpm);
    if (m_radio != nullptr && m_settings.keyingLine == KeyingLineChoice::RadioCat && wpm > 0) {
        m_radio->setCwSpeed(int(std::lround(wpm)));
    }
    if (m_winKeyer != nullptr && m_settings.keyingLine == KeyingLineChoice::WinKey &&
        m_winKeyer->linkOpen() && wpm > 4 && wpm < 100) {
        m_winKeyer->speedChanged(int(wpm));
    }
}

void CwKeyer::setWordSpaceText(const QString& text) {
    m_settings.wordSpaceText = text;
    pushParameters();
}

void CwKeyer::setParallelText(const QString& text) { m_settings.parallelText = text; }

void CwKeyer::setDisplay(bool on) { m_settings.display = on ? 1 : 0; }

QString CwKeyer::applyRepeatText(const QString& text) {
    if (!setRepeatInterval(text)) {
        m_settings.repeatText = QStringLiteral("0");
        setRepeatInterval(m_settings.repeatText);
    }
    return m_settings.repeatText;
}

void CwKeyer::editRepeatText(const QString& text) {
    m_settings.repeatText = text;
    setRepeatInterval(text); // a refused value waits for the field to be left
}

bool CwKeyer::setRepeatInterval(const QString& text) {
    const double seconds = leadingNumber(text);
    if (!isNumericText(text) || seconds < 0 || seconds >= 60) {
        return false;
    }
    m_settings.repeatText = text;
    const int ms = int(std::lround(seconds * 1000));
    if (ms == 0) {
        // No interval, no calling loop: the message being sent is the last.
        m_repeat->stop();
        m_repeatArmed = false;
    }
    if (ms != m_repeat->interval()) {
        m_repeat->setInterval(ms); // a waiting repeat counts the new interval from now
    }
    return true;
}

int CwKeyer::repeatIntervalMs() const { return m_repeat->interval(); }

void CwKeyer::setTimingMethod(TimingMethod method) {
    m_method = method;
    if (method == TimingMethod::Loop && (m_loopsPer60ms <= 0 || m_measuredLoopsPer60ms <= 0)) {
        CalibrateLoop();
    }
    pushParameters();
}

void CwKeyer::setLoopsPer60ms(double loops) {
    m_loopsPer60ms = std::max(0.0, loops);
    pushParameters();
}

void CwKeyer::CalibrateLoop() {
    std::weak_ptr<Bridge> bridge = m_bridge;
    std::thread([bridge] {
        const double loops = measureLoopsPer60ms();
        if (const auto b = bridge.lock()) {
            std::lock_guard lock(b->mutex);
            if (b->target != nullptr) {
                QMetaObject::invokeMethod(b->target, [target = b->target, loops] {
                    target->m_measuredLoopsPer60ms = loops;
                    if (target->m_loopsPer60ms <= 0) {
                        target->m_loopsPer60ms = loops;
                    }
                    target->pushParameters();
                    Q_EMIT target->loopCalibrated(target->m_loopsPer60ms);
                }, Qt::QueuedConnection);
            }
        }
    }).detach();
}

void CwKeyer::storeTimingSettings() {
    m_store.setValue(QStringLiteral("UserCWSelection"), timingMethodName(m_method));
    m_store.setValue(QStringLiteral("UserCWLoopOffset"), shortestNumber(m_loopsPer60ms));
}

void CwKeyer::pushParameters() {
    KeyingParameters p;
    p.wpm = leadingNumber(m_settings.speedText);
    p.wordSpaceAdjust = std::max(-8, int(leadingNumber(m_settings.wordSpaceText)));
    p.method = m_method;
    p.loopScale = (m_loopsPer60ms > 0 && m_measuredLoopsPer60ms > 0)
                      ? m_loopsPer60ms / m_measuredLoopsPer60ms
                      : 1.0;
    m_engine.setParameters(p);
}

// ---- the keying port -----------------------------------------------------------------

bool CwKeyer::keyingPortOpen() const { return m_port.isOpen(); }

void CwKeyer::closeKeyingPort() {
    if (m_lineInUse == &m_outputs.serialLine()) {
        useLine(nullptr); // the engine is quiet on the port before it closes
    }
    if (m_port.isOpen()) {
        m_port.close(); // detaches the line first (aboutToClose)
    }
    m_ports.released(PortUser::CwKeying);
}

bool CwKeyer::CWSetup() {
    closeKeyingPort();
    const int number = int(leadingNumber(m_settings.portText));
    if (number <= 0) {
        return true; // no port: serial keying times the characters and keys nothing
    }
    m_ports.claim(PortUser::CwKeying);
    m_portFailed = false;
    QString error;
    if (!m_port.open(number)) {
        error = m_port.errorString();
    } else if (!m_outputs.attachSerial(m_port.nativeHandle(),
                                       m_settings.keyingLine == KeyingLineChoice::Dtr
                                           ? SerialControlLine::Signal::Dtr
                                           : SerialControlLine::Signal::Rts,
                                       &error)) {
        closeKeyingPort();
    }
    if (!error.isEmpty()) {
        m_ports.released(PortUser::CwKeying);
        showInvalidPort(error);
        return false;
    }
    return true;
}

void CwKeyer::showInvalidPort(const QString& detail) {
    qCInfo(lcKeyer) << "keying port refused:" << detail;
    m_prompts.beep();
    m_prompts.message(kInvalidPortTitle, kInvalidPortText, PromptButtons::Ok, PromptIcon::Warning);
    Q_EMIT portRefused();
}

// Readies the line for a send; false when the send cannot go ahead.
bool CwKeyer::prepareOutputs() {
    switch (m_settings.keyingLine) {
    case KeyingLineChoice::Rts:
    case KeyingLineChoice::Dtr:
        if (leadingNumber(m_settings.portText) >= 1 && !m_port.isOpen() && !CWSetup()) {
            return false;
        }
        useLine(m_port.isOpen() ? &m_outputs.serialLine() : nullptr);
        return true;
    case KeyingLineChoice::Printer: {
        QString error;
        const int base = parallelAddressValue(m_settings.parallelText);
        if (!m_outputs.openParallel(base, &error)) {
            showInvalidPort(error);
            return false;
        }
        useLine(&m_outputs.parallelLine());
        return true;
    }
    case KeyingLineChoice::RigDtr:
    case KeyingLineChoice::RigRts:
        return prepareRigLine();
    case KeyingLineChoice::None:
    case KeyingLineChoice::WinKey:
    case KeyingLineChoice::RadioCat:
        break;
    }
    return false;
}

// ---- sending -------------------------------------------------------------------------

bool CwKeyer::keyingLineSelected() const { return m_settings.keyingLine != KeyingLineChoice::None; }

bool CwKeyer::isSending() const {
    return m_engine.sending() ||
           (m_settings.keyingLine == KeyingLineChoice::RadioCat && m_cat->busy());
}

void CwKeyer::FKeyCW(int keyCode) {
    m_buffer.clear();
    if (m_settings.keyingLine == KeyingLineChoice::RadioCat && m_cat->busy()) {
        m_cat->stop(); // the radio drops the rest of the message before the new one
    }
    if (m_settings.keyingLine == KeyingLineChoice::None) {
        return;
    }
    const std::optional<int> index = messageIndexForKeyCode(keyCode);
    if (!index) {
        return;
    }
    if (keyCode == 112) {
        m_repeatArmed = m_repeat->interval() > 0;
    }
    const QString message = m_settings.messages[*index];
    if (message.isEmpty()) {
        return;
    }
    const QString call = m_host != nullptr ? m_host->callForMessages() : QString();
    const QString report = m_host != nullptr ? m_host->reportSentForMessages() : QString();
    m_buffer.set(substituteWildcards(message, call, report));
    LoopThroughCWBuffer();
}

void CwKeyer::LoopThroughCWBuffer() {
    if (m_settings.keyingLine == KeyingLineChoice::WinKey) {
        if (m_host != nullptr && m_buffer.text().contains(QLatin1Char(kLogContactCharacter))) {
            m_host->logContact();
        }
        if (m_winKeyer != nullptr) {
            m_winKeyer->WKTransmit(); // the repeat starts when the feeder has handed all over
        } else {
            m_buffer.clear();
        }
        return;
    }
    if (m_settings.keyingLine == KeyingLineChoice::RadioCat) {
        sendThroughRadio();
        return;
    }
    if (m_engine.sending()) {
        return; // the running drain takes what was added
    }
    if (m_buffer.isEmpty()) {
        return;
    }
    if (!prepareOutputs()) {
        m_buffer.clear();
        m_repeatArmed = false;
        return;
    }
    pushParameters();
    m_engine.start();
}

void CwKeyer::handleEngineEvents() {
    for (const KeyingEvent& e : m_engine.takeEvents()) {
        switch (e.kind) {
        case KeyingEvent::Kind::CharacterStarted:
            if (m_settings.display == 1 && m_host != nullptr) {
                m_host->showKeyerStatus(e.remaining);
            }
            Q_EMIT characterStarted(e.character, e.remaining);
            break;
        case KeyingEvent::Kind::LogContact:
            if (m_host != nullptr) {
                m_host->logContact();
            }
            break;
        case KeyingEvent::Kind::SpeedRefused:
            m_repeatArmed = false;
            if (m_host != nullptr) {
                m_host->showKeyerStatus(
                    QStringLiteral("CW speed %1 WPM cannot be sent.").arg(m_settings.speedText));
            }
            break;
        case KeyingEvent::Kind::PriorityDecided:
            // The kernel refused the keying thread real-time priority: RealtimeKit may
            // grant it.
            if (!m_engine.realTime() && m_realtimeKit != nullptr) {
                m_realtimeKit->makeThreadRealtime(m_engine.threadId());
            }
            break;
        case KeyingEvent::Kind::LineReleased:
            if (!m_portFailed) {
                endSendForOtherUse(); // the output went to another use: not a fault
                break;
            }
            [[fallthrough]];
        case KeyingEvent::Kind::LineFailed:
            m_repeatArmed = false;
            closeKeyingPort();
            showInvalidPort(m_port.errorString());
            break;
        case KeyingEvent::Kind::Finished:
            if (e.drain != m_buffer.drainNumber() || m_engine.sending()) {
                break; // a later drain has started meanwhile and finishes for both
            }
            startRepeatIfArmed();
            if (m_settings.display == 1 && m_host != nullptr) {
                m_host->showKeyerStatus(m_host->keyboardCwMode() ? kKeyboardOnText : QString());
            }
            Q_EMIT sendingFinished();
            break;
        }
    }
}

void CwKeyer::announceCharacter(QChar character, const QString& remaining) {
    Q_EMIT characterStarted(character, remaining);
}

void CwKeyer::winKeyerFeedEnded(bool completed) {
    if (!completed) {
        m_repeatArmed = false; // the keyer could not take the message: no calling loop
    }
    startRepeatIfArmed();
    Q_EMIT sendingFinished();
}

void CwKeyer::startRepeatIfArmed() {
    // The repeat only runs while the interval is above 0.
    if (m_repeatArmed && m_repeat->interval() > 0) {
        m_repeat->start();
    } else {
        m_repeatArmed = false;
    }
}

void CwKeyer::clearSendBuffer() {
    m_buffer.clear();
    if (m_settings.keyingLine == KeyingLineChoice::RadioCat) {
        m_cat->stop(); // what the radio holds goes too
    }
}

void CwKeyer::stopRepeat() {
    if (!m_repeatArmed) {
        return;
    }
    if (m_winKeyer != nullptr && m_winKeyer->linkOpen()) {
        m_winKeyer->clearKeyerBuffer();
    }
    m_buffer.clear();
    m_repeatArmed = false;
    m_repeat->stop();
}

void CwKeyer::appendToBuffer(const QString& text) { m_buffer.append(text); }

void CwKeyer::removeLastUnsent() {
    if (m_winKeyer != nullptr && m_winKeyer->linkOpen() && m_host != nullptr &&
        m_host->keyboardCwMode() && m_winKeyer->pendingCharacters() > 0) {
        // The last typed character may not have been handed over yet: take it back
        // from the buffer then, else from the keyer.
        if (!m_buffer.removeLast()) {
            m_winKeyer->backspace();
        }
        return;
    }
    if (isSending()) {
        m_buffer.removeLast();
    }
}

bool CwKeyer::stopExternalKeyer() {
    if (m_settings.keyingLine == KeyingLineChoice::RadioCat) {
        return m_cat->stop(); // the radio stops sending at once
    }
    if (m_settings.keyingLine != KeyingLineChoice::WinKey || m_winKeyer == nullptr ||
        !m_winKeyer->linkOpen() || m_winKeyer->pendingCharacters() <= 0) {
        return false;
    }
    m_winKeyer->clearKeyerBuffer();
    m_buffer.clear();
    return true;
}

void CwKeyer::changeSpeed(int delta) {
    setSpeedText(shortestNumber(leadingNumber(m_settings.speedText) + delta));
}

void CwKeyer::UpDown1_UpClick() { changeSpeed(1); }

void CwKeyer::UpDown1_DownClick() { changeSpeed(-1); }

} // namespace ditlog
