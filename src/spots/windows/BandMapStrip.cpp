// The main window's band map strip.
#include "spots/windows/BandMapStrip.h"

#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "spots/SpotStore.h"

#include <QEvent>
#include <QFontInfo>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace ditlog {

BandMapStrip::BandMapStrip(const SpotStore& store, const Clock& clock,
                           const StationPreferences& prefs, QWidget* parent)
    : QWidget(parent), m_store(store), m_clock(clock), m_prefs(prefs),
      m_axis(this, QStringLiteral("LineDX"), 0) {
    setObjectName(QStringLiteral("lblDX"));
    setAccessibleName(QStringLiteral("Band map"));
    setAccessibleDescription(QStringLiteral("Spots of the current band"));
    setAutoFillBackground(true);
    QPalette navy = palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    setPalette(navy);
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        auto* label = new SpotLabel(i, this);
        connect(label, &SpotLabel::hovered, this, &BandMapStrip::spotHovered);
        connect(label, &SpotLabel::clicked, this, &BandMapStrip::spotClicked);
        m_labels[std::size_t(i)] = label;
    }
    // The newest spot is drawn above the others.
    m_labels.back()->raise();
}

int BandMapStrip::stackRowCount() const {
    const int gap = std::max(1, int(std::lround(0.004 * window()->height())));
    return std::max(1, (height() / 2 - gap) / std::max(1, QFontMetrics(m_axis.font()).height()));
}

void BandMapStrip::layOut() {
    // The labels' type follows the strip's height: room for two rows of spots above the
    // axis in the smallest strip, never larger than the window's own type.
    QFont small = font();
    small.setPixelSize(std::clamp(height() / 7, 9, std::max(9, QFontInfo(font()).pixelSize())));
    m_axis.setFont(small);
    const int half = halfSpotLabelWidth(small);
    const int gap = std::max(1, int(std::lround(0.004 * window()->height())));
    m_axis.setGeometry(half, width() - half, height() / 2, gap, gap, stackRowCount());
}

void BandMapStrip::SetBandMapScale() {
    m_axis.setScale(bandScale(m_store, mainBandEdges(m_prefs.Band)));
}

void BandMapStrip::DisplayBandMapLabels() {
    if (isHidden()) {
        return;
    }
    SetBandMapScale();
    const QDateTime now = m_clock.localNow();
    QList<PendingSpot> shown;
    for (int i = SpotStore::kSlots - 1; i >= 0; --i) {
        const DxSpot& spot = m_store.slot(i);
        const std::optional<double> centre = m_axis.centreOf(spot.FreqMHz);
        if (!centre) {
            continue;
        }
        quint32 colour = 0xFFFF80u;
        if (spot.Time.isValid()) {
            const std::optional<quint32> aged = SpotAgeColour(spot.Time.secsTo(now));
            if (!aged) {
                break; // the slots below are older still
            }
            colour = *aged;
        }
        SpotLabel* label = m_labels[std::size_t(i)];
        const SpotMark mark = m_marker ? m_marker(spot.Call, spot.FreqMHz) : SpotMark::None;
        label->showSpot(spot.LabelText, spotHoverText(spot, m_prefs.UtcOffset),
                        markedTextColour(colour, mark));
        label->showMark(mark);
        shown.append({label, *centre});
    }
    m_axis.placeSpots(shown);
    hideAllBut(m_labels, shown);
}

void BandMapStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
    DisplayBandMapLabels();
}

void BandMapStrip::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layOut();
        DisplayBandMapLabels();
    }
}

void BandMapStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        Q_EMIT stripClicked();
    }
}

void BandMapStrip::mouseDoubleClickEvent(QMouseEvent*) {
    Q_EMIT stripDoubleClicked();
}

} // namespace ditlog
