// The voice keyer window (PhoneFrm, "Phone Wave Selections"): the wave file of each
// function key, the push-to-talk port and line, the parallel address, the F1 repeat and
// the audio outputs of the messages and of the prompts and speech.
// Edits take effect at once, as the keys read the window's fields; "Done" stores them.
#pragma once

#include <QDialog>

#include <array>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class AudioOutputs;
class DesignCanvas;
class PhoneKeyer;
class Screen;
class UserPrompts;
struct PhoneSettings;

class PhoneWindow : public QDialog {
    Q_OBJECT
public:
    PhoneWindow(PhoneKeyer& keyer, AudioOutputs& outputs, QString workingFolder,
                const Screen& screen, UserPrompts& prompts, QWidget* parent = nullptr);

    std::array<QLineEdit*, 9> Text{}; // Text1 ... Text9: F1 ... F9
    std::array<QPushButton*, 9> cmdBrowse{};
    QLineEdit* Text10 = nullptr;   // PTT serial port
    QLineEdit* Text11 = nullptr;   // parallel base address
    QLineEdit* txtPHLoop = nullptr; // "Loop (Sec)"
    QRadioButton* optRTS = nullptr;
    QRadioButton* optDTR = nullptr;
    QRadioButton* optParallel = nullptr;
    QRadioButton* optRigRTS = nullptr; // "Rig port RTS"
    QRadioButton* optRigDTR = nullptr; // "Rig port DTR"
    QRadioButton* optCAT = nullptr;    // "Radio (CAT)"
    QComboBox* cboKeyerOutput = nullptr; // "Voice keyer output"
    QComboBox* cboPromptOutput = nullptr; // "Prompts and speech output"
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdDone = nullptr;

    // Shows the keyer's settings in the fields.
    void showSettings();

public Q_SLOTS:
    void cmdTest_Click();
    void cmdStop_Click();
    void cmdDone_Click();
    void cmdBrowse_Click(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildKeyRows();
    void buildPttControls();
    void buildOutputChoices();
    // Lists the outputs present, the default first; a chosen output that is not present
    // stays in the list, marked, so that "Done" keeps it for when it is plugged in again.
    void listOutputs();
    void takeFields();
    // Takes back a push-to-talk choice through the radio that cannot key, with the reason.
    void refuseRadioLine(int id);

    PhoneKeyer& m_keyer;
    AudioOutputs& m_outputs;
    QString m_folder;
    UserPrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
    QButtonGroup* m_lines = nullptr;
    bool m_showing = false;
};

} // namespace ditlog
