// QSettings-backed settings store.
#include "platform/SettingsStore.h"

#include <QSettings>

namespace ditlog {

namespace {
const QString kSection = QStringLiteral("Settings/");
}

QtSettingsStore::QtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("TREVO_Software"),
                                             QStringLiteral("TREVO_Software"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::value(const QString& key, const QString& defaultValue) const {
    return m_settings->value(kSection + key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString& key, const QString& value) {
    m_settings->setValue(kSection + key, value);
    m_settings->sync();
}

} // namespace ditlog
