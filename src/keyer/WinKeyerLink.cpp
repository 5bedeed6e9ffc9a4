// WinKeyer settings, the open and close rules and the feeder.
#include "keyer/WinKeyerLink.h"

#include "keyer/CwBuffer.h"
#include "log/RecordFile.h"
#include "platform/PortOwnership.h"
#include "platform/UserPrompts.h"
#include "platform/WinKeyer.h"

#include <QDir>
#include <QLoggingCategory>
#include <QScopedValueRollback>
#include <QTimer>

#include <cmath>

Q_DECLARE_LOGGING_CATEGORY(lcKeyer)

namespace ditlog {

namespace {
constexpr int kFeedStepMs = 10;
constexpr int kMaxPending = 4; // a character is handed over while at most four are pending
const QString kAlphabetTest = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ ");

// The byte a buffered character is given to the keyer as; 0 for none. Line breaks and
// tabs (pasted practice text) become blanks; other control characters would be keyer
// commands and are dropped.
quint8 keyerByte(QChar c) {
    const char16_t u = c.unicode();
    if (u == u'\n' || u == u'\r' || u == u'\t') {
        return ' ';
    }
    if (u < 0x20 || u == 0x7F || u > 0xFF) {
        return 0;
    }
    return quint8(u);
}
} // namespace

WinKeySettings readWinKeySettings(const QByteArray& content) {
    WinKeySettings s;
    RecordReader reader(content);
    const auto byte = [&reader](int& target) {
        if (reader.atEnd()) {
            return false;
        }
        const std::optional<double> v = reader.readNumber();
        if (!v || *v != std::floor(*v) || *v < 0 || *v > 255) {
            return false;
        }
        target = int(*v);
        return true;
    };
    const auto text = [&reader](QString& target) {
        if (reader.atEnd()) {
            return false;
        }
        const std::optional<QString> v = reader.readText();
        if (v) {
            target = stripUnstorable(*v);
        }
        return v.has_value();
    };
    if (byte(s.comPort) && text(s.wpm) && text(s.weight) && text(s.leadIn) && text(s.tail) &&
        text(s.ratio) && byte(s.pinConfig)) {
        byte(s.mode);
    }
    return s;
}

QByteArray writeWinKeySettings(const WinKeySettings& s) {
    RecordWriter w;
    QByteArray out = w.integer(s.comPort).takeLine();
    for (const QString* t : {&s.wpm, &s.weight, &s.leadIn, &s.tail, &s.ratio}) {
        out += w.text(stripUnstorable(*t)).takeLine();
    }
    out += w.integer(s.pinConfig).takeLine();
    out += w.integer(s.mode).takeLine();
    return out;
}

WinKeyerLink::WinKeyerLink(WinKeyer& keyer, CwKeyer& cw, PortOwnership& ports, UserPrompts& prompts,
                           QString dataFolder, QObject* parent)
    : QObject(parent), m_keyer(keyer), m_cw(cw), m_ports(ports), m_prompts(prompts),
      m_dataFolder(std::move(dataFolder)), m_feed(new QTimer(this)),
      m_recovery(LinkRecovery::kDevicePauses) {
    wire();
}

WinKeyerLink::WinKeyerLink(WinKeyer& keyer, CwKeyer& cw, PortOwnership& ports, UserPrompts& prompts,
                           QString dataFolder, TimerClock& clock, QObject* parent)
    : QObject(parent), m_keyer(keyer), m_cw(cw), m_ports(ports), m_prompts(prompts),
      m_dataFolder(std::move(dataFolder)), m_feed(new QTimer(this)),
      m_recovery(LinkRecovery::kDevicePauses, clock) {
    wire();
}

void WinKeyerLink::wire() {
    m_feed->setSingleShot(true);
    connect(m_feed, &QTimer::timeout, this, &WinKeyerLink::feedStep);
    connect(&m_keyer, &WinKeyer::opened, this, &WinKeyerLink::opened);
    connect(&m_keyer, &WinKeyer::linkLost, this, &WinKeyerLink::linkLost);
    connect(&m_keyer, &WinKeyer::statusChanged, this, [this] {
        // Not from inside a step (handing a character over changes the status): the step
        // announces that character before the feed may end.
        if (m_feeding && !m_feed->isActive() && !m_inStep) {
            feedStep();
        }
    });
    connect(&m_recovery, &LinkRecovery::retryDue, this, &WinKeyerLink::retry);
    m_ports.setReleaser(PortUser::WinKeyer, [this] { Close(); });
    m_cw.setWinKeyer(this);
}

WinKeyerLink::~WinKeyerLink() {
    m_cw.setWinKeyer(nullptr);
    m_ports.setReleaser(PortUser::WinKeyer, {});
    if (m_version != 0) {
        m_keyer.wk_close();
    }
}

void WinKeyerLink::load() {
    m_settings = WinKeySettings();
    if (const auto content = readWholeFile(QDir(m_dataFolder).filePath(QLatin1String(kWinKeySettingsFileName)),
                                           nullptr, 64 * 1024)) {
        m_settings = readWinKeySettings(*content);
    }
    m_settings.wpm = m_cw.speedText();
    Q_EMIT settingsChanged();
}

std::optional<QString> WinKeyerLink::save() const {
    return writeFileAtomically(QDir(m_dataFolder).filePath(QLatin1String(kWinKeySettingsFileName)),
                               writeWinKeySettings(m_settings));
}

QString WinKeyerLink::versionText() const {
    return m_version != 0 ? QStringLiteral("Version # %1").arg(m_version) : QStringLiteral("Version #");
}

void WinKeyerLink::setStatus(const QString& text) {
    m_status = text;
    Q_EMIT statusTextChanged(text);
}

// ---- open and close ------------------------------------------------------------------

void WinKeyerLink::Open() {
    if (m_keyer.opening()) {
        return; // one opening at a time
    }
    m_ports.claim(PortUser::WinKeyer); // the push-to-talk and CW keying ports let go
    m_retrying = false;
    m_recovery.opening();
    m_keyer.wk_open(m_settings.comPort);
}

void WinKeyerLink::opened(int result, int version) {
    if (m_retrying) {
        retryOutcome(result, version);
        return;
    }
    if (result != int(WinKeyResult::AlreadyOpen) && version == 0) {
        m_prompts.message(QStringLiteral("Unable to establish connection with Winkey."),
                          QStringLiteral("Unable to establish connection with WinKey on com port "
                                         "%1.  Please check to make sure that you have specified "
                                         "the correct port and that the Winkey device is properly "
                                         "connected.")
                              .arg(m_settings.comPort),
                          PromptButtons::Ok, PromptIcon::Warning);
    }
    const QString text = winKeyResultText(result);
    if (!text.isEmpty()) {
        setStatus(text);
    }
    if (result != int(WinKeyResult::AlreadyOpen)) {
        if (version != 0) {
            m_version = version;
            m_recovery.opened();
        } else {
            m_ports.released(PortUser::WinKeyer);
            m_recovery.close();
        }
        ApplyWinKeySettings();
        Q_EMIT versionTextChanged(versionText());
    }
    Q_EMIT openFinished(m_version != 0);
    if (m_sendWhenOpen) {
        m_sendWhenOpen = false;
        if (m_version != 0) {
            WKTransmit();
        } else {
            m_cw.buffer().clear(); // no keyer: the text is dropped, not kept for later
            m_cw.winKeyerFeedEnded(false);
        }
    }
}

void WinKeyerLink::Close() {
    m_recovery.close();
    m_retrying = false;
    stopFeeding(false);
    m_keyer.wk_close();
    m_version = 0;
    m_ports.released(PortUser::WinKeyer);
    setStatus(QStringLiteral("Closed"));
    Q_EMIT versionTextChanged(versionText());
}

void WinKeyerLink::linkLost(const QString& description) {
    qCInfo(lcKeyer) << "WinKeyer link lost:" << description;
    // Nothing is left to be sent when the keyer is back: the text, a calling loop and a
    // send waiting for the opening all end here.
    m_cw.stopRepeat();
    stopFeeding(false);
    m_cw.buffer().clear();
    m_sendWhenOpen = false;
    m_version = 0;
    // The port stays the WinKeyer's while it is looked for: another use that claims it
    // ends the search (Close).
    setStatus(QStringLiteral("WinKey lost; waiting for it to return"));
    Q_EMIT versionTextChanged(versionText());
    m_prompts.beep();
    Q_EMIT linkNotice(QStringLiteral("The WinKeyer on port %1 is gone (%2); it is used again when it is back.")
                          .arg(m_settings.comPort)
                          .arg(description));
    m_recovery.lost(description);
}

void WinKeyerLink::retry() {
    if (m_keyer.opening()) {
        m_recovery.attemptFailed(QStringLiteral("an opening is under way"));
        return;
    }
    m_retrying = true;
    m_keyer.wk_open(m_settings.comPort);
}

void WinKeyerLink::retryOutcome(int result, int version) {
    m_retrying = false;
    if (!m_recovery.recovering()) {
        return; // closed meanwhile
    }
    if (version == 0) {
        // Quietly: the keyer is still away. An operator's send made during the search
        // does not wait for it.
        m_recovery.attemptFailed(winKeyResultText(result));
        if (std::exchange(m_sendWhenOpen, false)) {
            m_cw.buffer().clear();
            m_cw.winKeyerFeedEnded(false);
        }
        return;
    }
    m_version = version;
    m_recovery.opened();
    ApplyWinKeySettings();
    setStatus(winKeyResultText(result));
    Q_EMIT versionTextChanged(versionText());
    Q_EMIT linkNotice(QStringLiteral("The WinKeyer on port %1 is back and ready.").arg(m_settings.comPort));
    if (std::exchange(m_sendWhenOpen, false)) {
        WKTransmit();
    }
}

// ---- settings ------------------------------------------------------------------------

int WinKeyerLink::number(const QString& text, int low, int high, bool* inRange) const {
    const double v = leadingNumber(text);
    *inRange = isNumericText(text) && v >= low && v <= high;
    return int(v);
}

QString WinKeyerLink::leaveSpeed(const QString& text) {
    if (!isNumericText(text)) {
        return m_settings.wpm = QStringLiteral("18");
    }
    m_settings.wpm = text;
    bool ok = false;
    const int v = number(text, 0, 99, &ok);
    if (ok) {
        m_keyer.wk_wpm(quint8(v));
    }
    return text;
}

QString WinKeyerLink::leaveWeight(const QString& text) {
    if (!isNumericText(text)) {
        return m_settings.weight = QStringLiteral("50");
    }
    m_settings.weight = text;
    bool ok = false;
    const int v = number(text, 0, 99, &ok);
    if (ok) {
        m_keyer.wk_weight(quint8(v));
    }
    return text;
}

QString WinKeyerLink::leaveLeadIn(const QString& leadIn, const QString& tail) {
    if (!isNumericText(leadIn) || !isNumericText(tail)) {
        m_settings.tail = tail;
        return m_settings.leadIn = QStringLiteral("0");
    }
    m_settings.leadIn = leadIn;
    m_settings.tail = tail;
    bool leadOk = false;
    bool tailOk = false;
    const int l = number(leadIn, 0, 255, &leadOk);
    const int t = number(tail, 0, 255, &tailOk);
    if (leadOk && tailOk) {
        m_keyer.wk_ptt_leadtail(quint8(l), quint8(t));
    }
    return leadIn;
}

QString WinKeyerLink::leaveTail(const QString& leadIn, const QString& tail) {
    if (!isNumericText(leadIn) || !isNumericText(tail)) {
        m_settings.leadIn = leadIn;
        return m_settings.tail = QStringLiteral("0");
    }
    leaveLeadIn(leadIn, tail);
    return tail;
}

QString WinKeyerLink::leaveRatio(const QString& text) {
    if (!isNumericText(text)) {
        return m_settings.ratio = QStringLiteral("50");
    }
    m_settings.ratio = text;
    bool ok = false;
    const int v = number(text, 33, 66, &ok);
    if (ok) {
        m_keyer.wk_ditdah_ratio(quint8(v));
    }
    return text;
}

QString WinKeyerLink::leavePort(const QString& text) {
    const double v = leadingNumber(text);
    m_settings.comPort = isNumericText(text) && v >= 0 && v <= 255 ? int(v) : 0;
    return QString::number(m_settings.comPort);
}

void WinKeyerLink::choosePinConfig(int pins) {
    m_settings.pinConfig = pins;
    if (m_version != 0) {
        ApplyWinKeySettings();
    }
}

void WinKeyerLink::chooseMode(int mode) {
    m_settings.mode = mode;
    if (m_version != 0) {
        ApplyWinKeySettings();
    }
}

void WinKeyerLink::ApplyWinKeySettings() {
    leaveSpeed(m_settings.wpm);
    leaveWeight(m_settings.weight);
    leaveLeadIn(m_settings.leadIn, m_settings.tail);
    leaveRatio(m_settings.ratio);
    m_keyer.wk_pincfg(quint8(m_settings.pinConfig));
    m_keyer.wk_setmode(quint8(m_settings.mode));
    Q_EMIT settingsChanged();
}

void WinKeyerLink::speedChanged(int wpm) {
    m_settings.wpm = QString::number(wpm);
    m_keyer.wk_wpm(quint8(wpm));
    Q_EMIT settingsChanged();
}

// ---- feeding -------------------------------------------------------------------------

void WinKeyerLink::WKTransmit() {
    if (m_feeding) {
        return; // the running feed takes what was added
    }
    if (m_version == 0) {
        m_sendWhenOpen = true;
        if (m_recovery.recovering()) {
            m_recovery.retryNow(); // the operator's use looks for the keyer at once
        } else {
            Open();
        }
        return;
    }
    m_feeding = true;
    m_progress.start();
    m_lastPending = m_keyer.wk_getstatus();
    feedStep();
}

void WinKeyerLink::feedStep() {
    if (!m_feeding) {
        return;
    }
    const QScopedValueRollback inStep(m_inStep, true);
    if (m_version == 0) {
        stopFeeding(false);
        return;
    }
    CwBuffer& buffer = m_cw.buffer();
    if (buffer.isEmpty()) {
        stopFeeding(true);
        return;
    }
    const int pending = m_keyer.wk_getstatus();
    if (pending != m_lastPending) {
        m_progress.start(); // the keyer is moving on
        m_lastPending = pending;
    }
    if (pending > kMaxPending) {
        if (m_progress.elapsed() > m_giveUpMs) {
            setStatus(QStringLiteral("WinKey does not take more characters; sending stopped."));
            buffer.clear();
            stopFeeding(false);
            return;
        }
        m_feed->start(kFeedStepMs * 5); // or sooner, on the keyer's next status
        return;
    }
    QString remaining;
    const std::optional<QChar> c = buffer.takeForKeying(&remaining);
    if (c) {
        if (const quint8 byte = keyerByte(*c)) {
            m_keyer.wk_char(byte);
            m_lastPending = m_keyer.wk_getstatus();
            m_progress.start();
        }
        m_cw.announceCharacter(*c, remaining);
    }
    m_feed->start(kFeedStepMs);
}

void WinKeyerLink::stopFeeding(bool ended) {
    const bool was = m_feeding;
    m_feeding = false;
    m_feed->stop();
    if (was) {
        m_cw.winKeyerFeedEnded(ended); // also a feed cut short: whoever waits for it goes on
    }
}

int WinKeyerLink::pendingCharacters() { return m_version != 0 ? m_keyer.wk_getstatus() : 0; }

void WinKeyerLink::clearKeyerBuffer() { m_keyer.wk_clearbuf(); }

void WinKeyerLink::backspace() { m_keyer.wk_backspace(); }

void WinKeyerLink::Test() {
    CwBuffer& buffer = m_cw.buffer();
    if (buffer.isEmpty()) {
        buffer.append(QStringLiteral("VVV TEST DE ") + (m_ownCall ? m_ownCall() : QString()));
        WKTransmit();
    } else {
        buffer.append(QStringLiteral("VVV TEST DE ") + (m_ownCall ? m_ownCall() : QString()));
    }
}

void WinKeyerLink::BufferTest() {
    CwBuffer& buffer = m_cw.buffer();
    const bool wasEmpty = buffer.isEmpty();
    buffer.append(kAlphabetTest.repeated(3));
    if (wasEmpty) {
        WKTransmit();
    }
}

void WinKeyerLink::Stop() {
    m_keyer.wk_clearbuf();
    m_cw.buffer().clear();
}

void WinKeyerLink::typeAhead(QChar c) {
    if (c.unicode() <= 13) {
        return;
    }
    CwBuffer& buffer = m_cw.buffer();
    const bool wasEmpty = buffer.isEmpty();
    buffer.append(QString(c));
    if (wasEmpty) {
        WKTransmit();
    }
}

} // namespace ditlog
