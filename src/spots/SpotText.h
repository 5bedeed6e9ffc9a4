// What is read from a DX cluster's spot line: the spot-line test and the fixed columns of
// frequency and call, the record kept for the spot list and its columns, and the short
// label and the country of a spotted call.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace ditlog {

class PrefixTable;

// A text whose first two characters are "DX" in any letter case.
bool isSpotLine(QStringView text);

// The field rule: frequency (kHz) from characters 16..24, call from 27..39, trimmed.
struct SpotFields {
    QString frequency;
    QString call;
};
SpotFields spotFields(QStringView line);

// A frequency text as a number: decimal digits with an optional sign, point and exponent,
// blanks around it allowed. Nothing for any other text, or for a value that is not finite.
std::optional<double> numericValue(QStringView text);

// The spot line without its first three characters ("DX "), trimmed, and cut before its
// first CR.
QString spotRecord(QStringView line);

// The columns of a spot-list row taken from the record.
struct SpotRowColumns {
    QString comments; // characters 1..11, two blanks, characters 35..59
    QString prefix;   // characters 62..66
    QString time;     // characters 68..71
    QString from;     // characters 73..76
};
SpotRowColumns spotRowColumns(QStringView record);

// The text drawn on the maps for a call: its prefix (W1ABC gives W1, VE3/W1ABC gives VE3,
// W1ABC/4 gives W4, W1ABC/P gives P); empty for a call shorter than 3 characters.
QString SpotLabelText(QStringView call);

// The DX entity of a spotted call by the prefix table, compared exactly (case-sensitive);
// KG4 calls of six characters or more are "USA". Empty when no prefix matches.
QString SpotCountry(const PrefixTable& table, QStringView call);

} // namespace ditlog
