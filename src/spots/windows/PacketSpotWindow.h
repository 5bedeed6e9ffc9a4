// The DX spotting window (PacketSpotfrm): the source list, the Telnet, TNC and display
// options, the send box, the console and the buttons; it turns the operator's actions
// into calls on the source link and keeps the settings in step with its controls.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class SettingsStore;
class SpotConsole;
class SpotIntake;
class SpotSourceLink;
class TncOptionsPanel;
class UserPrompts;
struct SpotSourceSettings;

// The prompt above the send box for a source.
QString sendPromptFor(const QString& source);

class PacketSpotWindow : public QDialog {
    Q_OBJECT
public:
    // lastCall gives the call of the most recently logged contact (for "&Spot Last").
    PacketSpotWindow(SpotSourceSettings& settings, SpotConsole& console, SpotIntake& intake,
                     SpotSourceLink& link, QString workingFolder, SettingsStore& store,
                     UserPrompts& prompts, const Screen& screen,
                     std::function<QString()> lastCall, QWidget* parent = nullptr);
    ~PacketSpotWindow() override;

    void LoadSpotSettings();
    // True when the file was written.
    bool SaveSpotSettings();
    void cmdSpotLast_Click();
    void cmdDone_Click();
    void List1_Click(int row);
    void ShowSourceHelp();

    QListWidget* List1 = nullptr;
    QLineEdit* txtTelnetHost = nullptr;
    QLineEdit* txtTelnetPort = nullptr;
    QCheckBox* chkLogin = nullptr;
    QRadioButton* OptBand = nullptr;
    QRadioButton* OptList = nullptr;
    QCheckBox* chkDX = nullptr;
    QCheckBox* chkConvToHex = nullptr;
    QLineEdit* txtHex = nullptr;
    QLabel* lblSent = nullptr;
    QLineEdit* txtSent = nullptr;
    QPlainTextEdit* txtUnProcessed = nullptr;
    QLabel* Label4 = nullptr; // "Listening"
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdSpotLast = nullptr;
    QPushButton* cmdDone = nullptr;
    TncOptionsPanel& tncOptions() { return *m_tnc; }

Q_SIGNALS:
    // "&Done" after the settings were saved: the main window saves its preferences and
    // lays out its spot display.
    void done();
    // "&Done" first has the main window save its preferences.
    void saveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildSourceRow();
    void buildSendRow(int top);
    void buildButtons(int top);
    void setTabOrderOfControls();
    void enableForSource(const QString& source);
    void disableSourceControls();
    void collectControls();
    bool windowKey(QKeyEvent* key);
    bool sendBoxKey(QKeyEvent* key);
    void txtSent_Change();
    void showConsole(const QString& text, int caret);

    SpotSourceSettings& m_settings;
    SpotConsole& m_console;
    SpotIntake& m_intake;
    SpotSourceLink& m_link;
    QString m_workingFolder;
    SettingsStore& m_store;
    UserPrompts& m_prompts;
    std::function<QString()> m_lastCall;
    DesignCanvas* m_canvas = nullptr;
    TncOptionsPanel* m_tnc = nullptr;
    QGroupBox* m_fraTelnet = nullptr;
    QGroupBox* m_fraDisplay = nullptr;
    QList<QWidget*> m_telnetControls;
    bool m_loading = false;
    bool m_afterCr = false; // the console's last character shown was a CR
    bool m_consoleStale = false; // changed while the window was hidden
    bool m_consoleCaretAtStart = false;
};

} // namespace ditlog
