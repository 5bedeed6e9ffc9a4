// The "Appearance" menu commands that change a stored preference without a window of
// their own: the share of the screen the main window covers and the taskbar option.
#pragma once

#include <QString>

#include <optional>

namespace ditlog {

struct StationPreferences;
class UserPrompts;

// The value of operator-typed number text: optional blanks around an optional sign,
// digits with at most one decimal point, an optional exponent. Nothing for anything
// else ("", "-", ".", "1/2", "inf").
std::optional<double> numericValue(const QString& text);

constexpr int kMinFormSizePercent = 30;
constexpr int kMaxFormSizePercent = 100;

// Asks for the form size in percent and stores it clamped to 30..100, telling the
// operator that it takes effect at the next start. True when FormSizePercent was set
// (the caller then saves the preferences).
bool askFormSize(StationPreferences& prefs, UserPrompts& prompts);

// Toggles TaskbarMode between 0 and 1; refused with a message unless the form size is
// 100. True when TaskbarMode changed.
bool toggleTaskbarMode(StationPreferences& prefs, UserPrompts& prompts);

} // namespace ditlog
