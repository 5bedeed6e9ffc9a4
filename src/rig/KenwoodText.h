// The Kenwood text family ("Kenwood", "Elecraft", "Kenwood 2"): replies such as
// FA00014025000; MD3; and the IF status line.
#pragma once

#include "rig/RigReading.h"

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

} // namespace ditlog
