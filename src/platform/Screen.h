// Screen and work-area size in twips (15 twips to a pixel at 96 dots per inch).
#pragma once

#include <QRect>
#include <QSize>

namespace ditlog {

constexpr int kTwipsPerPixel = 15;

class Screen {
public:
    virtual ~Screen() = default;
    virtual QSize sizeTwips() const = 0;
    virtual QRect workAreaTwips() const = 0;
};

// The primary screen as Qt reports it.
class QtScreen final : public Screen {
public:
    QSize sizeTwips() const override;
    QRect workAreaTwips() const override;
};

} // namespace ditlog
