// The Kenwood text family ("Kenwood", "Elecraft", "Kenwood 2"): replies such as
// FA00014025000; MD3; and the IF status line.
#pragma once

#include "rig/CatKeying.h"
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

// The radio's keyer: "KY", a blank and at most 24 characters, ";". A Kenwood takes the
// characters as a field of 24 filled with blanks (which it does not send); an Elecraft
// takes them as they are. Prosigns by each maker's symbols (Kenwood SK ">", Elecraft SK
// "*"; AR "+", KN "(", BT "=" on both; CL as its two letters).
constexpr int kKenwoodCwCharacters = 24;
QByteArray kenwoodCwCharacters(QChar c);
QByteArray elecraftCwCharacters(QChar c);
EncodedCommand kenwoodCwText(const QByteArray& characters, const RigCommandContext& context);
EncodedCommand elecraftCwText(const QByteArray& characters, const RigCommandContext& context);
// The answer to "KY;": KY0 (and an Elecraft K2's KY2) room, KY1 the buffer is full.
RigAnswer kenwoodCwRoom(const QByteArray& received, const RigCommandContext& context);
// "KS" and the speed in three digits: 4 to 60 WPM on a Kenwood, 8 to 100 on an Elecraft.
EncodedCommand kenwoodCwSpeed(int wpm, const RigCommandContext& context);
EncodedCommand elecraftCwSpeed(int wpm, const RigCommandContext& context);
// Sending stops: "KY0;" on a Kenwood, "RX;" (back to receive at once) on an Elecraft.
EncodedCommand kenwoodCwStop(const RigCommandContext& context);
EncodedCommand elecraftCwStop(const RigCommandContext& context);
// Push-to-talk: "TX;" and "RX;" (the radio does not answer them).
EncodedCommand kenwoodTransmit(bool on, const RigCommandContext& context);

} // namespace ditlog
