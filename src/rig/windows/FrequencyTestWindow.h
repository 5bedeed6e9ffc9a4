// The frequency test window (frmFrequencyTest): a raw command typed by the operator sent to
// the radio at once (as text or as hex pairs), or a frequency sent through the link's
// frequency command, so that the commands of a radio can be tried out.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ditlog {

class DesignCanvas;
class RigLink;
class Screen;
class UserPrompts;

class FrequencyTestWindow : public QDialog {
    Q_OBJECT
public:
    FrequencyTestWindow(RigLink& link, const Screen& screen, UserPrompts& prompts, QWidget* parent = nullptr);
    ~FrequencyTestWindow() override;

    // Send (raw): Text1 trimmed, to the port as it is or through the hex pairs.
    void Command1_Click();
    // Send (frequency): Text2 through the frequency command.
    void Command2_Click();

    QLineEdit* Text1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    void refuse(const QString& text);

    RigLink& m_link;
    UserPrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
};

} // namespace ditlog
