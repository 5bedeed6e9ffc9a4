// The application object: real services, folders, the logo and the main window.
#include "app/Application.h"

#include "app/HelpWindow.h"
#include "app/MainWindow.h"
#include "log/DataFolders.h"
#include "log/SharedPreferences.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/SettingsStore.h"
#include "platform/UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

namespace ditlog {

int runApplication(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ditlog"));
    QApplication::setApplicationVersion(QStringLiteral(DITLOG_VERSION));

    SystemClock clock;
    QtSettingsStore settings;
    WidgetPrompts prompts;
    QtScreen screen;
    Services services{clock, settings, prompts, screen};

    // The working folder is where the program was started: every working file lives there.
    const QString workingFolder = QDir::currentPath();

    LogoWindow logo;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        logo.move(primary->geometry().center() - logo.rect().center());
    }
    logo.show();

    const QString documents = findDocumentsFolder(
        [](const char* name) { return qEnvironmentVariable(name); });
    const DataFolders folders = dataFoldersFor(workingFolder, documents);
    for (const FolderProblem& problem : createDataFolders(folders)) {
        prompts.message(problem.title, problem.text, PromptButtons::Ok, PromptIcon::Warning);
    }
    SharedPreferences shared;
    shared.OpenSharedPreferences(folders.sharedPreferencesPath());

    MainWindow window(services, folders, shared);
    prompts.setParentWindow(&window);
    QObject::connect(&window, &MainWindow::fatalLoadError, &app,
                     [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); }); });
    window.show();
    if (QCoreApplication::arguments().contains(QStringLiteral("--exit-when-shown"))) {
        // For start-up timing: paint the main window once, then end.
        QTimer::singleShot(0, &window, [&window] {
            window.repaint();
            QCoreApplication::exit(0);
        });
        return QApplication::exec();
    }
    QTimer::singleShot(0, &window, &MainWindow::startUp);
    QTimer::singleShot(1200, &logo, &QWidget::close);
    return QApplication::exec();
}

} // namespace ditlog
