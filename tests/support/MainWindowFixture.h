// A main window on real files in temporary folders, with a settable clock, scripted
// prompts and a fixed screen, started up to the point where contacts can be typed.
#pragma once

#include "TestDoubles.h"
#include "app/MainWindow.h"
#include "log/DataFolders.h"
#include "log/SharedPreferences.h"
#include "platform/SettingsStore.h"

#include <QTemporaryDir>

#include <memory>

namespace ditlog::testing {

class MainWindowFixture {
public:
    // logText: the "log.txt" to start with (nothing: no file).
    explicit MainWindowFixture(const std::optional<QByteArray>& logText = QByteArray());
    ~MainWindowFixture();

    // Runs start-up: accepts the clock's UTC offset, closes the station window with
    // "Done" and answers Yes to opening the existing log.
    void startUp();

    MainWindow& window() { return *m_window; }
    QString workingFile(const QString& name) const { return m_working.filePath(name); }
    QByteArray logFileContent() const;
    const DataFolders& folders() const { return m_folders; }
    SettingsStore& settings() { return *m_settings; }

    SettableClock clock{QDateTime(QDate(2026, 12, 8), QTime(14, 5, 33)), 0};
    ScriptedPrompts prompts;
    FixedScreen screen;

private:
    QTemporaryDir m_working;
    QTemporaryDir m_documents;
    DataFolders m_folders;
    std::unique_ptr<QtSettingsStore> m_settings;
    SharedPreferences m_shared;
    std::unique_ptr<MainWindow> m_window;
};

// Types text into a widget as key clicks (through the window-level key handling).
void typeKeys(QWidget* widget, const QString& text);

} // namespace ditlog::testing
