// Enter sends message: what Enter on the entry row does next, as a running operator or a
// search-and-pounce operator would, from the state of the entry and the stored messages.
#pragma once

#include "assist/MessageKeys.h"

#include <QList>
#include <QString>

namespace ditlog {

// What the rule looks at.
struct EntryState {
    bool runMode = true;
    bool phone = false;          // voice messages: a call cannot be sent
    bool callEmpty = true;
    bool fieldsFilled = false;   // every field holds something and the call 3 characters
    bool duplicate = false;      // the call was worked on this band
    bool sectionOk = true;       // a 2-character SPC is a known state or province
    bool exchangeStartsWithCall = false; // the exchange message begins with "$"
};

struct EnterStep {
    enum class Action {
        Documented,     // Enter logs as it does without the option (its checks say why not)
        DuplicateCheck, // the duplicate check runs (and throws the entry away); nothing is sent
        Send,           // the messages are sent, as one transmission
    };
    Action action = Action::Documented;
    QList<MessageRole> messages;
    // After sending: the contact is logged (by the "!" of the message where it has one,
    // else right after the message is handed over).
    bool logContact = false;
    // After sending: the focus goes to the first empty field of the exchange.
    bool focusFirstEmpty = false;
};

EnterStep nextEnterStep(const EntryState& state);

// The status-line text of a step before Enter: "Enter: CQ (F1)", "Enter: K1ABC and
// exchange (F5 F2)", "Enter: TU and log (F3)" ...
QString describeEnterStep(const EnterStep& step, const MessageKeys& keys, const QString& call);

// A message ready to go with another: "!" taken out (the pair never logs).
QString withoutLogCharacter(QString text);

} // namespace ditlog
