// The message list frmCWStrings ("CW Strings"): the eleven messages beside their keys;
// clicking a key or a message sends it as the function key would. Keys typed here go
// to the main window's key handling.
#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace ditlog {

class CwKeyer;
class DesignCanvas;
class Screen;
class UserPrompts;

class CwStringsWindow : public QWidget {
    Q_OBJECT
public:
    CwStringsWindow(CwKeyer& keyer, const Screen& screen, UserPrompts& prompts,
                    QWidget* parent = nullptr);

    // Where typed keys go (the main window's handlers); true when taken.
    void setKeyHandler(std::function<bool(QKeyEvent*)> handler) { m_keyHandler = std::move(handler); }
    // Reads the messages again from the keyer (done whenever the window is activated).
    void refresh();
    // A key label or message clicked: index 0 ... 11 for F1 ... F12.
    void keyClicked(int index);

    std::array<QPushButton*, 12> keys{};  // "F1" ... "F12"
    std::array<QLabel*, 12> texts{};      // the messages, "Keyboard" beside F12
    QPushButton* cmdDone = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CwKeyer& m_keyer;
    DesignCanvas* m_canvas = nullptr;
    std::function<bool(QKeyEvent*)> m_keyHandler;
};

} // namespace ditlog
