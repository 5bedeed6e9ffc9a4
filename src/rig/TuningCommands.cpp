// The steps of the frequency and mode commands.
#include "rig/TuningCommands.h"

#include "rig/BandConversion.h"
#include "rig/PegasusFile.h"

#include <QDir>

namespace ditlog {

namespace {

// The mode command's steps, each failure told with report.
void appendModeSteps(QList<RigStep>& steps, const RigFamily& family, const RigCommandContext& context,
                     const QString& modeWord, int report) {
    steps.append(RigStep::delay(0, report));
    steps.append(RigStep::drain(report));
    steps.append(RigStep::delay(kModeCommandDelayMs, report));
    if (family.modeCommand != nullptr) {
        const EncodedCommand mode = family.modeCommand(modeWord, context);
        if (!mode.ok()) {
            steps.append(RigStep::fail(mode.fault, report));
        } else if (!mode.bytes.isEmpty()) {
            steps.append(RigStep::write(mode.bytes, report));
        }
    }
    steps.append(RigStep::drain(report));
}

QString pegasusCommandPath(const RigSettings& settings) {
    const QString folder = settings.pegasusFolder.isEmpty() ? defaultPegasusFolder() : settings.pegasusFolder;
    return QDir(folder).filePath(kPegasusCommandFile);
}

RigFailureReport modeReport(const QString& modeWord) {
    // A failed mode command is told and the rest goes on.
    return RigFailureReport{kErrorChangingMode, QLatin1Char(' ') + modeWord, false};
}

} // namespace

RigCommandContext rigCommandContext(const RigSettings& settings, const RigStatus& status) {
    return RigCommandContext{settings.frequencyQuery.toLatin1(), settings.modeQuery.toLatin1(), status.vfo,
                             status.mode};
}

RigCommand changeFrequencyCommand(const RigFamily& family, const RigSettings& settings,
                                  const RigStatus& status, const QList<BandPlanRow>& bandPlan,
                                  double mhz) {
    const RigCommandContext context = rigCommandContext(settings, status);
    const QString modeWord = BandPlanMode(mhz, bandPlan);
    constexpr int kFrequency = 0;
    constexpr int kMode = 1;

    RigCommand command;
    command.key = kFrequencyCommandKey;
    command.reports = {RigFailureReport{kErrorChangingFrequency, {}, true}, modeReport(modeWord)};
    QList<RigStep>& steps = command.steps;
    steps.append(RigStep::stopPolling());
    if (family.transport != RigTransportKind::StatusFile) {
        steps.append(RigStep::discardInput());
    }
    if (!modeWord.isEmpty()) {
        appendModeSteps(steps, family, context, modeWord, kMode);
    }
    steps.append(RigStep::drain(kFrequency));
    if (family.frequencyCommand != nullptr) {
        for (const int ms : family.frequencyDelaysMs) {
            steps.append(RigStep::delay(ms, kFrequency));
        }
        const EncodedCommand frequency = family.frequencyCommand(mhz, context);
        if (!frequency.ok()) {
            steps.append(RigStep::fail(frequency.fault, kFrequency));
        } else if (family.transport == RigTransportKind::StatusFile) {
            steps.append(RigStep::writeFile(pegasusCommandPath(settings), frequency.bytes, kFrequency));
        } else if (!frequency.bytes.isEmpty()) {
            steps.append(RigStep::write(frequency.bytes, kFrequency));
        }
    }
    steps.append(RigStep::drain(kFrequency));
    steps.append(RigStep::resumePolling());
    return command;
}

std::optional<RigCommand> changeModeCommand(const RigFamily& family, const RigSettings& settings,
                                            const RigStatus& status,
                                            const QList<BandPlanRow>& bandPlan, double mhz,
                                            const QString& modeWord) {
    if (family.transport == RigTransportKind::None) {
        return std::nullopt;
    }
    const QString mode = modeWord.isEmpty() ? BandPlanMode(mhz, bandPlan) : modeWord;
    if (mode.isEmpty()) {
        return std::nullopt;
    }
    RigCommand command;
    command.key = kModeCommandKey;
    command.reports = {modeReport(mode)};
    appendModeSteps(command.steps, family, rigCommandContext(settings, status), mode, 0);
    return command;
}

} // namespace ditlog
