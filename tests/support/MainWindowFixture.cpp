// Main window test fixture.
#include "MainWindowFixture.h"

#include "log/RecordFile.h"
#include "log/windows/StationWindow.h"

#include <QPushButton>
#include <QTest>

namespace ditlog::testing {

MainWindowFixture::MainWindowFixture(const std::optional<QByteArray>& logText) {
    m_folders = dataFoldersFor(m_working.path(), m_documents.path());
    createDataFolders(m_folders);
    m_settings = std::make_unique<QtSettingsStore>(m_working.filePath(QStringLiteral("settings.ini")));
    if (logText) {
        writeFileAtomically(m_working.filePath(QStringLiteral("log.txt")), *logText);
    }
    m_window = std::make_unique<MainWindow>(Services{clock, *m_settings, prompts, screen},
                                            m_folders, m_shared);
}

MainWindowFixture::~MainWindowFixture() = default;

void MainWindowFixture::startUp() {
    // As at program start: the shared file is read before the main window starts up.
    m_shared.OpenSharedPreferences(m_folders.sharedPreferencesPath());
    prompts.script(PromptAnswer::Yes); // continue the existing log
    m_window->show();
    m_window->startUp();
    QPushButton* done = m_window->stationWindow()->findChild<QPushButton*>(QStringLiteral("Command1"));
    QTest::mouseClick(done, Qt::LeftButton);
}

QByteArray MainWindowFixture::logFileContent() const {
    return readWholeFile(m_working.filePath(QStringLiteral("log.txt"))).value_or(QByteArray());
}

void typeKeys(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : widget;
        if (c == QLatin1Char('\n')) {
            QTest::keyClick(target, Qt::Key_Return);
        } else {
            QTest::keyClicks(target, QString(c));
        }
    }
}

} // namespace ditlog::testing
