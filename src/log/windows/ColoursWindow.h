// The colours window: the text colours of worked and remaining multiplier labels,
// chosen through the colour chooser and shown on two samples.
#pragma once

#include <QColor>
#include <QDialog>

class QLabel;
class QPushButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class UserPrompts;
struct StationPreferences;

// A stored colour value (&HBBGGRR: blue in the high byte, &HFF is red) as a QColor.
QColor storedColour(qint32 value);

class ColoursWindow : public QDialog {
    Q_OBJECT
public:
    ColoursWindow(StationPreferences& prefs, const Screen& screen, UserPrompts& prompts,
                  QWidget* parent = nullptr);

    QPushButton* cmdWorked = nullptr;    // "Appearance of multiplier worked"
    QPushButton* cmdRemaining = nullptr; // Change "Remaining" Color
    QPushButton* cmdDone = nullptr;
    QLabel* lblWorked = nullptr;    // sample in WorkedColour
    QLabel* lblRemaining = nullptr; // sample in RemainingColour

Q_SIGNALS:
    // WorkedColour or RemainingColour changed: save the preferences and recolour.
    void coloursChanged();

public Q_SLOTS:
    void cmdWorked_Click();
    void cmdRemaining_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool chooseInto(qint32& stored);
    void showSamples();

    StationPreferences& m_prefs;
    UserPrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
};

} // namespace ditlog
