// Port numbers to device paths. Port N is /dev/ttyS{N-1} on Linux and COMN on Windows
// unless the operator maps it to another device (/dev/ttyUSB0, /dev/ttyACM0, a
// /dev/serial/by-id/... name, a pseudo-terminal); the mapping lives in the settings store.
#pragma once

#include <QList>
#include <QString>

namespace ditlog {

class SettingsStore;

class PortMap {
public:
    // The numbers the operator can map (every number above 0 has a default device).
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;

    explicit PortMap(SettingsStore& settings);

    // The device of a port number: the operator's mapping, else the default; empty for 0
    // and negative numbers.
    QString devicePath(int portNumber) const;
    // The operator's mapping alone (empty when the default applies).
    QString mappedPath(int portNumber) const;
    // Maps a number to a device; an empty path (or the default itself) removes the mapping.
    void setMappedPath(int portNumber, const QString& path);

    static QString defaultDevicePath(int portNumber);
    // The settings-store key of a number's mapping, "SerialPort3".
    static QString settingsKey(int portNumber);

private:
    SettingsStore& m_settings;
};

// A serial device the system offers, for the operator to map a number to.
struct SerialDeviceInfo {
    QString path;        // "/dev/ttyUSB0", "COM3"
    QString description; // description, maker and serial number as far as known
};
// The devices QSerialPortInfo finds, with their stable /dev/serial/by-id names first.
QList<SerialDeviceInfo> availableSerialDevices();

} // namespace ditlog
