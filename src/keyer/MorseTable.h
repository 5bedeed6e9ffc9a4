// The Morse table: each character's element pattern, one digit per unit ("1" key down,
// "0" key up), ending in the three-unit gap after the character; the word-space rule and
// the unit length at a speed.
#pragma once

#include <QChar>
#include <QString>

namespace ditlog {

namespace MorseTable {
// The pattern of a character, looked up upper-cased; empty for characters that key
// nothing (including "!", which logs the contact instead, and control characters).
QString ElementPattern(QChar c);
// The pattern to key for a character with the word-space adjustment applied to a space:
// +n adds n units, -n cuts it to 8 - n units (-8 and below: nothing).
QString patternToKey(QChar c, int wordSpaceAdjust);
} // namespace MorseTable

// One unit at a speed, 1200 / WPM ms, in nanoseconds; 0 for speeds of 0 and below (such
// speeds cannot be keyed).
qint64 unitNanoseconds(double wpm);

// The character that logs the contact when it comes up in the send buffer.
constexpr char16_t kLogContactCharacter = u'!';

} // namespace ditlog
