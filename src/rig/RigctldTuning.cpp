// The rig daemon's frequency and mode commands onto the link's queue.
#include "rig/RigctldTuning.h"

#include "rig/BandConversion.h"
#include "rig/RigLink.h"
#include "rig/RigTransport.h"
#include "rig/RigctldProtocol.h"

namespace ditlog {

namespace {
bool connected(RigLink& link, QString* why) {
    if (link.transport().isReady()) {
        return true;
    }
    if (why != nullptr) {
        const QString status = link.transport().status();
        *why = status.isEmpty() ? QStringLiteral("rigctld not reachable") : status;
    }
    return false;
}
} // namespace

RigctldTune rigctldChangeFrequency(RigLink& link, double mhz, QString* why) {
    if (link.family().transport != RigTransportKind::Network) {
        return RigctldTune::NotNetwork;
    }
    if (!link.isPolling() || !connected(link, why)) {
        return RigctldTune::NotSent;
    }
    const auto command = rigctldFrequencyCommand(mhz, BandPlanMode(mhz, link.bandPlanTable()));
    if (!command) {
        return RigctldTune::NotSent;
    }
    link.enqueue(*command);
    return RigctldTune::Queued;
}

RigctldTune rigctldChangeMode(RigLink& link, double mhz, const QString& modeWord, QString* why) {
    if (link.family().transport != RigTransportKind::Network) {
        return RigctldTune::NotNetwork;
    }
    const QString word = modeWord.isEmpty() ? BandPlanMode(mhz, link.bandPlanTable()) : modeWord;
    const auto command = rigctldModeCommand(word);
    if (!command || !connected(link, why)) {
        return RigctldTune::NotSent;
    }
    link.enqueue(*command);
    return RigctldTune::Queued;
}

} // namespace ditlog
