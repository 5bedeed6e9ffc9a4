// Screen sizes from Qt's primary screen, converted to twips.
#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace ditlog {

namespace {
QRect toTwips(const QRect& r) {
    return {r.x() * kTwipsPerPixel, r.y() * kTwipsPerPixel, r.width() * kTwipsPerPixel,
            r.height() * kTwipsPerPixel};
}
} // namespace

QSize QtScreen::sizeTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {9600, 7200};
    }
    return screen->geometry().size() * kTwipsPerPixel;
}

QRect QtScreen::workAreaTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {0, 0, 9600, 7200};
    }
    return toTwips(screen->availableGeometry());
}

} // namespace ditlog
