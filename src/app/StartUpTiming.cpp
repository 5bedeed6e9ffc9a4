// Timed start: the station window's first paint, the entry row ready, the questions
// answered in between.
#include "app/StartUpTiming.h"

#include "app/MainWindow.h"
#include "log/windows/StationWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

namespace ditlog {

namespace {
qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The moment the count starts: given by the benchmark, else this process's start here.
qint64 startNs() {
    static const qint64 start = [] {
        bool ok = false;
        const qint64 given = qEnvironmentVariable("DITLOG_TIMING_START").toLongLong(&ok);
        return ok ? given : steadyNs();
    }();
    return start;
}
} // namespace

StartUpTiming::StartUpTiming(MainWindow& window) : QObject(&window), m_window(window) {
    startNs();
    // The station window is made during start-up: it is found by its first paint.
    qApp->installEventFilter(this);
    connect(&window, &MainWindow::startUpFinished, this, [this] {
        m_window.repaint();
        report("entry-row");
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    });
}

StartUpTiming::~StartUpTiming() { qApp->removeEventFilter(this); }

bool StartUpTiming::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!m_stationPainted && event->type() == QEvent::Paint && widget != nullptr &&
        m_window.stationWindow() != nullptr && widget->window() == m_window.stationWindow()) {
        m_stationPainted = true;
        // Reported once the paint is done; "Done" is pressed as the operator would.
        QTimer::singleShot(0, this, [this] {
            report("station-window");
            if (StationWindow* station = m_window.stationWindow()) {
                station->Command1->click();
            }
        });
    }
    return false;
}

void StartUpTiming::report(const char* moment) const {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const qint64 cpuUs = qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 +
                         usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    std::printf("start-up %s %.1f cpu %.1f rss %ld\n", moment, double(steadyNs() - startNs()) / 1e6,
                double(cpuUs) / 1e3, usage.ru_maxrss);
    std::fflush(stdout);
}

PromptAnswer AnsweringPrompts::message(const QString& title, const QString& text,
                                       PromptButtons buttons, PromptIcon) {
    // Anything beyond the open-log question is worth seeing beside the figures.
    if (buttons != PromptButtons::YesNo) {
        std::fprintf(stderr, "start-up message: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    switch (buttons) {
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Yes;
    case PromptButtons::Ok:
    case PromptButtons::OkCancel:
        break;
    }
    return PromptAnswer::Ok;
}

QString AnsweringPrompts::input(const QString&, const QString&, const QString& initial) {
    return initial;
}

} // namespace ditlog
