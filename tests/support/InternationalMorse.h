// The International Morse Code (ITU-R M.1677-1), written out here from the published
// recommendation and not taken from the program, with the prosigns the keyer gives
// characters of their own (AR "[", SK "]", KN ";", CL "\", BT "="): tests check the
// program's table against it and read keyed output back with it, so a swapped or wrong
// code in the program cannot pass unseen.
#pragma once

#include <QList>
#include <QString>

#include <utility>
#include <vector>

namespace ditlog::testing {

struct MorseCode {
    QChar character;
    QString dots; // ".-"
};

// The 45 characters with a code of their own ("-" keys as "=" and is not listed).
const QList<MorseCode>& internationalMorse();

// The unit pattern of a code: one "1" per dot, three per dash, a "0" after each element
// and two more after the last ("10111000" for ".-").
QString patternForDots(const QString& dots);

// Reads keyed changes (time in ns, key down) back as text at a unit length: a mark of
// two units or more is a dash, a space of two units or more ends a character, of five or
// more a word. An unknown code reads as "#".
QString decodeMorse(const std::vector<std::pair<qint64, bool>>& changes, qint64 unitNs);

} // namespace ditlog::testing
