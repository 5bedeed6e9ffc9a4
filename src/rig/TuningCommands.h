// The frequency and mode commands as step sequences for the rig link's queue: stop the
// poll, drop what the radio sent, the mode command (after a short wait), the family's
// delay, the frequency command, each write drained, and the poll started again. Made at
// the time of the call from the link's settings and status; pure, so that the order and
// the waits of every family can be read off the steps.
#pragma once

#include "rig/BandPlan.h"
#include "rig/RigCommand.h"
#include "rig/RigFamily.h"
#include "rig/RigReading.h"
#include "rig/RigSettings.h"

#include <optional>

namespace ditlog {

inline const QString kErrorChangingFrequency = QStringLiteral("Error Changing Frequency");
inline const QString kErrorChangingMode = QStringLiteral("Error Changing Mode");
// Waiting frequency commands with this key give way to a newer one.
inline const QString kFrequencyCommandKey = QStringLiteral("frequency");
inline const QString kModeCommandKey = QStringLiteral("mode");
// The wait before a mode command.
constexpr int kModeCommandDelayMs = 99;

// What the encoders read from the settings and the status.
RigCommandContext rigCommandContext(const RigSettings& settings, const RigStatus& status);

// Tunes to mhz; the mode comes from the band plan (none on 160 m or outside every row).
RigCommand changeFrequencyCommand(const RigFamily& family, const RigSettings& settings,
                                  const RigStatus& status, const QList<BandPlanRow>& bandPlan,
                                  double mhz);

// Sets the mode alone, the poll going on. An empty mode word is looked up in the band plan
// for mhz; nothing when none results.
std::optional<RigCommand> changeModeCommand(const RigFamily& family, const RigSettings& settings,
                                            const RigStatus& status,
                                            const QList<BandPlanRow>& bandPlan, double mhz,
                                            const QString& modeWord);

} // namespace ditlog
