// The rule of Enter sends message and its description.
#include "assist/EnterSendsMessage.h"

#include <QStringList>

namespace ditlog {

EnterStep nextEnterStep(const EntryState& s) {
    EnterStep step;
    if (s.callEmpty) {
        if (s.runMode) {
            step.action = EnterStep::Action::Send;
            step.messages = {MessageRole::Cq};
        }
        return step;
    }
    if (s.duplicate) {
        step.action = EnterStep::Action::DuplicateCheck;
        return step;
    }
    if (!s.fieldsFilled) {
        step.action = EnterStep::Action::Send;
        step.focusFirstEmpty = true;
        if (!s.runMode) {
            step.messages = {MessageRole::MyCall};
        } else if (s.phone || s.exchangeStartsWithCall) {
            step.messages = {MessageRole::Exchange};
        } else {
            step.messages = {MessageRole::HisCall, MessageRole::Exchange};
        }
        return step;
    }
    if (!s.sectionOk) {
        return step; // the section check tells the operator
    }
    step.action = EnterStep::Action::Send;
    step.messages = {s.runMode ? MessageRole::ThankYou : MessageRole::Exchange};
    step.logContact = true;
    return step;
}

QString describeEnterStep(const EnterStep& step, const MessageKeys& keys, const QString& call) {
    switch (step.action) {
    case EnterStep::Action::Documented: return QStringLiteral("Enter: log");
    case EnterStep::Action::DuplicateCheck: return QStringLiteral("Enter: duplicate");
    case EnterStep::Action::Send: break;
    }
    QStringList what;
    QStringList fkeys;
    for (const MessageRole role : step.messages) {
        fkeys << functionKeyName(keys.code(role));
        switch (role) {
        case MessageRole::Cq: what << QStringLiteral("CQ"); break;
        case MessageRole::Exchange: what << QStringLiteral("exchange"); break;
        case MessageRole::ThankYou: what << QStringLiteral("TU"); break;
        case MessageRole::MyCall: what << QStringLiteral("my call"); break;
        case MessageRole::HisCall: what << call.trimmed(); break;
        }
    }
    if (step.logContact) {
        what << QStringLiteral("log");
    }
    return QStringLiteral("Enter: %1 (%2)")
        .arg(what.join(QStringLiteral(" and ")), fkeys.join(QLatin1Char(' ')));
}

QString withoutLogCharacter(QString text) {
    text.remove(QLatin1Char('!'));
    return text;
}

} // namespace ditlog
