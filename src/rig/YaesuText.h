// The Yaesu text family ("Yaesu FTdx9000"): FA14025000; and MD03; replies.
#pragma once

#include "rig/RigReading.h"

namespace ditlog {

RigReading parseFtdx9000Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);

} // namespace ditlog
