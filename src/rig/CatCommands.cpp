// Step sequences of the radio's keyer and transmit switch.
#include "rig/CatCommands.h"

namespace ditlog {

namespace {
RigAnswerCheck reading(RigAnswerReader reader, const RigCommandContext& context) {
    return [reader, context](const QByteArray& received) { return reader(received, context); };
}

// Write and drain the encoded command, or fail with its fault; nothing for none.
void addWrite(RigCommand& command, const EncodedCommand& encoded) {
    if (!encoded.ok()) {
        command.steps.append(RigStep::fail(encoded.fault));
    } else if (!encoded.bytes.isEmpty()) {
        command.steps.append(RigStep::write(encoded.bytes));
        command.steps.append(RigStep::drain());
    }
}
} // namespace

QString catCwUnavailable(const RigFamily& family) {
    if (family.transport == RigTransportKind::None) {
        return QStringLiteral(
            "No radio is chosen in the Rig Interface window: CW through the radio "
            "needs one.");
    }
    if (family.cw.charactersPerCommand <= 0 || family.cw.text == nullptr) {
        return QStringLiteral("The radio \"%1\" has no keyer that the program can send text to: "
                              "choose another keying option.")
            .arg(family.name);
    }
    return {};
}

QString catPttUnavailable(const RigFamily& family) {
    if (family.transport == RigTransportKind::None) {
        return QStringLiteral(
            "No radio is chosen in the Rig Interface window: push-to-talk through "
            "the radio needs one.");
    }
    if (family.ptt.transmit == nullptr) {
        return QStringLiteral("The radio \"%1\" cannot be switched to transmit by the program: "
                              "choose another push-to-talk option.")
            .arg(family.name);
    }
    return {};
}

RigCommand catCwTextCommand(const RigFamily& family, const RigCommandContext& context,
                            const QByteArray& characters) {
    RigCommand command;
    command.key = kCwTextCommandKey;
    if (const QString why = catCwUnavailable(family); !why.isEmpty()) {
        command.steps.append(RigStep::fail(why));
        return command;
    }
    const RigCwCommands& cw = family.cw;
    if (!cw.roomQuery.isEmpty() && cw.room != nullptr) {
        command.steps.append(RigStep::write(cw.roomQuery));
        command.steps.append(RigStep::await(reading(cw.room, context), kRadioAnswerMs));
    }
    addWrite(command, cw.text(characters.left(cw.charactersPerCommand), context));
    if (cw.accepted != nullptr) {
        command.steps.append(
            RigStep::await(reading(cw.accepted, context), kRadioAnswerMs, kCwTextRefused));
    }
    return command;
}

RigCommand catCwSpeedCommand(const RigFamily& family, const RigCommandContext& context, int wpm) {
    RigCommand command;
    command.key = kCwSpeedCommandKey;
    if (family.cw.speed != nullptr) {
        addWrite(command, family.cw.speed(wpm, context));
        if (family.cw.accepted != nullptr) {
            command.steps.append(
                RigStep::await(reading(family.cw.accepted, context), kRadioAnswerMs));
        }
    }
    return command;
}

RigCommand catCwStopCommand(const RigFamily& family, const RigCommandContext& context) {
    RigCommand command;
    command.key = kCwStopCommandKey;
    if (family.cw.stop != nullptr) {
        addWrite(command, family.cw.stop(context));
    }
    return command;
}

RigCommand catTransmitCommand(const RigFamily& family, const RigCommandContext& context, bool on) {
    RigCommand command;
    command.key = kTransmitCommandKey;
    if (const QString why = catPttUnavailable(family); !why.isEmpty()) {
        command.steps.append(RigStep::fail(why));
        return command;
    }
    const RigPttCommands& ptt = family.ptt;
    addWrite(command, ptt.transmit(on, context));
    if (ptt.acknowledged != nullptr) {
        command.steps.append(
            RigStep::await(reading(ptt.acknowledged, context), kRadioAnswerMs, kTransmitRefused));
    } else if (ptt.waitMs > 0) {
        command.steps.append(RigStep::delay(ptt.waitMs));
    }
    return command;
}

} // namespace ditlog
