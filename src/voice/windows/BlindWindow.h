// The voice navigation window (BlindFrm): how much of the entry row is announced by the
// spoken prompts, and whether the program also speaks what changes on the screen.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class UserPrompts;
class VoicePrompts;
struct StationPreferences;

class BlindWindow : public QDialog {
    Q_OBJECT
public:
    BlindWindow(StationPreferences& prefs, VoicePrompts& prompts, const QString& workingFolder,
                const Screen& screen, UserPrompts& userPrompts, QWidget* parent = nullptr);

    // Whether speech for what changes is chosen, as the window shows it.
    void setSpeechChosen(bool on);

    QGroupBox* fraNavigation = nullptr; // "Choose your preferred option:"
    QRadioButton* optOff = nullptr;
    QRadioButton* optCallOnly = nullptr;
    QRadioButton* optAllData = nullptr;
    QCheckBox* chkSpeech = nullptr;
    QPushButton* cmdDone = nullptr;
    QLabel* lblFolder = nullptr;

    int chosenLevel() const;

Q_SIGNALS:
    // "Done": VoiceNavigation holds the chosen level; the preferences should be saved.
    void navigationChosen(int level, bool speech);

public Q_SLOTS:
    void cmdDone_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showStoredLevel();

    StationPreferences& m_prefs;
    VoicePrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
    QButtonGroup* m_levels = nullptr;
};

} // namespace ditlog
