// The CI-V family ("Icom", "Icom 735", "Ten Tec Omni VI"): frames FE FE to from command
// data... FD, the frequency reply (command 03) and the mode reply (command 04).
#pragma once

#include "rig/CatKeying.h"
#include "rig/RigReading.h"
#include "rig/RigCommand.h"

#include <QList>

namespace ditlog {

struct CivFrame {
    quint8 to = 0;
    quint8 from = 0;
    quint8 command = 0;
    QByteArray data;
    bool ended = false; // FD seen
};

// The frames in the buffer, in order; noise between frames is skipped, and a frame cut
// off at the end of the buffer is returned with ended false.
QList<CivFrame> civFrames(const QByteArray& buffer);

// A reply is complete once a frame addressed to the controller (E0) has ended; the echo of
// the query is addressed to the radio.
bool civReplyComplete(const QByteArray& buffer);

RigReading parseIcomReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseIcom735Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);


// The radio's address: the characters at positions 7 and 8 of the frequency query ("64" in
// "FE FE 64 E0 03 FD"); nothing when they are not a hexadecimal number.
std::optional<quint8> civAddress(const QByteArray& frequencyQuery);
// FE FE address E0 05, the Hz digits to 10 places as five BCD bytes least significant
// first, FD.
EncodedCommand civFrequencyCommand(double mhz, const RigCommandContext& context);
// FE FE address E0 06 mode FD; empty for a mode word without a mode byte.
EncodedCommand civModeCommand(const QString& modeWord, const RigCommandContext& context);

// The radio's keyer: command 17 with at most 30 characters (prosigns as "^" and their two
// letters, which the radio sends as one sign), 17 FF to stop; its speed with command 14
// 0C, 0000 to 0255 (BCD) for 6 to 48 WPM. Push-to-talk: 1C 00 01 and 1C 00 00. The radio
// acknowledges each with FB (FA when it refuses).
constexpr int kCivCwCharacters = 30;
QByteArray civCwCharacters(QChar c);
EncodedCommand civCwText(const QByteArray& characters, const RigCommandContext& context);
EncodedCommand civCwStop(const RigCommandContext& context);
EncodedCommand civCwSpeed(int wpm, const RigCommandContext& context);
EncodedCommand civTransmit(bool on, const RigCommandContext& context);
// A frame from the radio to the controller (E0) that says FB (Accepted) or FA (Refused);
// the echo of the command and other replies are passed over.
RigAnswer civAcknowledgement(const QByteArray& received, const RigCommandContext& context);

} // namespace ditlog
