// Small rules of the contact entry row: key filters, the report forward, Canadian
// prefixes, contact points and the post-contest date and time forms.
#pragma once

#include "log/AppearanceCommands.h" // numericValue

#include <QString>

#include <optional>

namespace ditlog {

// Key codes in the classic form: the character's code, 8 Backspace, 13 Enter, 32 Space,
// 34 double quote; 0 means the key is discarded.
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kSpace = 32;
constexpr int kQuote = 34;

// "a".."z" become capitals; every other key passes unchanged.
int Capital(int key);
// Keeps "0".."9" and Backspace; every other key becomes 0.
int number(int key);

inline bool isDigitKey(int key) { return key >= '0' && key <= '9'; }

// Whether a digit typed at the end of the call starts the received report: the call is
// longer than 2 characters, holds a digit after its first character that is not its last
// character, and nothing below "0" (such as "/") after its first character.
bool forwardsDigitToReport(const QString& call, int key, bool caretAtEnd);

// The province code for VE1..VE9, VY1, VY2, VO1, VO2 calls; empty otherwise.
QString canadianProvince(const QString& call);

// 5 points for a member number (numeric, at least 2 characters), otherwise 2.
float contactPoints(const QString& exchange);

// Post-contest date: a valid date rewritten "yyyy/mm/dd", nothing when invalid.
std::optional<QString> normalisedPostContestDate(const QString& text);
// Post-contest time: 3 or 4 digits get a ":" before the last two (945 -> 9:45); a valid
// time is rewritten "hh:mm" ("hh:mm:ss" when seconds were typed), nothing when invalid.
std::optional<QString> normalisedPostContestTime(const QString& text);

} // namespace ditlog
