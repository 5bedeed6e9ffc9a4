// The Yaesu binary family: five-byte commands, replies read at fixed byte positions.
#pragma once

#include "rig/RigReading.h"

namespace ditlog {

RigReading parseYaesuReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu757Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu890Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu920Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu990Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);
RigReading parseYaesu1000Reply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);

} // namespace ditlog
