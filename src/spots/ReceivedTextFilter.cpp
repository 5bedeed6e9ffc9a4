// The state machine of the received-text filter.
#include "spots/ReceivedTextFilter.h"

namespace ditlog {

namespace {
constexpr char kIac = char(255);
constexpr char kDont = char(254);
constexpr char kDo = char(253);
constexpr char kWont = char(252);
constexpr char kWill = char(251);
constexpr char kSb = char(250);
constexpr char kSe = char(240);
constexpr char kEsc = char(27);
// Sequences longer than this are not terminal sequences: the filter gives up on them.
constexpr int kMaxSequenceBytes = 64;
constexpr qsizetype kMaxReplyBytes = 4096;
} // namespace

void ReceivedTextFilter::reset() {
    m_state = State::Text;
    m_command = 0;
    m_sequenceBytes = 0;
    m_replies.clear();
}

QByteArray ReceivedTextFilter::takeReplies() {
    QByteArray out;
    out.swap(m_replies);
    return out;
}

void ReceivedTextFilter::endOfOption(char command, char option) {
    // Refuse whatever is offered or asked; a refusal of ours is never answered again.
    if (m_replies.size() >= kMaxReplyBytes) {
        return;
    }
    if (command == kDo) {
        m_replies.append(kIac).append(kWont).append(option);
    } else if (command == kWill) {
        m_replies.append(kIac).append(kDont).append(option);
    }
}

QByteArray ReceivedTextFilter::filter(QByteArrayView bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    const bool telnet = m_protocol == Protocol::Telnet;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        switch (m_state) {
        case State::Text:
            if (telnet && c == kIac) {
                m_state = State::Iac;
            } else if (c == kEsc) {
                m_state = State::Escape;
            } else if (c == '\r' || c == '\n') {
                out.append(c);
            } else if (c == '\t') {
                out.append(' ');
            } else if (u >= 0x20 && u != 0x7F) {
                out.append(c);
            }
            break;
        case State::Iac:
            if (c == kIac) {
                out.append(c); // an escaped data byte 255
                m_state = State::Text;
            } else if (c == kDo || c == kDont || c == kWill || c == kWont) {
                m_command = c;
                m_state = State::Option;
            } else if (c == kSb) {
                m_sequenceBytes = 0;
                m_state = State::Sub;
            } else {
                m_state = State::Text; // a two-byte command (NOP, GA, ...)
            }
            break;
        case State::Option:
            endOfOption(m_command, c);
            m_state = State::Text;
            break;
        case State::Sub:
            if (c == kIac) {
                m_state = State::SubIac;
            } else if (++m_sequenceBytes > 4 * kMaxSequenceBytes) {
                m_state = State::Text;
            }
            break;
        case State::SubIac:
            m_state = c == kSe ? State::Text : State::Sub;
            break;
        case State::Escape:
            if (c == '[') {
                m_sequenceBytes = 0;
                m_state = State::Csi;
            } else {
                m_state = State::Text; // a two-byte escape sequence
            }
            break;
        case State::Csi:
            // Parameters and intermediates run up to a final byte 0x40..0x7E.
            if (u >= 0x40 && u <= 0x7E) {
                m_state = State::Text;
            } else if (u < 0x20 || u > 0x3F || ++m_sequenceBytes > kMaxSequenceBytes) {
                m_state = State::Text;
                if (c == '\r' || c == '\n') {
                    out.append(c);
                }
            }
            break;
        }
    }
    return out;
}

} // namespace ditlog
