// One spot on a band map: a small label showing the spot's prefix in its age colour,
// reporting hovers and clicks with the store slot it shows. SpotAxis lays out one
// frequency axis with its five scale labels and places spot labels on it, stacking
// labels that would overlap in rows above the axis.
#pragma once

#include "spots/BandMapGeometry.h"
#include "spots/SpotMark.h"

#include <QLabel>

#include <array>

class QFrame;

namespace ditlog {

class SpotLabel : public QLabel {
    Q_OBJECT
public:
    SpotLabel(int slot, QWidget* parent);
    int slot() const { return m_slot; }
    // Shows a spot: its prefix, its hover text (also the accessible name) and colour.
    void showSpot(const QString& labelText, const QString& hoverText, quint32 rgb);
    // A new multiplier stands on its own background (a duplicate is greyed by its colour).
    void showMark(SpotMark mark);
    SpotMark mark() const { return m_mark; }

Q_SIGNALS:
    void hovered(int slot, const QString& hoverText);
    // A click: the right button tunes, any other withdraws.
    void clicked(int slot, Qt::MouseButton button);

protected:
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_slot;
    SpotMark m_mark = SpotMark::None;
    Qt::MouseButton m_pressed = Qt::NoButton;
};

// A spot label waiting to be placed on an axis: its label and its centre in pixels.
struct PendingSpot {
    SpotLabel* label = nullptr;
    double centre = 0;
};

class SpotAxis {
public:
    // The line and the five scale labels live in the parent; names as given.
    SpotAxis(QWidget* parent, const QString& lineName, int firstScaleLabel);

    QFrame* line() const { return m_line; }
    QLabel* scaleLabel(int i) const { return m_scale[std::size_t(i)]; }
    // The axis from x1 to x2 at height y; scale labels below it (gap pixels down),
    // spot labels sit `spotGap` pixels above it and may stack up to `rows` rows.
    void setGeometry(int x1, int x2, int y, int gap, int spotGap, int rows);
    void setScale(const BandScale& scale);
    // The font of the scale and spot labels.
    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }
    int x1() const { return m_x1; }
    int x2() const { return m_x2; }
    int y() const { return m_y; }
    double s0() const { return m_scaleValues[0]; }
    double s4() const { return m_scaleValues[4]; }
    // Centre of a frequency on the axis, when it lies strictly inside the scale.
    std::optional<double> centreOf(double mhz) const;
    // Moves the labels to their places (stacked where they would overlap) and shows them;
    // nothing leaves [0, parent width).
    void placeSpots(const QList<PendingSpot>& spots) const;

private:
    void placeScaleLabels();

    QWidget* m_parent;
    QFont m_font;
    QFrame* m_line;
    std::array<QLabel*, 5> m_scale{};
    BandScale m_scaleValues{};
    int m_x1 = 0;
    int m_x2 = 0;
    int m_y = 0;
    int m_gap = 0;
    int m_spotGap = 0;
    int m_rows = 1;
};

// Hides every label of the pool that is not among the shown ones. A redraw moves and
// shows the labels it places and hides only the rest, so an unchanged spot is not
// hidden and shown again on every redraw.
void hideAllBut(const std::array<SpotLabel*, 50>& labels, const QList<PendingSpot>& shown);

// Half the width of a typical spot label in this font: the axis keeps this much room at
// each end so that a spot at the band edge is still seen whole.
int halfSpotLabelWidth(const QFont& font);

} // namespace ditlog
