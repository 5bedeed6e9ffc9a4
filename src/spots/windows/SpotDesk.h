// Everything DX spotting brings to the main window: the spot store, the spot list txtDX,
// the console, the intake and the source link, and the spotting window created on first
// use. The main window's BandMapSpots and spot-list clicks are carried out here.
#pragma once

#include "platform/Services.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotListModel.h"
#include "spots/SpotMark.h"
#include "spots/SpotSourceSettings.h"
#include "spots/SpotStore.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QTreeView;
class QModelIndex;

namespace ditlog {

class AgwEngine;
class BandMapStrip;
class ContactLog;
class DesignCanvas;
class PacketSpotWindow;
class PrefixTable;
class PortMap;
class RigTuning;
class SerialPort;
class AllBandsMapWindow;
class SpotSourceLink;
class TcpClient;
struct StationPreferences;

class SpotDesk : public QObject {
    Q_OBJECT
public:
    SpotDesk(Services services, QString workingFolder, const StationPreferences& prefs,
             const PrefixTable& prefixes, const ContactLog& log, DesignCanvas& canvas,
             QWidget* mainWindow, QObject* parent = nullptr);
    ~SpotDesk() override;

    // The sources to use instead of the real ones; before the first opening.
    void setSources(SerialPort& tnc, TcpClient& telnet, AgwEngine& agw);
    void setRigTuning(RigTuning& rig) { m_rig = &rig; }
    void setProgramTitle(std::function<QString()> title);

    SpotStore& store() { return m_store; }
    SpotListModel& listModel() { return m_list; }
    SpotConsole& console() { return m_console; }
    SpotIntake& intake() { return m_intake; }
    SpotSourceLink& link();
    SpotSourceSettings& settings() { return m_settings; }
    QTreeView* txtDX() const { return m_txtDX; }
    // The spotting window, created (and its stored source opened) on first use.
    PacketSpotWindow& spottingWindow();
    bool hasSpottingWindow() const { return m_window != nullptr; }

    // Takes one spot into the store and the list.
    void BandMapSpots(const QString& call, const QString& frequency, const QString& record);
    // The spot display at the bottom of the main window: off, the list or the band map.
    enum class Display { Off, List, BandMap };
    Display display() const { return m_display; }
    // Switches the display by the chosen source and "Main Form Display"; turning it on
    // shrinks the main window's layout to 90 % of its height to make room below.
    void PacketResize();
    BandMapStrip* lblDX() const { return m_lblDX; }

    // Redraws the band map strip when it shows.
    void DisplayBandMapLabels();
    // The main window was activated: the band map is brought up to date.
    void RefreshBandMap() { DisplayBandMapLabels(); }
    // Opens the HF spectrum map, modal to the main window; it is discarded when closed.
    void openSpectrumMap();
    // The open spectrum map, or null.
    AllBandsMapWindow* spectrumMap() const;

    // Who decides the marks of spots on the maps and in the list; refreshMarks() redraws
    // them after what they depend on (the log, the call history) changed.
    void setSpotMarker(SpotMarker marker);
    void refreshMarks();

    // Shows the spotting window in its normal state.
    void showSpottingWindow();
    // At the end of start-up: a source stored in "PackSpot.txt" opens at once.
    void startUp();
    // The program ends: the source is let go.
    void shutdown();

Q_SIGNALS:
    void ownCallSpotted(const QString& record);
    // A list row was chosen: the call goes into the call box, which has the focus.
    void callFocusRequested();
    void callChosen(const QString& call);
    // The store changed: the maps that show are due for a redraw (once per turn of the
    // event loop, however many spots arrived).
    void spotsChanged();
    void bandMapRefreshDue();
    // The open source went away or came back (for the main window's status line).
    void sourceNotice(const QString& text);
    void preferencesSaveRequested();
    // "&Done" in the spotting window: lay out the main window's spot display.
    void displayChoiceMade();
    void spectrumMapRequested();
    // A spot was chosen on a map to work: the radio was tuned; the call goes into the
    // call box, which then is left as if by Tab.
    void spotTaken(const QString& call);
    // The pointer rests on a spot: its call, frequency and time for the duplicates box.
    void spotHovered(const QString& hoverText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList();
    void showDisplay(Display display);
    void txtDX_Click(const QModelIndex& index);
    void scheduleRedraw();
    void ensureLink();
    void bandMapSpotClicked(int slot, Qt::MouseButton button);
    void spectrumSpotClicked(int slot, Qt::MouseButton button);
    void tuneToSpot(int slot);
    void redrawMaps();

    Services m_services;
    QString m_workingFolder;
    const StationPreferences& m_prefs;
    const PrefixTable& m_prefixes;
    const ContactLog& m_log;
    DesignCanvas& m_canvas;
    QWidget* m_mainWindow;
    RigTuning* m_rig = nullptr;
    SpotStore m_store;
    SpotListModel m_list;
    SpotConsole m_console;
    SpotIntake m_intake{m_console};
    SpotSourceSettings m_settings;
    std::unique_ptr<PortMap> m_portMap;
    std::unique_ptr<SerialPort> m_ownTnc;
    std::unique_ptr<TcpClient> m_ownTelnet;
    std::unique_ptr<AgwEngine> m_ownAgw;
    SerialPort* m_tnc = nullptr;
    TcpClient* m_telnet = nullptr;
    AgwEngine* m_agw = nullptr;
    std::unique_ptr<SpotSourceLink> m_link;
    std::function<QString()> m_title;
    PacketSpotWindow* m_window = nullptr;
    QTreeView* m_txtDX = nullptr;
    BandMapStrip* m_lblDX = nullptr;
    QPointer<AllBandsMapWindow> m_spectrum;
    Display m_display = Display::Off;
    bool m_redrawPending = false;
    SpotMarker m_marker;
};

} // namespace ditlog
