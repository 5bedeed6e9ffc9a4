// The radio families as one table: for each entry of the rig list its preset, how it is
// reached, what a send tick writes, when a reply is complete and which parser reads it.
// The rig link asks this table and never tests the radio's name.
#pragma once

#include "rig/CatKeying.h"
#include "rig/RigCommand.h"
#include "rig/RigReading.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ditlog {

enum class RigTransportKind {
    None,       // no radio
    SerialPort, // the CAT port
    StatusFile, // files exchanged with the radio's own control program
    Network,    // Hamlib's rig daemon, rigctld, over TCP
};

// The values a choice in the rig list sets.
struct RigPreset {
    enum class Port { Set, SpeedOnly, Kept };
    Port port = Port::Kept;
    const char* speed = "";
    const char* dataBits = "";
    const char* stopBits = "";
    const char* parity = "";
    const char* frequencyQuery = "";
    const char* modeQuery = "";
    bool convertToHex = false;
    bool convertEnabled = false; // the operator may tick "Convert to Hex" ("Other")
    bool icomNote = false;       // the note on the radio's CI-V address
};

// What one send tick writes, the flag it leaves, and how many replies to expect.
struct PollQueries {
    QList<QByteArray> writes;
    bool lastWasFrequency = false;
    int replies = 0;

    bool sendsAnything() const { return !writes.isEmpty(); }
};

using PollSender = PollQueries (*)(const RigQueries& queries, bool lastWasFrequency,
                                   bool convertToHex);
using ReplyParser = RigReading (*)(const QByteArray& buffer, const RigQueries& queries,
                                   bool lastWasFrequency);
// True once the buffer holds the whole reply to what was sent.
using ReplyComplete = bool (*)(const QByteArray& buffer, const PollQueries& sent);

// Frequency and mode commands made at the time of the call; empty bytes: nothing to send.
using FrequencyEncoder = EncodedCommand (*)(double mhz, const RigCommandContext& context);
using ModeEncoder = EncodedCommand (*)(const QString& modeWord, const RigCommandContext& context);

struct RigFamily {
    QString name;
    RigTransportKind transport = RigTransportKind::None;
    RigPreset preset;
    PollSender send = nullptr;
    ReplyParser parse = nullptr;       // null: replies are shown, not decoded
    ReplyComplete complete = nullptr;
    bool hardwareHandshake = false;    // RTS/CTS
    QByteArray wakeUp;                 // written once after the port opens
    QByteArray goodbye;                // written when the rig window closes while polling
    FrequencyEncoder frequencyCommand = nullptr; // null: a frequency change sends nothing
    ModeEncoder modeCommand = nullptr;           // null: the family has no mode commands
    // The waits before the frequency command, in order; 0 lets pending events run once.
    QList<int> frequencyDelaysMs;
    // The radio's own keyer fed over CAT, and its transmit switch (empty: none).
    RigCwCommands cw;
    RigPttCommands ptt;
};

// The rig list in its order; the first entry is "None".
const QList<RigFamily>& rigFamilies();
// The entry of that name (compared without regard to case); "None" for an unknown name.
const RigFamily& rigFamily(const QString& rigType);

struct RigSettings;
// A choice in the rig list: the family's name, its queries and "Convert to Hex" (both
// queries empty and the box clear where it has none) and its port values where it sets
// them; the rest of the settings stay.
void applyRigPreset(RigSettings& settings, const RigFamily& family);

// Runs the family's parser on one reply and updates the status; families without a
// parser (and the file-linked Pegasus, whose status comes from its file) change nothing.
void ParseRigReply(const QString& rigType, const QByteArray& buffer, const RigQueries& queries,
                   bool lastWasFrequency, RigStatus& status);

} // namespace ditlog
