// The CI-V family ("Icom", "Icom 735", "Ten Tec Omni VI"): frames FE FE to from command
// data... FD, the frequency reply (command 03) and the mode reply (command 04).
#pragma once

#include "rig/RigReading.h"

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

} // namespace ditlog
