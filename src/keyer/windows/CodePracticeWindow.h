// The code practice window frmCodePractice ("On the Air Code Practice"): random groups,
// pasted or typed text sent through the keyer, and live typing in the keyboard field.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class CodePracticeSender;
class CwKeyer;
class DesignCanvas;
class Screen;
class UserPrompts;

class CodePracticeWindow : public QWidget {
    Q_OBJECT
public:
    CodePracticeWindow(CwKeyer& keyer, const Screen& screen, UserPrompts& prompts,
                       QWidget* parent = nullptr);
    ~CodePracticeWindow() override;

    QPlainTextEdit* Text1 = nullptr; // text to send
    QPlainTextEdit* Text2 = nullptr; // text sent
    QLineEdit* Text3 = nullptr;      // number of groups
    QLineEdit* Text4 = nullptr;      // characters per group
    QLineEdit* Text5 = nullptr;      // keyboard
    QRadioButton* Option1 = nullptr; // "Letters Only"
    QRadioButton* Option2 = nullptr; // "All"
    QLabel* Label8 = nullptr;        // speed
    QPushButton* cmdGenerate = nullptr;
    QPushButton* cmdPaste = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdClearToSend = nullptr;
    QPushButton* cmdClearSent = nullptr;
    QPushButton* cmdFaster = nullptr;
    QPushButton* cmdSlower = nullptr;

    void cmdGenerate_Click();
    void cmdSend_Click();
    void cmdStop_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build(DesignCanvas& canvas);
    void keyboardKey(QKeyEvent* key);
    void showSent(QChar c, int position);

    CwKeyer& m_keyer;
    CodePracticeSender* m_sender;
};

} // namespace ditlog
