// The spoken description of a spot.
#include "spots/SpotDescription.h"

#include "spots/BandMapGeometry.h"

namespace ditlog {

namespace {
QString ageText(qint64 seconds) {
    const qint64 minutes = seconds / 60;
    if (minutes < 1) {
        return QStringLiteral("less than a minute old");
    }
    return minutes == 1 ? QStringLiteral("1 minute old") : QStringLiteral("%1 minutes old").arg(minutes);
}
} // namespace

QString spotDescription(const DxSpot& spot, qint64 ageSeconds, SpotMark mark) {
    QString text = spot.Call + QStringLiteral(", ") + scaleText(spot.FreqMHz) + QStringLiteral(" MHz");
    if (ageSeconds >= 0) {
        text += QStringLiteral(", ") + ageText(ageSeconds);
    }
    if (const QString words = spotMarkWords(mark); !words.isEmpty()) {
        text += QStringLiteral(", ") + words;
    }
    return text;
}

} // namespace ditlog
