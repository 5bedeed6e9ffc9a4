// Cleans text received from a spot source before anyone sees it: Telnet option
// negotiation (answered by refusing every option), ANSI colour and cursor sequences, and
// stray control bytes (BEL, NUL and the rest) are taken out; CR and LF stay, a tab
// becomes a blank. Sequences split across blocks are recognised.
#pragma once

#include <QByteArray>

namespace ditlog {

class ReceivedTextFilter {
public:
    enum class Protocol { Raw, Telnet };
    explicit ReceivedTextFilter(Protocol protocol = Protocol::Raw) : m_protocol(protocol) {}

    // The clean text of one received block; Telnet answers to send back are collected
    // and handed out by takeReplies.
    QByteArray filter(QByteArrayView bytes);
    QByteArray takeReplies();
    void reset();

private:
    enum class State { Text, Iac, Option, Sub, SubIac, Escape, Csi };
    void endOfOption(char command, char option);

    Protocol m_protocol;
    State m_state = State::Text;
    char m_command = 0;
    int m_sequenceBytes = 0;
    QByteArray m_replies;
};

} // namespace ditlog
