// The application object: real services, folders, the logo and the main window.
#include "app/Application.h"

#include "app/CommandLine.h"
#include "app/HelpWindow.h"
#include "app/MainWindow.h"
#include "app/MainWindowKeyer.h"
#include "app/SelfCheck.h"
#include "app/StartUpTiming.h"
#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"
#include "keyer/KeyingEngine.h"
#include "keyer/WinKeyerLink.h"
#include "log/DataFolders.h"
#include "log/SharedPreferences.h"
#include "platform/AudioOutputs.h"
#include "platform/Clock.h"
#include "platform/ControlLinePort.h"
#include "platform/EmergencyKeyUp.h"
#include "platform/KeyingLine.h"
#include "platform/ParallelPort.h"
#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/RealtimeKit.h"
#include "platform/Screen.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/SpeechOutput.h"
#include "platform/UserPrompts.h"
#include "platform/WavePlayer.h"
#include "platform/WinKeyer.h"
#include "voice/windows/VoiceKeyer.h"

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace ditlog {

int runApplication(int argc, char* argv[]) {
    // Help, version and option errors need no display: they are answered before the
    // window system is opened.
    {
        QCoreApplication plain(argc, argv);
        plain.setApplicationVersion(QStringLiteral(DITLOG_VERSION));
        answerHelpAndVersion(plain);
    }
    QApplication app(argc, argv);
    // A terminating signal (kill, Ctrl+C, a closed terminal) or a crash keys every output
    // up at once; a terminating one then ends the send and quits in order (below).
    int signalPipe[2] = {-1, -1};
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        emergency::installSignalHandlers(signalPipe[1]);
    }
    QApplication::setApplicationName(QStringLiteral("Ditlog"));
    QApplication::setApplicationVersion(QStringLiteral(DITLOG_VERSION));

    const CommandLine options = parseCommandLine(app);

    SystemClock clock;
    QtSettingsStore settings;
    WidgetPrompts prompts;
    QtScreen screen;
    // A timed start (the start-up benchmark) answers its own questions.
    AnsweringPrompts answering(prompts);
    Services services{clock, settings, options.startUpTiming ? static_cast<UserPrompts&>(answering) : prompts,
                      screen};

    // The working folder is where the program was started, unless the command line names
    // one: every working file lives there.
    if (!options.workingFolder.isEmpty()) {
        if (const auto error = enterWorkingFolder(options.workingFolder)) {
            prompts.message(QStringLiteral("Working folder"), *error, PromptButtons::Ok,
                            PromptIcon::Critical);
            return 2;
        }
    }
    const QString workingFolder = QDir::currentPath();

    LogoWindow logo(screen);
    logo.show();

    const QString documents = findDocumentsFolder(
        [](const char* name) { return qEnvironmentVariable(name); });
    const DataFolders folders = dataFoldersFor(workingFolder, documents);
    for (const FolderProblem& problem : createDataFolders(folders)) {
        prompts.message(problem.title, problem.text, PromptButtons::Ok, PromptIcon::Warning);
    }
    SharedPreferences shared;
    shared.OpenSharedPreferences(folders.sharedPreferencesPath());

    // The station's ports, shared by the keyers under the rule that the CW keying port,
    // the push-to-talk port and the WinKeyer close each other's port.
    PortMap portMap(settings);
    PortOwnership portOwnership;
    PpdevParallelPort parallelPort;
    // The voice keyer and voice navigation each play on a device of their own.
    SoundEffectPlayer phonePlayer;
    SoundEffectPlayer promptPlayer;
    TextToSpeechOutput speech;
    MediaAudioOutputs audioOutputs;
    ControlLinePort pttPort(portMap);

    // CW keying: the keying port and lines, the send buffer and the keying thread.
    ControlLinePort keyingPort(portMap);
    HardwareKeyingOutputs keyingOutputs(parallelPort);
    CwBuffer cwBuffer;
    MonotonicKeyingClock keyingClock;
    KeyingEngine keyingEngine(cwBuffer, keyingClock);
    // The kernel refuses real-time priority to a normal user: RealtimeKit is asked then
    // (the system bus is only opened for it).
    RealtimeKit realtimeKit;
    CwKeyer keyer(cwBuffer, keyingEngine, keyingPort, keyingOutputs, portOwnership, settings, prompts);
    keyer.setRealtimeKit(&realtimeKit);
    // The external WinKeyer on a port of its own.
    QtSerialPort winKeyerPort(portMap);
    HostWinKeyer winKeyer(winKeyerPort);
    WinKeyerLink winKeyerLink(winKeyer, keyer, portOwnership, prompts, folders.DataFolder);

    QSocketNotifier terminated(signalPipe[0], QSocketNotifier::Read);
    terminated.setEnabled(signalPipe[0] >= 0);
    QObject::connect(&terminated, &QSocketNotifier::activated, &app, [&keyer, fd = signalPipe[0]] {
        char signal = 0;
        [[maybe_unused]] const auto got = ::read(fd, &signal, 1);
        keyer.stopRepeat();
        keyer.clearSendBuffer();
        QCoreApplication::exit(128 + signal);
    });

    MainWindow window(services, folders, shared);
    window.attachVoice({phonePlayer, promptPlayer, speech, pttPort, parallelPort, portOwnership,
                        audioOutputs});
    window.attachKeyer(keyer, portMap);
    window.setLogo(&logo);
    window.keyerWiring()->attachWinKeyer(winKeyerLink);
    prompts.setParentWindow(&window);
    QObject::connect(&window, &MainWindow::fatalLoadError, &app,
                     [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); }); });
    window.show();
    if (options.selfCheck) {
        QTimer::singleShot(0, &window, [&window] {
            QTextStream out(stdout);
            QCoreApplication::exit(runSelfCheck(window, out));
        });
        return QApplication::exec();
    }
    if (options.exitWhenShown) {
        // For start-up timing: paint the main window once, then end.
        QTimer::singleShot(0, &window, [&window] {
            window.repaint();
            QCoreApplication::exit(0);
        });
        return QApplication::exec();
    }
    if (options.startUpTiming) {
        new StartUpTiming(window);
    }
    QTimer::singleShot(0, &window, &MainWindow::startUp);
    return QApplication::exec();
}

} // namespace ditlog
