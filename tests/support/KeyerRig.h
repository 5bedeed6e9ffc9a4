// A complete CW keyer for tests: the real keyer, engine and serial port (on a
// pseudo-terminal when a test maps one), recording keying lines and a manual keying
// clock, so that what is keyed is checked by pattern and by exact virtual times.
#pragma once

#include "KeyingDoubles.h"
#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"
#include "keyer/KeyingEngine.h"
#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace ditlog::testing {

class KeyerRig {
public:
    explicit KeyerRig(UserPrompts& prompts);
    ~KeyerRig();

    // Plays the keying out to the end and delivers the keyer's events; false when the
    // send did not end.
    bool runOut();
    // Moves keying time on and delivers the events that arose.
    void advanceMs(double ms);
    // Events from the keying thread reach the keyer.
    void deliverEvents();
    std::function<bool()> idle() { return [this] { return !engine.sending(); }; }
    // The serial line's levels as a string of changes ("1010...": down, up, ...).
    static QString changeLevels(const RecordingKeyingLine& line);
    // What a recorded line keyed, read back as text at a unit length ("CQ K1ABC"): a gap
    // of 5 units or more is a word space; "-" reads back as "=".
    static QString decode(const RecordingKeyingLine& line, qint64 unitNs);
    // The characters the keyer took, in order.
    QString started() const;

    QTemporaryDir dir;
    QtSettingsStore settings{dir.filePath(QStringLiteral("settings.ini"))};
    PortMap map{settings};
    PortOwnership owners;
    QtSerialPort port{map};
    ManualKeyingClock clock;
    RecordingKeyingOutputs outputs{&clock};
    CwBuffer buffer;
    std::unique_ptr<KeyingEngine> engine_;
    KeyingEngine& engine;
    CwKeyer keyer;
    QSignalSpy finished{&keyer, &CwKeyer::sendingFinished};
    QSignalSpy characters{&keyer, &CwKeyer::characterStarted};
};

} // namespace ditlog::testing
