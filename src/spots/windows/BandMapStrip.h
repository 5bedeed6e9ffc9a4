// The band map at the bottom of the main window (lblDX): the spots of the current band
// on a white frequency axis (LineDX) with five scale labels under it and one label per
// store slot above it, coloured by age. One stop in the tab order: from there the arrow
// keys go from spot to spot in frequency order, Enter or the menu key tunes as a right
// click does, Delete withdraws as a left click does.
#pragma once

#include "spots/windows/SpotLabel.h"

#include <QWidget>

#include <array>

namespace ditlog {

class Clock;
class SpotStore;
struct StationPreferences;

class BandMapStrip : public QWidget {
    Q_OBJECT
public:
    BandMapStrip(const SpotStore& store, const Clock& clock, const StationPreferences& prefs,
                 QWidget* parent);

    // Redraws the spots of the current band; does nothing while the strip is hidden.
    void DisplayBandMapLabels();
    // The scale of the current band, zoomed to its spots, into the five scale labels.
    void SetBandMapScale();

    SpotLabel* spotLabel(int slot) const { return m_labels[std::size_t(slot)]; }
    const SpotAxis& axis() const { return m_axis; }
    // How many rows the labels may stack in above the axis.
    int stackRowCount() const;
    // Who decides the marks of spots (duplicates, new multipliers); none marks nothing.
    void setMarker(SpotMarker marker) { m_marker = std::move(marker); }

Q_SIGNALS:
    void spotHovered(int slot, const QString& hoverText);
    void spotClicked(int slot, Qt::MouseButton button);
    // A click on the strip itself, between the spots.
    void stripClicked();
    void stripDoubleClicked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void layOut();
    void step(int slot, int key);
    void focusSpot(Qt::FocusReason reason);

    const SpotStore& m_store;
    const Clock& m_clock;
    const StationPreferences& m_prefs;
    SpotAxis m_axis;
    std::array<SpotLabel*, 50> m_labels{};
    SpotMarker m_marker;
    SpotFocus m_focus{m_labels, false};
    bool m_redrawing = false; // the focus is being kept: the strip passes it on to no spot
};

} // namespace ditlog
