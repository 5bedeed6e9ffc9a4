// The CW keyer's settings as the operator types them (the fields of the CW window), and
// the message file "CW.txt" that stores them: 18 lines, messages F1 to F9, port, speed,
// F10, F11, word space, keying line, parallel address, display flag, repeat interval.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace ditlog {

// KeyingLine values. 6 to 8 key through the radio's own link: a control line of the port
// the rig link holds open, or the radio's keyer fed with text over CAT.
enum class KeyingLineChoice : quint8 {
    None = 0,
    Rts = 1,
    Dtr = 2,
    Printer = 3,
    WinKey = 5,
    RigDtr = 6,
    RigRts = 7,
    RadioCat = 8,
};
// The choice for a stored byte; unknown values (4, 9 and above) are None.
KeyingLineChoice keyingLineFromByte(int value);

struct CwSettings {
    static constexpr int kMessages = 11;
    // F1 ... F11 (the fields Text1 ... Text9, Text12, Text13).
    std::array<QString, kMessages> messages;
    QString portText = QStringLiteral("0");        // Text10
    QString speedText = QStringLiteral("13");      // Text11
    QString wordSpaceText = QStringLiteral("0");   // txtSpace
    QString parallelText = QStringLiteral("&H378"); // Text14
    KeyingLineChoice keyingLine = KeyingLineChoice::None;
    int display = 0;                               // Check1: 0 or 1
    QString repeatText = QStringLiteral("0");      // txtCWLoop

    friend bool operator==(const CwSettings&, const CwSettings&) = default;
};

// The message index of a function-key code: 112 ... 120 (F1 ... F9), 124 (F10), 122 (F11).
std::optional<int> messageIndexForKeyCode(int keyCode);

// The leading number of a text, as the fields are read: blanks skipped, an optional sign,
// digits with one decimal point; 0 when none ("12abc" is 12, "abc" is 0).
double leadingNumber(const QString& text);
// True for a complete number ("59.5", "-1", "5."), false for "", "abc", "12abc".
bool isNumericText(const QString& text);

// Reads "CW.txt" content over defaults: values not present, and everything after the
// first malformed value, keep their defaults. An empty F9 message becomes "VVV DE ".
CwSettings readCwSettings(const QByteArray& content);
QByteArray writeCwSettings(const CwSettings& settings);

// The message file in a folder: "CW.txt", or another spelling of the name ("cw.txt")
// when that is the one present.
QString cwSettingsPath(const QString& folder);
inline constexpr char kCwSettingsFileName[] = "CW.txt";

} // namespace ditlog
