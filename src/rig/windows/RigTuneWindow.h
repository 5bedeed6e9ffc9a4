// The tune panel (frmRigTune): a frequency to go to, steps up and down, band presets, mode
// buttons and a scan over a range at the scan timer's tick. It acts through the rig link's
// frequency and mode commands.
#pragma once

#include <QDialog>
#include <QList>
#include <QTimer>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class DesignCanvas;
class RigLink;
class Screen;
class UserPrompts;

class RigTuneWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kScanIntervalMs = 299;

    RigTuneWindow(RigLink& link, const Screen& screen, UserPrompts& prompts, QWidget* parent = nullptr);
    ~RigTuneWindow() override;

    // Go: the frequency box to the radio, when it holds a number and a radio is chosen.
    void Command1_Click();
    void cmdTune_Click(int index); // 0-4 up, 5-9 down
    void cmdBand_Click(int index);
    void modeClicked(const QString& modeWord);
    // One tick of the scan timer.
    void Timer1_Timer();

    QLineEdit* txtFreq = nullptr;
    QPushButton* Command1 = nullptr;
    QList<QPushButton*> cmdTune;
    QList<QPushButton*> cmdBand;
    QPushButton* cmdAM = nullptr;
    QPushButton* cmdCW = nullptr;
    QPushButton* cmdFM = nullptr;
    QPushButton* cmdLSB = nullptr;
    QPushButton* cmdRTTY = nullptr;
    QPushButton* cmdUSB = nullptr;
    QCheckBox* chkScan = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QList<QRadioButton*> optStep;
    QPushButton* cmdDone = nullptr;
    QTimer Timer1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFrequency();
    void buildSteps();
    void buildBands();
    void buildModes();
    void buildScan();
    void setTabOrder();
    void chkScan_Click();
    double scanStep() const;
    QPushButton* button(const QString& name, const QString& text, const QString& accessibleName);
    bool radioChosen() const;

    RigLink& m_link;
    DesignCanvas* m_canvas = nullptr;
    QButtonGroup* m_stepGroup = nullptr;
};

} // namespace ditlog
