// The radio's own keyer and transmit switch as step sequences for the rig link's queue,
// made from the family table: a text command for the radio's keyer (after asking for room
// where the family tells), the keyer's speed, the end of sending, and transmit on or off
// awaited until the radio acknowledged it (or its switching time passed). They run beside
// the poll and tell their caller how they ended (RigCommand::finished); none shows a box.
#pragma once

#include "rig/RigCommand.h"
#include "rig/RigFamily.h"

#include <QString>

namespace ditlog {

// Waiting commands with these keys give way to a newer one (text commands never do).
inline const QString kCwSpeedCommandKey = QStringLiteral("cw-speed");
inline const QString kCwStopCommandKey = QStringLiteral("cw-stop");
inline const QString kTransmitCommandKey = QStringLiteral("transmit");
inline const QString kCwTextCommandKey = QStringLiteral("cw-text");
// How long the radio may take to answer before it counts as silent.
constexpr int kRadioAnswerMs = 600;
// The outcome texts of a radio that refuses (a refused room query has none: no room).
inline const QString kCwTextRefused =
    QStringLiteral("The radio refused the text for its keyer (it takes text in CW mode only).");
inline const QString kTransmitRefused = QStringLiteral("The radio refused to switch to transmit.");

// Why the family's radio cannot take CW as text or switch to transmit over CAT (the
// operator's message), empty when it can.
QString catCwUnavailable(const RigFamily& family);
QString catPttUnavailable(const RigFamily& family);

// One text command of at most the family's charactersPerCommand radio characters (key
// kCwTextCommandKey); Refused without a text: the radio's buffer has no room.
RigCommand catCwTextCommand(const RigFamily& family, const RigCommandContext& context,
                            const QByteArray& characters);
RigCommand catCwSpeedCommand(const RigFamily& family, const RigCommandContext& context, int wpm);
RigCommand catCwStopCommand(const RigFamily& family, const RigCommandContext& context);
RigCommand catTransmitCommand(const RigFamily& family, const RigCommandContext& context, bool on);

} // namespace ditlog
