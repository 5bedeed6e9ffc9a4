// The rig interface window (RigControlfrm): the radio list and its presets, the serial
// options, the query strings, Test / End Test / Done, and the live frequency, mode and
// raw reply of the link it drives.
#pragma once

#include "rig/RigSettings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace ditlog {

class DesignCanvas;
class PortMap;
class RigLink;
class RigNetworkOptions;
class RigPortOptions;
class Screen;
class UserPrompts;

class RigControlWindow : public QDialog {
    Q_OBJECT
public:
    // Loads "RigCntrl.txt" and "BandPlan.txt" from the working folder; rigType is the
    // radio of the preferences, used when the settings file names none.
    RigControlWindow(RigLink& link, PortMap& portMap, const QString& workingFolder,
                     const QString& rigType, const Screen& screen, UserPrompts& prompts,
                     QWidget* parent = nullptr);
    ~RigControlWindow() override;

    // Test: the options into the settings, the line opened, polling started.
    void Command1_Click();
    // End Test: polling stopped, the line closed, the display cleared.
    void Command2_Click();
    // Change Frequency: the test window while polling, else a message.
    void Command3_Click();
    // Copy unprocessed data to clipboard.
    void Command4_Click();
    // Done: Test again when a radio is chosen, the preferences and "RigCntrl.txt" saved.
    void cmdDone_Click();
    // Before the main window closes: the radio's goodbye bytes when polling.
    void unload();

    const RigSettings& settings() const { return m_settings; }
    // Why a "Connection Power" choice ("R", "D") is refused (the line keys CW or
    // push-to-talk), empty when it is not: such a choice is told and taken back.
    void setPowerRefusal(std::function<QString(const QString& power)> refusal) {
        m_powerRefusal = std::move(refusal);
    }
    // The rig daemon's host, port and connection state ("Hamlib rigctld").
    RigNetworkOptions& networkOptions() const { return *m_network; }
    bool polling() const;

    QListWidget* List1 = nullptr;
    QLabel* Label10 = nullptr; // the Icom address note
    QLineEdit* txtPegasusFolder = nullptr;
    QLineEdit* txtPortDevice = nullptr; // the device of the chosen port number
    QLineEdit* txtFreq = nullptr;
    QLineEdit* txtMode = nullptr;
    QCheckBox* chkConvToHex = nullptr;
    QCheckBox* ChkConvHex = nullptr;
    QCheckBox* chkFrequency = nullptr;
    QRadioButton* OptRig = nullptr;
    QRadioButton* OptFreq = nullptr;
    QRadioButton* OptDont = nullptr;
    QLabel* lblFreq = nullptr;
    QLabel* lblMode = nullptr;
    QLabel* lblUnProcess = nullptr;
    QLabel* Label2 = nullptr; // "Polling Rig"
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* cmdDone = nullptr;

Q_SIGNALS:
    // The operator chose another radio.
    void rigTypeChanged(const QString& rigType);
    // "Done": the main window saves its preferences.
    void preferencesSaveRequested();
    // "Change Frequency" while polling: the frequency test window opens.
    void frequencyTestRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList();
    void buildPortDevice();
    void showPortDevice();
    void buildQueries();
    void buildDisplay();
    void buildButtons();
    void setTabOrder();
    void loadSettings(const QString& rigType);
    void showSettings();
    void collectSettings();
    void List1_Click();
    void chooseRig(const QString& rigType);
    void modeSourceClicked();
    void showReply(const QByteArray& buffer);
    void showNoResponse();
    void showPollingIndicator(const QString& text, const QString& why);
    void lineFailed();
    void invalidCommSettings();
    void updateFamilyControls();
    // Takes a refused "Connection Power" tick back, with the reason; true when it did.
    bool refuseKeyedPower();

    RigLink& m_link;
    PortMap& m_portMap;
    QString m_workingFolder;
    UserPrompts& m_prompts;
    RigSettings m_settings;
    DesignCanvas* m_canvas = nullptr;
    RigPortOptions* m_options = nullptr;
    RigNetworkOptions* m_network = nullptr;
    QLabel* m_portDeviceCaption = nullptr;
    QLabel* m_pegasusCaption = nullptr;
    bool m_loading = false;
    std::function<QString(const QString& power)> m_powerRefusal;
};

} // namespace ditlog
