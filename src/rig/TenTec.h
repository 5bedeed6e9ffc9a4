// The Ten-Tec radios: "Ten Tec Orion" (text, @AF14025000 CR) and "Ten Tec Fnt Pnl"
// (binary, A and four frequency bytes).
#pragma once

#include "rig/RigReading.h"
#include "rig/RigCommand.h"

namespace ditlog {

RigReading parseOrionReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseFrontPanelReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);


// "*AF", the frequency in MHz as the shortest decimal text, carriage return.
EncodedCommand orionFrequencyCommand(double mhz, const RigCommandContext& context);
// "*A", the Hz value as four bytes, most significant first, carriage return.
EncodedCommand frontPanelFrequencyCommand(double mhz, const RigCommandContext& context);

} // namespace ditlog
