// What the CW keyer asks of the radio's own link for the keying options that go through
// it: a control line of the port the rig link holds open ("Rig port DTR", "Rig port RTS")
// and the radio's keyer fed with text over CAT ("Radio (CAT)"). The program answers from
// the rig link and the family table; tests stand in.
#pragma once

#include "platform/KeyingLine.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace ditlog {

class RadioKeying {
public:
    virtual ~RadioKeying() = default;

    // ---- a control line of the rig port
    // Why the line cannot key CW (the rig link raises it as its connection power, or
    // holds it for handshaking), empty when it can.
    virtual QString keyingLineRefusal(SerialControlLine::Signal line) const = 0;
    // The line the keyer keys from now on, or none: the rig link never raises it, and it
    // goes down as soon as the link opens the port.
    virtual void useKeyingLine(std::optional<SerialControlLine::Signal> line) = 0;
    // The line to key, while the rig link holds the port open; nullptr and why otherwise.
    virtual KeyingLine* keyingLine(QString* why) = 0;

    // ---- the radio's keyer
    // Why the radio has no keyer to take CW as text (no radio chosen, a family without
    // one), empty when it has: the option is refused then.
    virtual QString cwKeyerMissing() const = 0;
    // Why the radio cannot take CW as text now (no radio, a family without a CAT keyer, the
    // link not polling), empty when it can.
    virtual QString cwUnavailable() const = 0;
    // The most radio characters one hand-over takes.
    virtual int cwCharactersPerCommand() const = 0;
    // The radio drops blanks at the end of a hand-over: hold them back for the next.
    virtual bool cwTrailingBlankLost() const = 0;
    // A character of the Morse table as the radio's characters; empty when it cannot send it.
    virtual QByteArray cwCharacters(QChar c) const = 0;
    enum class CwAnswer {
        Taken,  // the radio has the text
        Full,   // its buffer has no room now: try again later
        Failed, // no answer, a refusal, or the link went: why says so
    };
    // Hands text to the radio at a speed (sent to the radio first when it changed); done
    // follows from the event loop.
    virtual void sendCw(const QByteArray& characters, int wpm,
                        std::function<void(CwAnswer answer, const QString& why)> done) = 0;
    // The radio's keyer speed, while the keyer sends through the radio.
    virtual void setCwSpeed(int wpm) = 0;
    // The radio stops sending and forgets what it was given.
    virtual void stopCw() = 0;
};

} // namespace ditlog
