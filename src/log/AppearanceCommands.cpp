// Form size and taskbar commands over the preferences and the prompts.
#include "log/AppearanceCommands.h"

#include "log/StationPreferences.h"
#include "platform/UserPrompts.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace ditlog {

std::optional<double> numericValue(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool askFormSize(StationPreferences& prefs, UserPrompts& prompts) {
    const QString answer = prompts.input(
        QStringLiteral("Please enter screen percentage."),
        QStringLiteral("Enter the % of the screen you would like the form to cover.  Try "
                       "between 90 and 100 for best results.  Values below 75 do not display "
                       "well."),
        QString::number(prefs.FormSizePercent));
    // Cancel gives an empty answer: like every cancelled prompt it is not reported.
    if (answer.isEmpty()) {
        return false;
    }
    const std::optional<double> value = numericValue(answer);
    if (!value) {
        prompts.message(QStringLiteral("Numeric Values Required"),
                        QStringLiteral("Please enter only numeric values."));
        return false;
    }
    const double clamped =
        std::clamp(*value, double(kMinFormSizePercent), double(kMaxFormSizePercent));
    prefs.FormSizePercent = quint8(std::lround(clamped));
    prompts.message(
        QStringLiteral("For this setting to take effect please restart this program."),
        QStringLiteral("This program must be closed and restarted for this setting to take "
                       "effect."));
    return true;
}

bool toggleTaskbarMode(StationPreferences& prefs, UserPrompts& prompts) {
    if (prefs.FormSizePercent != kMaxFormSizePercent) {
        prompts.message(QStringLiteral("Please set your form size to 100% to use this option."),
                        QStringLiteral("The form size must be set to 100% to use the taskbar "
                                       "display option."));
        return false;
    }
    prefs.TaskbarMode = prefs.TaskbarMode == 0 ? 1 : 0;
    return true;
}

} // namespace ditlog
