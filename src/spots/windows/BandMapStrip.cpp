// The main window's band map strip.
#include "spots/windows/BandMapStrip.h"

#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "spots/SpotDescription.h"
#include "spots/SpotStore.h"

#include <QEvent>
#include <QFontInfo>
#include <QKeyEvent>
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
    setAccessibleDescription(
        QStringLiteral("Spots of the current band; the arrow keys go from spot to spot"));
    // Tab only: a click on the strip opens the spotting window and leaves the keyboard be.
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(true);
    QPalette navy = palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    setPalette(navy);
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        auto* label = new SpotLabel(i, this);
        connect(label, &SpotLabel::hovered, this, &BandMapStrip::spotHovered);
        connect(label, &SpotLabel::clicked, this, &BandMapStrip::spotClicked);
        connect(label, &SpotLabel::stepRequested, this, &BandMapStrip::step);
        connect(label, &SpotLabel::focused, this, [this, label] { m_focus.remember(label); });
        connect(label, &SpotLabel::tabbed, this, [this](bool next) { passFocusBy(this, next); });
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
        const qint64 age = spot.Time.isValid() ? spot.Time.secsTo(now) : -1;
        if (spot.Time.isValid()) {
            const std::optional<quint32> aged = SpotAgeColour(age);
            if (!aged) {
                break; // the slots below are older still
            }
            colour = *aged;
        }
        SpotLabel* label = m_labels[std::size_t(i)];
        const SpotMark mark = m_marker ? m_marker(spot.Call, spot.FreqMHz) : SpotMark::None;
        label->showSpot(spot, spotHoverText(spot, m_prefs.UtcOffset), spotDescription(spot, age, mark),
                        markedTextColour(colour, mark));
        label->showMark(mark);
        shown.append({label, *centre});
    }
    m_axis.placeSpots(shown);
    // The keyboard stays on its spot (or the nearest) before the labels not needed go.
    m_redrawing = true;
    m_focus.keepFocus(shown, this);
    m_redrawing = false;
    hideAllBut(m_labels, shown);
}

void BandMapStrip::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (!m_redrawing) {
        focusSpot(event->reason());
    }
}

void BandMapStrip::focusSpot(Qt::FocusReason reason) {
    QList<PendingSpot> shown;
    for (SpotLabel* label : m_labels) {
        if (!label->isHidden()) {
            shown.append({label, 0});
        }
    }
    if (SpotLabel* target = m_focus.focusTarget(shown)) {
        target->setFocus(reason);
    }
}

void BandMapStrip::keyPressEvent(QKeyEvent* event) {
    // The strip has the focus itself when it had no spot: an arrow finds one that came.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        focusSpot(Qt::OtherFocusReason);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void BandMapStrip::step(int slot, int key) {
    if (SpotLabel* next = m_focus.neighbour(m_labels[std::size_t(slot)], key)) {
        next->setFocus(Qt::OtherFocusReason);
    }
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
