// The "Serial Ports" window: which device each port number (1 to 16) opens. Lists the
// devices the system offers with their descriptions; the mapping is kept in the
// settings store by the port map.
#pragma once

#include "platform/PortMap.h"

#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class UserPrompts;

class SerialPortsWindow : public QWidget {
    Q_OBJECT
public:
    using DeviceList = std::function<QList<SerialDeviceInfo>()>;

    SerialPortsWindow(PortMap& map, const Screen& screen, UserPrompts& prompts,
                      DeviceList devices = availableSerialDevices, QWidget* parent = nullptr);

    // Reads the mapping and the system's devices again.
    void refresh();
    // Stores what the boxes hold and hides the window.
    void cmdDone_Click();

    std::array<QComboBox*, PortMap::kLastPort> ports{}; // cboPort1 ... cboPort16
    QLabel* lblDevices = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdDone = nullptr;
    QPushButton* cmdCancel = nullptr;

Q_SIGNALS:
    void mappingChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    PortMap& m_map;
    DeviceList m_devices;
};

} // namespace ditlog
