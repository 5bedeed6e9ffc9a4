// The map of all HF bands: eleven bands at once, one row
// each from 160 m at the top to 2 m at the bottom, every spot on its band's axis.
// The whole window, frame included, fills the work area of the screen; it lives only
// while it is open. The keyboard starts on the newest spot: Left and Right go along a
// row in frequency order, Up and Down to the next row with spots, Enter or the menu key
// tunes as a right click does, Delete withdraws as a left click does.
#pragma once

#include "spots/windows/SpotLabel.h"

#include <QDialog>
#include <QMargins>

#include <array>
#include <memory>

namespace ditlog {

class Clock;
class Screen;
class SpotStore;
struct StationPreferences;

class AllBandsMapWindow : public QDialog {
    Q_OBJECT
public:
    AllBandsMapWindow(const SpotStore& store, const Clock& clock, const StationPreferences& prefs,
                      const Screen& screen, QWidget* parent);
    ~AllBandsMapWindow() override;

    // Redraws every spot of the store on its band's row.
    void BandMapLabelDisplay();
    // The eleven scales, each zoomed to its spots, into the 55 scale labels.
    void SetSpectrumScales();

    SpotLabel* spotLabel(int slot) const { return m_labels[std::size_t(slot)]; }
    const SpotAxis& row(int k) const { return *m_rows[std::size_t(k)]; }
    // Who decides the marks of spots (duplicates, new multipliers); none marks nothing.
    void setMarker(SpotMarker marker) { m_marker = std::move(marker); }

Q_SIGNALS:
    void spotHovered(int slot, const QString& hoverText);
    void spotClicked(int slot, Qt::MouseButton button);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FitToWorkArea();
    QMargins frame() const;
    void layOut();
    void step(int slot, int key);
    void focusSpot();

    const SpotStore& m_store;
    const Clock& m_clock;
    const StationPreferences& m_prefs;
    const Screen& m_screen;
    std::array<std::unique_ptr<SpotAxis>, kSpectrumRows> m_rows;
    std::array<QLabel*, kSpectrumRows> m_bandNames{};
    std::array<SpotLabel*, 50> m_labels{};
    SpotMarker m_marker;
    SpotFocus m_focus{m_labels, true};
    QMargins m_fittedFrame; // the frame the window was last fitted with
};

} // namespace ditlog
