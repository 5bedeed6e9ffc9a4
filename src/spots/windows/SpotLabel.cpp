// Spot labels and the axis they are placed on.
#include "spots/windows/SpotLabel.h"

#include <QFrame>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace ditlog {

SpotLabel::SpotLabel(int slot, QWidget* parent) : QLabel(parent), m_slot(slot) {
    setObjectName(QStringLiteral("lblDXSpot_%1").arg(slot));
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_Hover);
    setAccessibleDescription(QStringLiteral("Right click tunes the radio; left click withdraws the spot"));
    hide();
}

void SpotLabel::showSpot(const QString& labelText, const QString& hoverText, quint32 rgb) {
    if (text() != labelText) {
        setText(labelText);
    }
    if (toolTip() != hoverText) {
        setToolTip(hoverText);
        setAccessibleName(hoverText);
    }
    const QColor colour = QColor::fromRgb(QRgb(rgb));
    if (palette().color(QPalette::WindowText) != colour) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, colour);
        setPalette(p);
    }
}

void SpotLabel::showMark(SpotMark mark) {
    if (mark == m_mark) {
        return;
    }
    m_mark = mark;
    const bool multiplier = mark == SpotMark::NewMultiplier;
    setAutoFillBackground(multiplier);
    if (multiplier) {
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor::fromRgb(QRgb(kMultiplierSpotBackground)));
        setPalette(p);
    }
}

void SpotLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    Q_EMIT hovered(m_slot, toolTip());
}

void SpotLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button();
    event->accept();
}

void SpotLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const Qt::MouseButton button = event->button();
    if (button != m_pressed || !rect().contains(event->position().toPoint())) {
        m_pressed = Qt::NoButton;
        return;
    }
    m_pressed = Qt::NoButton;
    Q_EMIT clicked(m_slot, button);
}

void SpotLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a click of its own (the strip behind must
    // not take it for a double click on itself).
    mousePressEvent(event);
}

void hideAllBut(const std::array<SpotLabel*, 50>& labels, const QList<PendingSpot>& shown) {
    std::array<bool, 50> keep{};
    for (const PendingSpot& spot : shown) {
        keep[std::size_t(spot.label->slot())] = true;
    }
    for (SpotLabel* label : labels) {
        if (!keep[std::size_t(label->slot())] && !label->isHidden()) {
            label->hide();
        }
    }
}

// ---- the axis ----------------------------------------------------------------------------

int halfSpotLabelWidth(const QFont& font) {
    return (QFontMetrics(font).horizontalAdvance(QStringLiteral("WWW")) + 6) / 2;
}

SpotAxis::SpotAxis(QWidget* parent, const QString& lineName, int firstScaleLabel)
    : m_parent(parent), m_font(parent->font()) {
    m_line = new QFrame(parent);
    m_line->setObjectName(lineName);
    m_line->setAutoFillBackground(true);
    QPalette white = m_line->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_line->setPalette(white);
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(parent);
        label->setObjectName(QStringLiteral("lblFreqSpot_%1").arg(firstScaleLabel + i));
        label->setAlignment(Qt::AlignCenter);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
        m_scale[std::size_t(i)] = label;
    }
    setScale(BandScale{});
}

void SpotAxis::setGeometry(int x1, int x2, int y, int gap, int spotGap, int rows) {
    m_x1 = x1;
    m_x2 = std::max(x1 + 1, x2);
    m_y = y;
    m_gap = gap;
    m_spotGap = spotGap;
    m_rows = std::max(1, rows);
    m_line->setGeometry(m_x1, m_y, m_x2 - m_x1, 1);
    placeScaleLabels();
}

void SpotAxis::setScale(const BandScale& scale) {
    m_scaleValues = scale;
    for (int i = 0; i < 5; ++i) {
        const QString text = scaleText(scale[std::size_t(i)]);
        if (m_scale[std::size_t(i)]->text() != text) {
            m_scale[std::size_t(i)]->setText(text);
            m_scale[std::size_t(i)]->setAccessibleName(QStringLiteral("Scale ") + text);
        }
    }
    placeScaleLabels();
}

void SpotAxis::setFont(const QFont& font) {
    m_font = font;
    for (QLabel* label : m_scale) {
        label->setFont(font);
    }
    placeScaleLabels();
}

void SpotAxis::placeScaleLabels() {
    const QFontMetrics fm(m_font);
    const int height = fm.height();
    for (int i = 0; i < 5; ++i) {
        QLabel* label = m_scale[std::size_t(i)];
        const int width = fm.horizontalAdvance(label->text()) + 6;
        const double centre = m_x1 + i * 0.25 * (m_x2 - m_x1);
        const int left = std::clamp(int(std::lround(centre - width / 2.0)), 0,
                                    std::max(0, m_parent->width() - width));
        label->setGeometry(left, m_y + m_gap, width, height);
    }
}

std::optional<double> SpotAxis::centreOf(double mhz) const {
    if (!onScale(mhz, s0(), s4())) {
        return std::nullopt;
    }
    return axisPosition(mhz, s0(), s4(), m_x1, m_x2);
}

void SpotAxis::placeSpots(const QList<PendingSpot>& spots) const {
    const QFontMetrics fm(m_font);
    const int height = fm.height();
    const int limit = m_parent->width();
    QList<LabelSpan> spans;
    QList<QRect> rects;
    spans.reserve(spots.size());
    for (const PendingSpot& spot : spots) {
        if (spot.label->font() != m_font) {
            spot.label->setFont(m_font);
        }
        const int width = std::min(limit, fm.horizontalAdvance(spot.label->text()) + 6);
        const int left = std::clamp(int(std::lround(spot.centre - width / 2.0)), 0,
                                    std::max(0, limit - width));
        spans.append({left, left + width});
        rects.append(QRect(left, 0, width, height));
    }
    const QList<int> rows = stackRows(spans, m_rows);
    for (qsizetype i = 0; i < spots.size(); ++i) {
        QRect r = rects[i];
        r.moveTop(m_y - m_spotGap - (rows[i] + 1) * height);
        if (spots[i].label->geometry() != r) {
            spots[i].label->setGeometry(r);
        }
        if (spots[i].label->isHidden()) {
            spots[i].label->show();
        }
    }
}

} // namespace ditlog
