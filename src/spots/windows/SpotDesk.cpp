// The spot desk: filing spots, the spot list and its clicks, and the spotting window.
#include "spots/windows/SpotDesk.h"

#include "log/ContactLog.h"
#include "log/StationPreferences.h"
#include "platform/AgwEngine.h"
#include "platform/Clock.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/TcpClient.h"
#include "platform/UserPrompts.h"
#include "rig/RigTuning.h"
#include "spots/SpotSourceLink.h"
#include "spots/SpotText.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/PacketSpotWindow.h"
#include "spots/windows/AllBandsMapWindow.h"
#include "ui/WindowScaling.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>

#include <cmath>

namespace ditlog {

SpotDesk::SpotDesk(Services services, QString workingFolder, const StationPreferences& prefs,
                   const PrefixTable& prefixes, const ContactLog& log, DesignCanvas& canvas,
                   QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_services(services), m_workingFolder(std::move(workingFolder)),
      m_prefs(prefs), m_prefixes(prefixes), m_log(log), m_canvas(canvas),
      m_mainWindow(mainWindow) {
    connect(&m_intake, &SpotIntake::spotPosted, this,
            [this](const QString& frequency, const QString& call, const QString& record) {
                BandMapSpots(call, frequency, record);
            });
    buildList();
    connect(this, &SpotDesk::spotsChanged, this, &SpotDesk::redrawMaps);
    connect(this, &SpotDesk::bandMapRefreshDue, this, &SpotDesk::redrawMaps);
    connect(this, &SpotDesk::spectrumMapRequested, this, &SpotDesk::openSpectrumMap);
    if (m_mainWindow != nullptr) {
        m_mainWindow->installEventFilter(this);
    }
}

SpotDesk::~SpotDesk() {
    delete m_window;
    m_link.reset();
}

void SpotDesk::buildList() {
    DesignCanvas& canvas = m_canvas;
    m_lblDX = new BandMapStrip(m_store, m_services.clock, m_prefs, &canvas);
    m_lblDX->hide();
    connect(m_lblDX, &BandMapStrip::spotClicked, this, &SpotDesk::bandMapSpotClicked);
    connect(m_lblDX, &BandMapStrip::spotHovered, this,
            [this](int, const QString& text) { Q_EMIT spotHovered(text); });
    connect(m_lblDX, &BandMapStrip::stripClicked, this, &SpotDesk::showSpottingWindow);
    connect(m_lblDX, &BandMapStrip::stripDoubleClicked, this, &SpotDesk::openSpectrumMap);
    canvas.placeFixed(m_lblDX, 96, 6200, 9312, 700);

    m_txtDX = new QTreeView(&canvas);
    m_txtDX->setObjectName(QStringLiteral("txtDX"));
    m_txtDX->setAccessibleName(QStringLiteral("DX spots"));
    m_txtDX->setModel(&m_list);
    m_txtDX->setRootIsDecorated(false);
    m_txtDX->setUniformRowHeights(true);
    m_txtDX->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_txtDX->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_txtDX->header()->setStretchLastSection(false);
    m_txtDX->setColumnHidden(3, true);
    m_txtDX->hide();
    canvas.placeFixed(m_txtDX, 96, 6200, 9312, 700);
    canvas.setColumnWidths(m_txtDX, SpotListModel::designWidthsTwips());
    connect(m_txtDX, &QTreeView::clicked, this, &SpotDesk::txtDX_Click);
    connect(m_txtDX, &QTreeView::activated, this, &SpotDesk::txtDX_Click);
    connect(m_txtDX, &QTreeView::doubleClicked, this, &SpotDesk::spectrumMapRequested);
    m_txtDX->viewport()->installEventFilter(this);
}

void SpotDesk::setSources(SerialPort& tnc, TcpClient& telnet, AgwEngine& agw) {
    Q_ASSERT(!m_link);
    m_tnc = &tnc;
    m_telnet = &telnet;
    m_agw = &agw;
}

void SpotDesk::setProgramTitle(std::function<QString()> title) {
    m_title = std::move(title);
    if (m_link) {
        m_link->setProgramTitle(m_title);
    }
}

void SpotDesk::ensureLink() {
    if (m_link) {
        return;
    }
    if (m_tnc == nullptr) {
        m_portMap = std::make_unique<PortMap>(m_services.settings);
        m_ownTnc = std::make_unique<QtSerialPort>(*m_portMap);
        m_tnc = m_ownTnc.get();
    }
    if (m_telnet == nullptr) {
        m_ownTelnet = std::make_unique<QtTcpClient>();
        m_telnet = m_ownTelnet.get();
    }
    if (m_agw == nullptr) {
        m_ownAgw = std::make_unique<TcpAgwEngine>();
        m_agw = m_ownAgw.get();
    }
    m_link = std::make_unique<SpotSourceLink>(m_settings, m_console, m_intake, *m_tnc, *m_telnet,
                                              *m_agw,
                                              m_services.prompts, m_prefs);
    m_link->setProgramTitle(m_title);
    connect(m_link.get(), &SpotSourceLink::bandMapRefreshDue, this, &SpotDesk::bandMapRefreshDue);
    connect(m_link.get(), &SpotSourceLink::sourceNotice, this, &SpotDesk::sourceNotice);
}

SpotSourceLink& SpotDesk::link() {
    ensureLink();
    return *m_link;
}

PacketSpotWindow& SpotDesk::spottingWindow() {
    if (m_window == nullptr) {
        ensureLink();
        m_window = new PacketSpotWindow(
            m_settings, m_console, m_intake, *m_link, m_workingFolder, m_services.settings,
            m_services.prompts, m_services.screen,
            [this] { return m_log.count() > 0 ? m_log.record(m_log.count()).call : QString(); },
            m_mainWindow);
        connect(m_window, &PacketSpotWindow::saveRequested, this,
                &SpotDesk::preferencesSaveRequested);
        connect(m_window, &PacketSpotWindow::done, this, &SpotDesk::displayChoiceMade);
    }
    return *m_window;
}

void SpotDesk::showSpottingWindow() {
    PacketSpotWindow& w = spottingWindow();
    w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
    w.show();
    w.raise();
    w.activateWindow();
}

void SpotDesk::startUp() {
    const std::optional<SpotSourceSettings> stored = LoadSpotSettings(m_workingFolder);
    if (stored && !SpotSource::is(stored->Source, SpotSource::None)) {
        spottingWindow(); // opens the stored source
        Q_EMIT displayChoiceMade();
    }
}

void SpotDesk::shutdown() {
    if (m_link) {
        m_link->shutdown();
    }
    if (m_window != nullptr) {
        m_window->hide();
    }
}

// ---- the display on the main window ------------------------------------------------------

void SpotDesk::showDisplay(Display display) {
    m_display = display;
    m_txtDX->setVisible(display == Display::List);
    m_lblDX->setVisible(display == Display::BandMap);
    if (display != Display::Off) {
        scheduleRedraw();
    }
}

void SpotDesk::PacketResize() {
    const bool none = SpotSource::is(m_settings.Source, SpotSource::None);
    const Display chosen = m_settings.ShowAsList ? Display::List : Display::BandMap;
    if (m_display != Display::Off) {
        if (none) {
            // Off: the design layout comes back exactly.
            m_canvas.setVerticalFactor(1);
            showDisplay(Display::Off);
        } else if (chosen != m_display) {
            showDisplay(chosen);
        }
        return;
    }
    if (none) {
        return;
    }
    m_canvas.setVerticalFactor(0.9);
    const int top = m_canvas.greatestBottomTwips();
    const QSize design = m_canvas.designTwips();
    const int left = int(std::lround(design.width() * 0.01));
    const int width = int(std::lround(design.width() * 0.97));
    const int height = std::max(1, design.height() - top);
    m_canvas.placeFixed(m_txtDX, left, top, width, height);
    m_canvas.placeFixed(m_lblDX, left, top, width, height);
    showDisplay(chosen);
}

// ---- spots -------------------------------------------------------------------------------

void SpotDesk::BandMapSpots(const QString& call, const QString& frequency, const QString& record) {
    const QString ownCall = m_prefs.OwnCall.trimmed();
    if (!call.isEmpty() && call.compare(ownCall, Qt::CaseInsensitive) == 0) {
        m_services.prompts.beep();
        Q_EMIT ownCallSpotted(record);
    }
    const std::optional<double> kHz = numericValue(frequency);
    if (!kHz) {
        return;
    }
    const float mhz = float(*kHz / 1000);
    if (!std::isfinite(mhz)) {
        return;
    }
    const qsizetype cr = record.indexOf(QLatin1Char('\r'));
    const QString kept = cr >= 0 ? record.left(cr) : record;
    m_store.take(call, mhz, m_services.clock.localNow());
    scheduleRedraw();
    m_list.addRow(SpotListModel::makeRow(call, mhz, SpotCountry(m_prefixes, call), kept));
}

void SpotDesk::scheduleRedraw() {
    if (!m_redrawPending) {
        m_redrawPending = true;
        QTimer::singleShot(0, this, [this] {
            m_redrawPending = false;
            Q_EMIT spotsChanged();
        });
    }
}

void SpotDesk::txtDX_Click(const QModelIndex& index) {
    Q_EMIT callFocusRequested();
    if (m_list.rowCount() == 0 || !index.isValid()) {
        return;
    }
    const std::optional<double> mhz = numericValue(m_list.cellText(index.row(), 1));
    if (!mhz) {
        return;
    }
    if (m_rig != nullptr && m_prefs.RigType.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0) {
        m_rig->ChangeFrequency(*mhz);
    }
    Q_EMIT callChosen(m_list.cellText(index.row(), 0));
}

// ---- the band maps ----------------------------------------------------------------------

void SpotDesk::DisplayBandMapLabels() {
    if (m_display == Display::BandMap) {
        m_lblDX->DisplayBandMapLabels();
    }
}

void SpotDesk::redrawMaps() {
    DisplayBandMapLabels();
    if (m_spectrum) {
        m_spectrum->BandMapLabelDisplay();
    }
}

void SpotDesk::setSpotMarker(SpotMarker marker) {
    m_marker = std::move(marker);
    m_lblDX->setMarker(m_marker);
    m_list.setMarker(m_marker);
    if (m_spectrum) {
        m_spectrum->setMarker(m_marker);
    }
    redrawMaps();
}

void SpotDesk::refreshMarks() {
    m_list.refreshMarks();
    redrawMaps();
}

AllBandsMapWindow* SpotDesk::spectrumMap() const {
    return m_spectrum.data();
}

void SpotDesk::openSpectrumMap() {
    if (m_spectrum) {
        m_spectrum->raise();
        return;
    }
    m_spectrum = new AllBandsMapWindow(m_store, m_services.clock, m_prefs, m_services.screen,
                                       m_mainWindow);
    m_spectrum->setMarker(m_marker);
    m_spectrum->setAttribute(Qt::WA_DeleteOnClose);
    m_spectrum->setWindowModality(Qt::WindowModal);
    connect(m_spectrum, &AllBandsMapWindow::spotClicked, this, &SpotDesk::spectrumSpotClicked);
    m_spectrum->open();
}

void SpotDesk::tuneToSpot(int slot) {
    const DxSpot& spot = m_store.slot(slot);
    if (spot.FreqMHz <= 0) {
        return;
    }
    if (m_rig != nullptr) {
        m_rig->ChangeFrequency(double(spot.FreqMHz));
    }
    Q_EMIT spotTaken(spot.Call);
}

void SpotDesk::bandMapSpotClicked(int slot, Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        tuneToSpot(slot);
        return;
    }
    m_store.withdraw(slot);
    redrawMaps();
}

void SpotDesk::spectrumSpotClicked(int slot, Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        const QString call = m_store.slot(slot).Call;
        if (m_store.slot(slot).FreqMHz > 0 && m_rig != nullptr) {
            m_rig->ChangeFrequency(double(m_store.slot(slot).FreqMHz));
        }
        if (m_spectrum) {
            m_spectrum->close();
        }
        Q_EMIT callChosen(call);
        Q_EMIT callFocusRequested();
        return;
    }
    m_store.withdraw(slot);
    redrawMaps();
}

bool SpotDesk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mainWindow && event->type() == QEvent::WindowActivate) {
        RefreshBandMap();
        return false;
    }
    // A click below the rows (an empty list, or past the last spot) opens the spotting window.
    if (watched == m_txtDX->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            !m_txtDX->indexAt(mouse->position().toPoint()).isValid()) {
            showSpottingWindow();
            return true;
        }
    }
    return false;
}

} // namespace ditlog
