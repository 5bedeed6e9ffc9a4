// Port-number mapping kept in the settings store.
#include "platform/PortMap.h"

#include "platform/SettingsStore.h"

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

} // namespace ditlog
