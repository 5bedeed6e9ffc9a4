// The map of all HF bands.
#include "spots/windows/AllBandsMapWindow.h"

#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "spots/SpotDescription.h"
#include "spots/SpotStore.h"

#include <QEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace ditlog {

AllBandsMapWindow::AllBandsMapWindow(const SpotStore& store, const Clock& clock,
                                     const StationPreferences& prefs, const Screen& screen,
                                     QWidget* parent)
    : QDialog(parent), m_store(store), m_clock(clock), m_prefs(prefs), m_screen(screen) {
    setObjectName(QStringLiteral("SpectrumMap"));
    setWindowTitle(QStringLiteral(" HF Spectrum Map"));
    setAccessibleName(QStringLiteral("HF Spectrum Map"));
    setAutoFillBackground(true);
    QPalette navy = palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    navy.setColor(QPalette::WindowText, Qt::white);
    setPalette(navy);
    const auto& rows = spectrumRows();
    for (int k = 0; k < kSpectrumRows; ++k) {
        m_rows[std::size_t(k)] =
            std::make_unique<SpotAxis>(this, QStringLiteral("lineHF_%1").arg(k), 5 * k);
        auto* name = new QLabel(QStringLiteral("%1 m").arg(QLatin1String(rows[std::size_t(k)].band)), this);
        name->setObjectName(QStringLiteral("lblBandRow_%1").arg(k));
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_bandNames[std::size_t(k)] = name;
    }
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        auto* label = new SpotLabel(i, this);
        connect(label, &SpotLabel::hovered, this, &AllBandsMapWindow::spotHovered);
        connect(label, &SpotLabel::clicked, this, &AllBandsMapWindow::spotClicked);
        connect(label, &SpotLabel::stepRequested, this, &AllBandsMapWindow::step);
        connect(label, &SpotLabel::focused, this, [this, label] { m_focus.remember(label); });
        m_labels[std::size_t(i)] = label;
    }
    m_labels.back()->raise();
    SetSpectrumScales();
    FitToWorkArea();
}

AllBandsMapWindow::~AllBandsMapWindow() = default;

QMargins AllBandsMapWindow::frame() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void AllBandsMapWindow::FitToWorkArea() {
    const QRect area = m_screen.workAreaTwips();
    const QRect px(area.left() / kTwipsPerPixel, area.top() / kTwipsPerPixel, area.width() / kTwipsPerPixel,
                   area.height() / kTwipsPerPixel);
    // The frame the window manager puts around the window is known once it is shown (and
    // may change then): the window is fitted again whenever it differs.
    m_fittedFrame = frame();
    QRect client = px.marginsRemoved(m_fittedFrame);
    client.setSize(client.size().expandedTo(QSize(320, 240)));
    setGeometry(client);
}

void AllBandsMapWindow::layOut() {
    QFont f = font();
    f.setPixelSize(std::clamp(height() / 64, 10, 20));
    for (const auto& row : m_rows) {
        row->setFont(f);
    }
    for (QLabel* name : m_bandNames) {
        name->setFont(f);
    }
    const QFontMetrics fm(f);
    const int pitch = std::max(1, height() / kSpectrumRows);
    const int nameWidth = fm.horizontalAdvance(QStringLiteral("160 m")) + 12;
    const int half = halfSpotLabelWidth(f);
    const int gap = std::max(1, int(std::lround(0.004 * height())));
    // Room above each axis: the row's pitch less the scale labels of the row above.
    const int rowsAbove = std::max(1, (pitch - fm.height() - 2 * gap) / std::max(1, fm.height()));
    for (int k = 0; k < kSpectrumRows; ++k) {
        const int y = k * pitch + pitch - fm.height() - 2 * gap;
        m_rows[std::size_t(k)]->setGeometry(nameWidth + half, width() - half, y, gap, 0, rowsAbove);
        m_bandNames[std::size_t(k)]->setGeometry(0, y - fm.height() / 2, nameWidth - 6, fm.height());
    }
}

void AllBandsMapWindow::SetSpectrumScales() {
    const auto& rows = spectrumRows();
    for (int k = 0; k < kSpectrumRows; ++k) {
        m_rows[std::size_t(k)]->setScale(bandScale(m_store, rows[std::size_t(k)].edges));
    }
}

void AllBandsMapWindow::BandMapLabelDisplay() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SetSpectrumScales();
    const QDateTime now = m_clock.localNow();
    std::array<QList<PendingSpot>, kSpectrumRows> placed;
    for (int i = SpotStore::kSlots - 1; i >= 0; --i) {
        const DxSpot& spot = m_store.slot(i);
        SpotLabel* label = m_labels[std::size_t(i)];
        quint32 colour = 0xFFFF80u;
        if (spot.Time.isValid()) {
            const std::optional<quint32> aged = SpotAgeColour(spot.Time.secsTo(now));
            if (!aged) {
                break;
            }
            colour = *aged;
        }
        const int k = spectrumRowOf(spot.FreqMHz);
        if (k < 0) {
            continue;
        }
        // Outside its row's scale (the zoom leaves slot 0 out) a spot would stand at a
        // false frequency: it is left off.
        const std::optional<double> centre = m_rows[std::size_t(k)]->centreOf(spot.FreqMHz);
        if (!centre) {
            continue;
        }
        const SpotMark mark = m_marker ? m_marker(spot.Call, spot.FreqMHz) : SpotMark::None;
        label->showSpot(spot, spotHoverText(spot, m_prefs.UtcOffset),
                        spotDescription(spot, spot.Time.isValid() ? spot.Time.secsTo(now) : -1, mark),
                        markedTextColour(colour, mark));
        label->showMark(mark);
        label->setRow(k);
        placed[std::size_t(k)].append({label, *centre});
    }
    QList<PendingSpot> all;
    for (int k = 0; k < kSpectrumRows; ++k) {
        m_rows[std::size_t(k)]->placeSpots(placed[std::size_t(k)]);
        all += placed[std::size_t(k)];
    }
    m_focus.keepFocus(all, this);
    hideAllBut(m_labels, all);
    QGuiApplication::restoreOverrideCursor();
}

void AllBandsMapWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
    BandMapLabelDisplay();
}

void AllBandsMapWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (frame() != m_fittedFrame) {
        FitToWorkArea();
    }
    BandMapLabelDisplay();
    focusSpot(); // the newest spot
}

void AllBandsMapWindow::focusSpot() {
    QList<PendingSpot> shown;
    for (SpotLabel* label : m_labels) {
        if (!label->isHidden()) {
            shown.append({label, 0});
        }
    }
    if (SpotLabel* target = m_focus.focusTarget(shown)) {
        target->setFocus(Qt::OtherFocusReason);
    }
}

void AllBandsMapWindow::keyPressEvent(QKeyEvent* event) {
    // No spot had the focus (none was shown): an arrow finds one that came.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        focusSpot();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void AllBandsMapWindow::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (isVisible() && frame() != m_fittedFrame) {
        FitToWorkArea();
    }
}

void AllBandsMapWindow::step(int slot, int key) {
    if (SpotLabel* next = m_focus.neighbour(m_labels[std::size_t(slot)], key)) {
        next->setFocus(Qt::OtherFocusReason);
    }
}

void AllBandsMapWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        BandMapLabelDisplay();
    }
}

} // namespace ditlog
