// What the voice keyer asks of the radio's own link for push-to-talk that goes through
// it: a control line of the port the rig link holds open ("Rig port RTS", "Rig port DTR")
// or the radio's transmit switch over CAT ("Radio (CAT)"). The program answers from the
// rig link and the family table; tests stand in.
#pragma once

#include "platform/KeyingLine.h"

#include <QString>

#include <functional>
#include <optional>

namespace ditlog {

class RadioTransmit {
public:
    virtual ~RadioTransmit() = default;

    // ---- a control line of the rig port
    // Why the line cannot key push-to-talk (the rig link raises it as its connection
    // power, or holds it for handshaking, or CW keys it), empty when it can.
    virtual QString pttLineRefusal(SerialControlLine::Signal line) const = 0;
    // The line push-to-talk keys from now on, or none: the rig link never raises it, and
    // it goes down as soon as the link opens the port.
    virtual void usePttLine(std::optional<SerialControlLine::Signal> line) = 0;
    // The line to key, while the rig link holds the port open; nullptr and why otherwise.
    virtual KeyingLine* pttLine(QString* why) = 0;

    // ---- the radio's transmit switch
    // Why the radio has no transmit switch the program can use (no radio chosen, a family
    // without one), empty when it has: the option is refused then.
    virtual QString transmitSwitchMissing() const = 0;
    // Why the radio cannot be switched to transmit now, empty when it can.
    virtual QString transmitUnavailable() const = 0;
    // Transmit on or off; done (from the event loop) with true once the radio acknowledged
    // it or its switching time passed, false and why when it refused, did not answer, or
    // the link went.
    virtual void setTransmit(bool on, std::function<void(bool ok, const QString& why)> done) = 0;
};

} // namespace ditlog
