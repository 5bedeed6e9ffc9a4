// Enter sends message: the entry's state, sending the step's messages through the CW or
// voice keyer, logging, and the next action on the status line.
#include "app/AssistDesk.h"

#include "app/EntryPanel.h"
#include "keyer/CwKeyer.h"
#include "keyer/CwKeyerControl.h"
#include "log/ContactLog.h"
#include "log/DuplicateCheck.h"
#include "log/Score.h"
#include "log/StationPreferences.h"
#include "voice/VoiceControl.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace ditlog {

namespace {
constexpr int kLastVoiceKey = 120; // the voice keyer plays F1 ... F9
} // namespace

EntryState AssistDesk::entryState(bool exactDuplicate) const {
    const EntryPanel& e = m_entry;
    const QString call = e.txtCall->text();
    EntryState s;
    s.runMode = m_runMode;
    s.phone = m_prefs.Mode == QLatin1String("PH");
    s.callEmpty = call.trimmed().isEmpty();
    s.fieldsFilled = call.size() >= 3;
    for (const QLineEdit* f : {e.txtRSTR, e.txtCntry, e.txtName, e.txtSec, e.txtRSTS}) {
        s.fieldsFilled = s.fieldsFilled && !f->text().isEmpty();
    }
    s.duplicate = !s.callEmpty && (exactDuplicate ? findDuplicate(m_log, call, m_prefs.Band).duplicate != 0
                                                  : m_worked.workedOn(call.trimmed().toUpper(), m_prefs.Band));
    const QString spc = e.txtCntry->text();
    s.sectionOk = spc.size() != 2 || SectionCheck(m_log.multipliers(), spc) != 0;
    if (m_keyer && !s.phone) {
        const MessageKeys keys = messageKeys();
        s.exchangeStartsWithCall =
            m_keyer().messageText(keys.code(MessageRole::Exchange)).trimmed().startsWith(QLatin1Char('$'));
    }
    return s;
}

MessageKeys AssistDesk::messageKeys() const {
    return MessageKeys::load(m_keyStore ? m_keyStore() : m_services.settings);
}

bool AssistDesk::enterPressed() {
    if (!m_esmOn) {
        return false;
    }
    const EnterStep step = nextEnterStep(entryState(true));
    switch (step.action) {
    case EnterStep::Action::Documented: return false;
    case EnterStep::Action::DuplicateCheck:
        m_entry.DupCheck(); // shows the duplicate and throws the entry away
        showNextAction();
        return true;
    case EnterStep::Action::Send: break;
    }
    const bool loggedByMessage = send(step);
    if (step.logContact && !loggedByMessage) {
        m_entry.Mains();
    }
    if (step.focusFirstEmpty) {
        m_entry.focusFirstEmpty();
    }
    showNextAction();
    return true;
}

bool AssistDesk::send(const EnterStep& step) {
    const MessageKeys keys = messageKeys();
    if (m_prefs.Mode == QLatin1String("PH")) {
        for (const MessageRole role : step.messages) {
            if (m_voice && keys.code(role) <= kLastVoiceKey) {
                m_voice().FKeyPhone(keys.code(role));
            }
        }
        return false; // voice messages have no log character
    }
    if (!m_keyer) {
        return false;
    }
    CwKeyerControl& keyer = m_keyer();
    if (!keyer.keyingLineSelected()) {
        return false;
    }
    const int first = keys.code(step.messages.first());
    if (step.messages == QList<MessageRole>{MessageRole::Cq}) {
        keyer.FKeyCW(first); // as the key itself: the calling loop repeats it
        return false;
    }
    if (step.logContact) {
        // The keyer logs where the message has its "!" (the WinKeyer before sending).
        const bool byCharacter = keyer.messageText(first).contains(QLatin1Char('!'));
        keyer.FKeyCW(first);
        return byCharacter;
    }
    // Messages that must not log go out as one transmission, without "!".
    QStringList parts;
    for (const MessageRole role : step.messages) {
        const QString text = substituteWildcards(withoutLogCharacter(keyer.messageText(keys.code(role))),
                                                 m_entry.txtCall->text(), m_entry.txtRSTS->text())
                                 .trimmed();
        if (!text.isEmpty()) {
            parts << text;
        }
    }
    keyer.clearSendBuffer();
    if (!parts.isEmpty()) {
        keyer.appendToBuffer(parts.join(QLatin1Char(' ')));
        keyer.LoopThroughCWBuffer();
    }
    return false;
}

QString AssistDesk::nextActionText() const {
    if (!m_esmOn) {
        return {};
    }
    if (m_entry.postContestMode()) {
        return QStringLiteral("Enter: log");
    }
    return describeEnterStep(nextEnterStep(entryState(false)), messageKeys(),
                             m_entry.txtCall->text());
}

void AssistDesk::showNextAction() {
    if (m_nextAction == nullptr) {
        return;
    }
    const QString text = nextActionText();
    if (m_nextAction->text() != text) {
        m_nextAction->setText(text);
    }
    const QString mode = m_runMode ? QStringLiteral("Run") : QStringLiteral("S&P");
    m_nextAction->setToolTip(QStringLiteral("Enter sends message, %1 mode").arg(mode));
    Q_EMIT nextActionVisibilityChanged(m_esmOn);
}

void AssistDesk::setNextActionLabel(QLabel* label) {
    m_nextAction = label;
    showNextAction();
}

bool AssistDesk::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::WindowActivate && m_esmOn) {
        showNextAction();
    }
    return false;
}

void AssistDesk::entryChanged() {
    if (m_esmOn) {
        showNextAction();
    }
}

} // namespace ditlog
