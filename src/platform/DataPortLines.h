// The DTR and RTS lines of a serial port that another user holds open for data: the rig
// link's CAT port, whose lines key CW and push-to-talk on radios that take both over the
// one USB cable (an IC-7300 keys CW from the port's DTR and transmits on its RTS). Each
// user of the lines (the CW keyer, the voice keyer) chooses the line it keys; a line keys
// only while the port is open, and lets go, keyed up, before the port closes.
//
//   DataPortLines lines(catPort);
//   lines.setUse(DataPortLines::User::CwKeying, SerialControlLine::Signal::Dtr);
//   catPort.open(3, "9600,N,8,1");
//   lines.attach();               // first thing after opening: DTR goes down at once
//   lines.line(User::CwKeying)    // the keying engine's line, from any thread
//
// Linux raises DTR and RTS inside open(), which would key the radio from start-up: the
// port's owner calls attach() before it does anything else with the port, and never raises
// a line that is in use (as its connection power). While attached with a line in use, the
// port takes part in the emergency key-up.
#pragma once

#include "platform/KeyingLine.h"

#include <QObject>

#include <array>
#include <optional>

namespace ditlog {

class SerialPort;

class DataPortLines final : public QObject {
    Q_OBJECT
public:
    enum class User { CwKeying, VoicePtt };
    using Signal = SerialControlLine::Signal;

    explicit DataPortLines(SerialPort& port, QObject* parent = nullptr);
    ~DataPortLines() override;

    // The line a user keys from now on, or none; a line given up is left key-up. With the
    // port open, a newly chosen line goes down at once and keys from then on.
    void setUse(User user, std::optional<Signal> signal);
    std::optional<Signal> use(User user) const { return m_use[index(user)]; }
    // True when some user keys the line.
    bool inUse(Signal signal) const;
    // The user's keying line: it keys the chosen line while the port is open and refuses
    // (released) while it is closed or no line is chosen. Safe to set from any thread.
    KeyingLine& line(User user) { return m_lines[index(user)]; }
    // Takes the descriptor of the port just opened: the lines in use go down first.
    void attach();
    bool attached() const { return m_fd >= 0; }
    // The name of a line for messages: "DTR", "RTS".
    static QString name(Signal signal);

Q_SIGNALS:
    // The port closed under the lines; they were keyed up before it did.
    void released();

private:
    static constexpr int index(User user) { return int(user); }
    void detach();
    void watchForEmergency();

    SerialPort& m_port;
    std::array<SerialControlLine, 2> m_lines{SerialControlLine(Signal::Dtr),
                                             SerialControlLine(Signal::Dtr)};
    std::array<std::optional<Signal>, 2> m_use{};
    int m_fd = -1;
    int m_emergencySlot = -1;
};

} // namespace ditlog
