// The program's own start-up timing, for the start-up benchmark: the moments the station
// window is first painted and the entry row is ready, counted from the moment the
// benchmark started the process, with the processor time and peak memory at each.
#pragma once

#include "platform/UserPrompts.h"

#include <QObject>

namespace ditlog {

class MainWindow;

// Started with --start-up-timing, the program plays the operator of a usual start: it
// closes the station window with "Done" once it is painted and answers Yes to the
// open-log question; it prints one line per moment on standard output and ends when the
// entry row is ready:
//   start-up station-window <ms> cpu <ms> rss <KiB>
//   start-up entry-row <ms> cpu <ms> rss <KiB>
// The milliseconds count from DITLOG_TIMING_START, the steady clock's nanoseconds that
// the benchmark read just before starting the process (from the program's own start
// when it is not given).
class StartUpTiming final : public QObject {
    Q_OBJECT
public:
    explicit StartUpTiming(MainWindow& window);
    ~StartUpTiming() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report(const char* moment) const;

    MainWindow& m_window;
    bool m_stationPainted = false;
};

// The questions of a timed start are answered as the operator of a usual start answers
// them (Yes, OK) without a box; everything else is handed to the real prompts.
class AnsweringPrompts final : public UserPrompts {
public:
    explicit AnsweringPrompts(UserPrompts& real) : m_real(real) {}
    PromptAnswer message(const QString& title, const QString& text, PromptButtons buttons,
                         PromptIcon icon) override;
    QString input(const QString& title, const QString& prompt, const QString& initial) override;
    QString openFile(const FileDialogRequest& request) override { return m_real.openFile(request); }
    QString saveFile(const FileDialogRequest& request) override { return m_real.saveFile(request); }
    std::optional<quint32> chooseColour(quint32 initial) override {
        return m_real.chooseColour(initial);
    }
    void beep() override {}
    void setClipboardText(const QString& text) override { m_real.setClipboardText(text); }

private:
    UserPrompts& m_real;
};

} // namespace ditlog
