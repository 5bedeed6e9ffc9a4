// The line protocol of Hamlib's rig daemon, rigctld, in its extended form: every command
// goes out as "+" and the command on one line, and every answer is a block of lines that
// names the command, gives "Key: value" lines and ends with "RPRT n" (0 for success, a
// negative Hamlib error code otherwise). Answers name what they carry, so a late answer
// can never be read as the answer to another question.
#pragma once

#include "rig/RigCommand.h"
#include "rig/RigFamily.h"
#include "rig/RigReading.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ditlog {

// The rig list's entry for the daemon.
inline const QString kRigctldRigType = QStringLiteral("Hamlib rigctld");

// A line longer than this (without its line end) is no rigctld answer.
constexpr qsizetype kRigctldMaxLine = 1024;

// One command as the line sent: "+" and the command with line ends and control
// characters removed, then "\n". Empty for an empty command.
QByteArray rigctldLine(const QByteArray& command);

// True when the line holds a set command (rigctld's set commands are the upper-case
// letters: F, M, V, ...), whose refusal is reported to the operator.
bool rigctldIsSetCommand(const QByteArray& line);

struct RigctldAnswer {
    QByteArray command;                          // "get_freq", "set_mode", ...
    QList<std::pair<QByteArray, QByteArray>> values; // "Frequency" -> "14025000"
    int code = 0;                                // the RPRT code
};

// The complete answers in the buffer, in order (lines up to each "RPRT n" line); a
// trailing incomplete answer is left out.
QList<RigctldAnswer> splitRigctldAnswers(const QByteArray& buffer);
// How many complete answers the buffer holds.
int rigctldAnswerCount(const QByteArray& buffer);
// The code of an "RPRT n" line (without its line end), or nothing for any other line.
std::optional<int> rigctldReportCode(const QByteArray& line);

// Hamlib's mode names as the log's modes: "CW" and "CWR" are "CW", every other mode
// "PH"; nothing for "NONE", an empty name or one that is no mode name.
std::optional<QString> rigctldLogMode(const QByteArray& hamlibMode);
// The mode words of the frequency and mode commands as Hamlib mode names ("CW-R" is
// "CWR", "FSK" "RTTY", "DIG" "PKTUSB", "PKT" "PKTFM"); nothing for an unknown word.
std::optional<QByteArray> rigctldModeName(const QString& modeWord);
// A frequency in MHz as whole hertz for "F"; nothing when not finite, not above 0 or
// above 1000 GHz.
std::optional<qint64> rigctldHertz(double mhz);
// Hamlib's error text for an RPRT code ("Invalid parameter" for -1, ...).
QString rigctldErrorText(int code);

// The family table's entries: the poll writes the frequency and mode queries ("f" and
// "m" by the preset), each as one extended command; a reply is whole once every query
// has its "RPRT" line; the parser reads the last "Frequency:" and "Mode:" values.
PollQueries sendRigctldQueries(const RigQueries& queries, bool lastWasFrequency, bool convertToHex);
bool rigctldRepliesComplete(const QByteArray& buffer, const PollQueries& sent);
RigReading parseRigctldReply(const QByteArray& buffer, const RigQueries& queries, bool lastWasFrequency);

// The commands that move the radio through the daemon. The frequency command stops the
// poll, sets the mode first when a mode word is given ("M name -1": the passband stays as
// the operator set it; "M name 0", the backend's normal width, where the daemon refuses
// -1), then the frequency, each waited for until the daemon answered, and resumes
// the poll; a refused mode is reported ("Error Changing Mode") and the frequency still
// goes, a refused frequency ends the command ("Error Changing Frequency"). Nothing when
// the frequency cannot be sent. The mode command runs beside the poll.
std::optional<RigCommand> rigctldFrequencyCommand(double mhz, const QString& modeWord);
std::optional<RigCommand> rigctldModeCommand(const QString& modeWord);

// The radio's keyer and transmit switch through the daemon: "\send_morse" with the text
// (prosigns as AR "+", KN "(", BT "=", SK and CL as their letters), "\stop_morse" (which
// not every backend has), "L KEYSPD" and "T 1" / "T 0". The daemon answers each; its
// answer is awaited as the line's drain.
constexpr int kRigctldCwCharacters = 24;
QByteArray rigctldCwCharacters(QChar c);
EncodedCommand rigctldCwText(const QByteArray& characters, const RigCommandContext& context);
EncodedCommand rigctldCwStop(const RigCommandContext& context);
EncodedCommand rigctldCwSpeed(int wpm, const RigCommandContext& context);
EncodedCommand rigctldTransmit(bool on, const RigCommandContext& context);

} // namespace ditlog
