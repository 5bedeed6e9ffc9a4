// The Ten-Tec radios: "Ten Tec Orion" (text, @AF14025000 CR) and "Ten Tec Fnt Pnl"
// (binary, A and four frequency bytes).
#pragma once

#include "rig/RigReading.h"

namespace ditlog {

RigReading parseOrionReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseFrontPanelReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);

} // namespace ditlog
