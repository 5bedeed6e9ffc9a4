// The WinKeyer window frmWinKey (" WinKey Setup"): port, speed, weight, lead-in, tail and
// ratio, the pin-configuration and keyer-mode options, "Open", "Close", the test buttons
// and the type-ahead field, with the link's status and the keyer's version.
#pragma once

#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class UserPrompts;
class WinKeyerLink;

class WinKeyWindow : public QWidget {
    Q_OBJECT
public:
    WinKeyWindow(WinKeyerLink& link, const Screen& screen, UserPrompts& prompts,
                 QWidget* parent = nullptr);

    void refresh();
    void cmdDone_Click();

    QLineEdit* txtWKComPort = nullptr;
    QLineEdit* txtWKWPM = nullptr;
    QLineEdit* txtWeight = nullptr;
    QLineEdit* txtLeadIn = nullptr;
    QLineEdit* txtTail = nullptr;
    QLineEdit* txtRatio = nullptr;
    QLineEdit* Text1 = nullptr; // type-ahead
    QLabel* lblOpenStatus = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdBufferTest = nullptr;
    QPushButton* cmdDefaultsTest = nullptr;
    QPushButton* cmdDone = nullptr;
    QButtonGroup* pins = nullptr;  // ids are the pin-configuration bytes
    QButtonGroup* modes = nullptr; // ids are the mode bytes

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* addSetting(DesignCanvas& canvas, const QString& name, const QString& caption,
                          const QString& note, int top);
    void buildOptions(DesignCanvas& canvas);
    void buildButtons(DesignCanvas& canvas);
    void fieldLeft(QLineEdit* field);
    void focusDone();

    WinKeyerLink& m_link;
    UserPrompts& m_prompts;
    bool m_filling = false;
};

} // namespace ditlog
