// The program's command-line options.
#pragma once

#include <QString>

#include <optional>

class QCoreApplication;

namespace ditlog {

struct CommandLine {
    // Where log.txt and the other working files live; empty: the folder the program was
    // started in. A leading "~/" stands for the home folder.
    QString workingFolder;
    bool selfCheck = false;     // check the installation, print what was found, exit
    bool exitWhenShown = false; // paint the main window once and exit (start-up timing)
    bool startUpTiming = false; // a timed usual start for the benchmark (StartUpTiming)
};

// Prints the help or the version and ends the program when either is asked for; needs
// no window system, so it runs before one is opened.
void answerHelpAndVersion(const QCoreApplication& app);

// Reads the options once the window system has taken its own; an unknown option ends
// the program with a message.
CommandLine parseCommandLine(const QCoreApplication& app);

// Creates the working folder when needed and makes it the current folder; an error text
// when that fails.
std::optional<QString> enterWorkingFolder(const QString& folder);

} // namespace ditlog
