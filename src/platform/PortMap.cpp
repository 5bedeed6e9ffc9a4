// Port-number mapping kept in the settings store.
#include "platform/PortMap.h"

#include "platform/SettingsStore.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace ditlog {

PortMap::PortMap(SettingsStore& settings) : m_settings(settings) {}

QString PortMap::defaultDevicePath(int portNumber) {
    if (portNumber < 1) {
        return {};
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

QString PortMap::settingsKey(int portNumber) { return QStringLiteral("SerialPort%1").arg(portNumber); }

QString PortMap::mappedPath(int portNumber) const {
    if (portNumber < kFirstPort || portNumber > kLastPort) {
        return {};
    }
    return m_settings.value(settingsKey(portNumber)).trimmed();
}

QString PortMap::devicePath(int portNumber) const {
    const QString mapped = mappedPath(portNumber);
    return mapped.isEmpty() ? defaultDevicePath(portNumber) : mapped;
}

void PortMap::setMappedPath(int portNumber, const QString& path) {
    if (portNumber < kFirstPort || portNumber > kLastPort) {
        return;
    }
    const QString trimmed = path.trimmed();
    m_settings.setValue(settingsKey(portNumber),
                        trimmed == defaultDevicePath(portNumber) ? QString() : trimmed);
}

QList<SerialDeviceInfo> availableSerialDevices() {
    QList<SerialDeviceInfo> out;
    QHash<QString, QString> byId; // resolved device -> stable name
    const QDir ids(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : ids.entryInfoList(QDir::Files | QDir::System)) {
        byId.insert(link.canonicalFilePath(), link.absoluteFilePath());
    }
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QStringList parts;
        for (const QString& part : {info.description(), info.manufacturer(), info.serialNumber()}) {
            if (!part.isEmpty() && !parts.contains(part)) {
                parts << part;
            }
        }
        const QString description = parts.join(QStringLiteral(", "));
        const QString stable = byId.value(info.systemLocation());
        if (!stable.isEmpty()) {
            out.append({stable, description});
        }
        out.append({info.systemLocation(), description});
    }
    return out;
}

} // namespace ditlog
