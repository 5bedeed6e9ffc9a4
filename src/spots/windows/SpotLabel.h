// One spot on a band map: a small label showing the spot's prefix in its age colour,
// reporting hovers, clicks and keys with the store slot it shows; it takes the keyboard
// focus from its map (never by Tab) and shows it with a frame. SpotAxis lays out one
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
    // Shows a spot: its prefix, its hover text, what a screen reader says of it (the
    // accessible name) and its colour.
    void showSpot(const DxSpot& spot, const QString& hoverText, const QString& spoken, quint32 rgb);
    // The spot it shows (as of the last showSpot).
    const DxSpot& spot() const { return m_spot; }
    // The map row it stands on (the spectrum map's band row; 0 on the band map).
    int row() const { return m_row; }
    void setRow(int row) { m_row = row; }
    // A new multiplier stands on its own background (a duplicate is greyed by its colour).
    void showMark(SpotMark mark);
    SpotMark mark() const { return m_mark; }

Q_SIGNALS:
    void hovered(int slot, const QString& hoverText);
    // A click: the right button tunes, any other withdraws. From the keyboard: Enter or the
    // menu key as the right button, Delete as the left.
    void clicked(int slot, Qt::MouseButton button);
    // An arrow key, Home or End while the label has the focus: the map moves it on.
    void stepRequested(int slot, int key);
    // The label got the keyboard focus.
    void focused(int slot);
    // Tab (next) or Shift+Tab on it: the map hands the focus on past itself.
    void tabbed(bool next);

protected:
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    int m_slot;
    SpotMark m_mark = SpotMark::None;
    int m_row = 0;
    DxSpot m_spot;
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

// The keyboard on a map's spot labels: where each arrow key takes the focus (along a row
// in frequency order; Up and Down to the neighbouring row with spots where a map has
// rows, else along the row), and where it goes when a redraw hides its label or gives the
// label another spot: to the label now showing the same spot, else to the nearest
// frequency on its row (the next higher first). Nothing moves when the focus is elsewhere.
class SpotFocus {
public:
    SpotFocus(const std::array<SpotLabel*, 50>& labels, bool rows) : m_labels(labels), m_rows(rows) {}

    // The label the key leads to from the given one, or null.
    SpotLabel* neighbour(const SpotLabel* from, int key) const;
    // The spot the keyboard is on, remembered when a label gets the focus.
    void remember(const SpotLabel* label);
    // The label the keyboard was on before the redraw, when it had the focus; the newest
    // shown spot when there is none yet.
    SpotLabel* focusTarget(const QList<PendingSpot>& shown) const;
    // Call between placing and hiding: moves the focus to its target, or to the fallback
    // (the map itself) when no spot is shown. True when the focus was on a label.
    bool keepFocus(const QList<PendingSpot>& shown, QWidget* fallback);

private:
    QList<SpotLabel*> rowOf(int row, const QList<SpotLabel*>& shown) const;
    QList<SpotLabel*> shownLabels() const;

    const std::array<SpotLabel*, 50>& m_labels;
    bool m_rows;
    DxSpot m_current;
    int m_currentRow = 0;
    bool m_known = false; // a spot had the focus
};

// Tab or Shift+Tab on a spot: the focus goes to the next (or previous) control of the
// window that Tab stops at, past the map and its spots.
void passFocusBy(QWidget* map, bool next);

// Half the width of a typical spot label in this font: the axis keeps this much room at
// each end so that a spot at the band edge is still seen whole.
int halfSpotLabelWidth(const QFont& font);

} // namespace ditlog
