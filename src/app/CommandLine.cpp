// Command-line options of the program.
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace ditlog {

namespace {

struct Options {
    QCommandLineOption working{QStringLiteral("working-folder"),
                               QStringLiteral("Use <folder> as the working folder (created when "
                                              "missing; ~/ is the home folder)."),
                               QStringLiteral("folder")};
    QCommandLineOption selfCheck{
        QStringLiteral("self-check"),
        QStringLiteral("Build the main window, check that the shipped data files are found "
                       "and load, print what was found and exit (status 0 when all is well).")};
    QCommandLineOption exitWhenShown{QStringLiteral("exit-when-shown"),
                                     QStringLiteral("Paint the main window once and exit.")};
    QCommandLineOption startUpTiming{
        QStringLiteral("start-up-timing"),
        QStringLiteral("Start as usual, answering the start-up questions, print the moments "
                       "the station window and the entry row were ready, and exit.")};
};

void describe(QCommandLineParser& parser, Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("Contact logger for CW club sprints. Working files (log.txt, varnpref.txt "
                       "and the station settings) live in the working folder, by default the "
                       "folder the program is started in."));
    parser.addHelpOption();
    parser.addVersionOption();
    options.exitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
    options.startUpTiming.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions(
        {options.working, options.selfCheck, options.exitWhenShown, options.startUpTiming});
}

} // namespace

void answerHelpAndVersion(const QCoreApplication&) {
    QCommandLineParser parser;
    Options options;
    describe(parser, options);
    parser.parse(QCoreApplication::arguments()); // the window system's options come later
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
}

CommandLine parseCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    Options options;
    describe(parser, options);
    parser.process(app);
    CommandLine line;
    line.workingFolder = parser.value(options.working);
    line.selfCheck = parser.isSet(options.selfCheck);
    line.exitWhenShown = parser.isSet(options.exitWhenShown);
    line.startUpTiming = parser.isSet(options.startUpTiming);
    return line;
}

std::optional<QString> enterWorkingFolder(const QString& folder) {
    QString path = folder;
    if (path == u"~" || path.startsWith(QStringLiteral("~/"))) {
        path = QDir::homePath() + path.mid(1);
    }
    if (!QDir().mkpath(path)) {
        return QStringLiteral("The working folder %1 cannot be created.")
            .arg(QDir::toNativeSeparators(path));
    }
    if (!QDir::setCurrent(path)) {
        return QStringLiteral("The working folder %1 cannot be opened.")
            .arg(QDir::toNativeSeparators(path));
    }
    return std::nullopt;
}

} // namespace ditlog
