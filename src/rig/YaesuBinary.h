// The Yaesu binary family: five-byte commands, replies read at fixed byte positions.
#pragma once

#include "rig/RigReading.h"
#include "rig/RigCommand.h"

namespace ditlog {

RigReading parseYaesuReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu757Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu890Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu920Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu990Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu1000Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);


// "Yaesu": the 10 Hz digits to 8 places as four BCD bytes most significant first, then 01.
EncodedCommand yaesuFrequencyCommand(double mhz, const RigCommandContext& context);
// The other binary Yaesus: the same four bytes least significant first, then 0A.
EncodedCommand yaesuReversedFrequencyCommand(double mhz, const RigCommandContext& context);
// Five-byte mode commands: "Yaesu" (code first, then 07) and the others (code fourth, 0C).
EncodedCommand yaesuModeCommand(const QString& modeWord, const RigCommandContext& context);
EncodedCommand yaesuReversedModeCommand(const QString& modeWord, const RigCommandContext& context);

// Push-to-talk: "Yaesu" 00 00 00 00 08 (on) and 00 00 00 00 88 (off); the others that
// have it (890, 920, 990, 1000 D, 1000) 00 00 00 01 0F and 00 00 00 00 0F. No answer.
EncodedCommand yaesuTransmit(bool on, const RigCommandContext& context);
EncodedCommand yaesuReversedTransmit(bool on, const RigCommandContext& context);

} // namespace ditlog
