// The Yaesu text family ("Yaesu FTdx9000"): FA14025000; and MD03; replies.
#pragma once

#include "rig/RigReading.h"
#include "rig/RigCommand.h"

namespace ditlog {

RigReading parseFtdx9000Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);


// The first two characters of the frequency query ("FA"), the Hz digits to 8 places (9 above
// 100 MHz, as the radio's longer field), ";".
EncodedCommand ftdx9000FrequencyCommand(double mhz, const RigCommandContext& context);
// The first three characters of the mode query ("MD0"), the mode digit, ";".
EncodedCommand ftdx9000ModeCommand(const QString& modeWord, const RigCommandContext& context);
// Push-to-talk: "TX1;" (transmit by CAT) and "TX0;".
EncodedCommand ftdx9000Transmit(bool on, const RigCommandContext& context);

} // namespace ditlog
