// Hexadecimal helpers of the rig link: query strings written as hex pairs, the hex view
// of received bytes, and the hex-digit reading the binary reply parsers share.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ditlog {

// "FE FE 64 E0 03 FD" -> six bytes: the two characters at positions 0, 3, 6, ... each read
// as a hexadecimal number. A pair that is not hexadecimal gives nothing at all.
std::optional<QByteArray> SpacedHexToBytes(const QByteArray& text);
// "FEFE64E005" -> five bytes: pairs at positions 0, 2, 4, ...
std::optional<QByteArray> PackedHexToBytes(const QByteArray& text);
// Each byte as two upper-case hex digits and a blank: "FE FE E0 64 03 ".
QString HexDump(const QByteArray& bytes);
// The bytes as upper-case hex digits without separators: "FEFE".
QByteArray hexString(const QByteArray& bytes);

// Hex digits first..last (1-based, inclusive) of the hex string of the bytes, read as one
// hexadecimal number; nothing when the bytes do not reach that far.
std::optional<quint64> hexDigitsValue(const QByteArray& bytes, int first, int last);
// Hex digits first..last read as a decimal number (BCD); nothing when they do not reach
// that far or any of them is a letter.
std::optional<quint64> bcdDigitsValue(const QByteArray& bytes, int first, int last);
// The low half of byte n (1-based); nothing when the bytes are shorter.
std::optional<int> lowNibble(const QByteArray& bytes, int n);

// The digits of a frequency command: mhz times scale (1 000 000 for Hz, 100 000 for 10 Hz)
// rounded to a whole number, padded on the left with zeros to width. Nothing when the
// frequency is not above zero or needs more than maxDigits digits.
std::optional<QByteArray> frequencyDigits(double mhz, double scale, int width, int maxDigits);
// A digit string two digits at a time as BCD bytes, most significant first: "01402500"
// gives 01 40 25 00.
QByteArray bcdBytes(const QByteArray& digits);
// The bytes in reverse order (least significant pair first).
QByteArray reversedBytes(QByteArray bytes);

} // namespace ditlog
