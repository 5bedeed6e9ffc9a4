// The words of a spot's mark.
#include "spots/SpotMark.h"

namespace ditlog {

QString spotMarkWords(SpotMark mark) {
    switch (mark) {
    case SpotMark::Dupe: return QStringLiteral("dupe");
    case SpotMark::NewMultiplier: return QStringLiteral("new multiplier");
    case SpotMark::None: break;
    }
    return {};
}

} // namespace ditlog
