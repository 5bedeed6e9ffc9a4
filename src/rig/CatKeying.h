// The radio's own keyer and transmit switch as columns of the family table: how a family
// takes CW as text over CAT ("Radio (CAT)" keying) and switches to transmit for the voice
// keyer, with the pure encoders in each family's file. A family whose column is empty
// has no such command.
#pragma once

#include "rig/RigCommand.h"

#include <QByteArray>
#include <QChar>

namespace ditlog {

// Reads what the radio sent back to a command, as far as it has arrived.
using RigAnswerReader = RigAnswer (*)(const QByteArray& received, const RigCommandContext& context);

struct RigCwCommands {
    // The most radio characters one text command takes; 0: the family has no CAT keyer.
    int charactersPerCommand = 0;
    // The radio's characters for one character of the Morse table (a prosign as the
    // radio's own symbol); empty for one the radio's keyer cannot send.
    QByteArray (*characters)(QChar c) = nullptr;
    // One text command for at most charactersPerCommand radio characters.
    EncodedCommand (*text)(const QByteArray& characters,
                           const RigCommandContext& context) = nullptr;
    // The radio fills a short command with blanks that it does not send: a command that
    // ends in a blank would lose it.
    bool trailingBlankLost = false;
    // Asked before each text command; its answer tells whether the radio's buffer has room
    // (Accepted) or is full (Refused). Empty: nothing is asked.
    QByteArray roomQuery;
    RigAnswerReader room = nullptr;
    // The radio's acknowledgement of a text command (Refused: no room); null: none awaited.
    RigAnswerReader accepted = nullptr;
    // The keyer's speed in WPM (clamped to what the radio takes), and the end of sending.
    EncodedCommand (*speed)(int wpm, const RigCommandContext& context) = nullptr;
    EncodedCommand (*stop)(const RigCommandContext& context) = nullptr;
};

struct RigPttCommands {
    // Transmit on or off; null: the family has no CAT push-to-talk.
    EncodedCommand (*transmit)(bool on, const RigCommandContext& context) = nullptr;
    // The radio's acknowledgement of transmit; null: waitMs after the command has gone out
    // stands for it.
    RigAnswerReader acknowledged = nullptr;
    int waitMs = 0;
};

// The symbols a radio's keyer takes for the prosigns of the Morse table.
struct ProsignSymbols {
    const char* ar; // "["
    const char* sk; // "]"
    const char* kn; // ";"
    const char* cl; // "\"
    const char* bt; // "=" and "-", which the table keys alike
};

// A character of the Morse table as radio characters: letters (upper-cased), digits, the
// blank and . , ? / as they are, the prosigns as the radio's symbols; empty for anything
// the table does not key (and "!", which is no Morse).
QByteArray catCwCharacters(QChar c, const ProsignSymbols& symbols);

} // namespace ditlog
