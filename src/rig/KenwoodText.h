// The Kenwood text family ("Kenwood", "Elecraft", "Kenwood 2"): replies such as
// FA00014025000; MD3; and the IF status line.
#pragma once

#include "rig/RigReading.h"
#include "rig/RigCommand.h"

namespace ditlog {

RigReading parseKenwoodReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseKenwood2Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);

// Shared by the text families: the digits starting at index start, read as a number of
// Hz. A radio of the family with a longer or shorter frequency field ends it with ';', so
// the digits up to that terminator are taken; otherwise the documented count. Nothing
// when no digit stands there.
std::optional<qint64> textHertz(const QByteArray& buffer, qsizetype start, int documentedDigits,
                                char terminator);
// A mode character of a text reply: a digit or letter (a blank or ';' is not one).
bool isModeCharacter(char c);


// Frequency commands: FA (or the first two characters of the frequency query), the Hz
// digits to 11 places, ";". "Kenwood 2" tunes VFO B (FB) when the radio reports it in use.
EncodedCommand kenwoodFrequencyCommand(double mhz, const RigCommandContext& context);
EncodedCommand kenwood2FrequencyCommand(double mhz, const RigCommandContext& context);
EncodedCommand elecraftFrequencyCommand(double mhz, const RigCommandContext& context);
// MD3; for "CW" and so on; empty for a mode word the family has no command for.
EncodedCommand kenwoodModeCommand(const QString& modeWord, const RigCommandContext& context);

// Shared by the text families: key, the Hz digits padded to width (at most maxDigits), ";".
EncodedCommand textFrequencyCommand(const QByteArray& key, double mhz, int width, int maxDigits);

} // namespace ditlog
