// The per-user settings store: named text values under application "TREVO_Software",
// section "Settings".
#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace ditlog {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& key, const QString& defaultValue = {}) const = 0;
    virtual void setValue(const QString& key, const QString& value) = 0;
};

// QSettings in the user's native store, or in an INI file at a given path (tests).
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;

    QString value(const QString& key, const QString& defaultValue = {}) const override;
    void setValue(const QString& key, const QString& value) override;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace ditlog
