// The CW keyer window CWFrm ("CW String Selections"): the eleven messages, the keying
// options (line, serial port, parallel address), speed and word space, the timing
// options with the loop calibration, the repeat interval, the display check box, and
// "&Test", "Send Code Practice", "Configure Winkey" and "Done".
#pragma once

#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class CwKeyer;
class DesignCanvas;
class MessageKeysPanel;
class Screen;
class UserPrompts;
enum class KeyingLineChoice : quint8;

class CwKeyerWindow : public QWidget {
    Q_OBJECT
public:
    CwKeyerWindow(CwKeyer& keyer, QString workingFolder, const Screen& screen,
                  UserPrompts& prompts, QWidget* parent = nullptr);

    // Shows the window in its normal size, in front, with the focus in the F1 field.
    void showNormalInFront();
    // Fills every field from the keyer's settings.
    void refresh();

    std::array<QLineEdit*, 11> messages{}; // Text1 ... Text9, Text12, Text13
    QLineEdit* Text10 = nullptr;           // serial port
    QLineEdit* Text11 = nullptr;           // speed
    QLineEdit* txtSpace = nullptr;
    QLineEdit* Text14 = nullptr; // parallel address
    QLineEdit* txtLoop = nullptr;
    QLineEdit* txtCWLoop = nullptr;
    QCheckBox* Check1 = nullptr;
    QRadioButton* optRTS = nullptr;
    QRadioButton* optDTR = nullptr;
    QRadioButton* optPrinter = nullptr;
    QRadioButton* optNone = nullptr;
    QRadioButton* optWinKey = nullptr;
    QRadioButton* optRigDTR = nullptr; // "Rig port DTR"
    QRadioButton* optRigRTS = nullptr; // "Rig port RTS"
    QRadioButton* optCAT = nullptr;    // "Radio (CAT)"
    QRadioButton* optTimer = nullptr;
    QRadioButton* optLoop = nullptr;
    QRadioButton* OptSleep = nullptr;
    QLabel* lblLoop = nullptr;
    QLabel* lblSending = nullptr;
    QLabel* lblPriority = nullptr;
    QPushButton* cmdLoopFaster = nullptr;
    QPushButton* cmdLoopSlower = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdConfigureWinkey = nullptr;
    QPushButton* cmdCodePractice = nullptr;
    QPushButton* cmdDone = nullptr;
    // Which keys Enter sends (the Enter Sends Message block).
    MessageKeysPanel* messageKeys = nullptr;

    void cmdDone_Click();
    void cmdTest_Click();

Q_SIGNALS:
    // "Done" was pressed: the strings window is to be shown minimized when a line is set.
    void done();
    void codePracticeRequested();
    void configureWinKeyRequested();
    // "WinKey" was chosen: the WinKeyer window is to be loaded.
    void winKeyChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // How the keying thread runs: real-time or not (the details as tool tip).
    void showPriority();
    void buildMessages(DesignCanvas& canvas);
    void buildKeyingOptions(DesignCanvas& canvas);
    void buildSpeed(DesignCanvas& canvas);
    void buildTiming(DesignCanvas& canvas);
    void buildButtons(DesignCanvas& canvas);
    void connectFields();
    void setTabOrder();
    void keyingOptionChosen(KeyingLineChoice line);
    void timingOptionChosen();
    void fieldLeft(QLineEdit* field);
    bool fieldKeyPress(QLineEdit* field, QKeyEvent* key);
    void adjustWordSpace(int delta);
    void scaleLoop(double factor);
    void showLoopControls();

    CwKeyer& m_keyer;
    QString m_workingFolder;
    UserPrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
    QButtonGroup* m_lines = nullptr;
    QButtonGroup* m_timing = nullptr;
    bool m_filling = false;
};

} // namespace ditlog
