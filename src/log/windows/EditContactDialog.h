// The edit-contact window: one logged record in ten fields with their typing rules and
// leave checks, and "Done" storing the record once the duplicate and section tests pass.
#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ditlog {

class ContactLog;
class DesignCanvas;
class PrefixTable;
class Screen;
class UserPrompts;

class EditContactDialog : public QDialog {
    Q_OBJECT
  public:
    // Edits record recordNumber (1-based) of the log in memory only; the caller rewrites
    // and reloads the log file once the window has finished.
    EditContactDialog(ContactLog& log, int recordNumber, const PrefixTable& prefixes,
                      UserPrompts& prompts, const Screen& screen, QWidget* parent = nullptr);
    ~EditContactDialog() override;

    int recordNumber() const { return m_recordNumber; }

    QLineEdit* txtEditCall = nullptr; // call
    QLineEdit* txtEditNum = nullptr;  // report sent
    QLineEdit* txtEditCk = nullptr;   // report received
    QLineEdit* txtEditPre = nullptr;  // SPC
    QLineEdit* txtEditSec = nullptr;  // member number or power
    QLineEdit* txtEditDate = nullptr;
    QLineEdit* txtEditTime = nullptr;
    QLineEdit* txtEditBnd = nullptr; // name
    QLineEdit* Text1 = nullptr;      // band
    QLineEdit* Text2 = nullptr;      // points
    QPushButton* cmdDone = nullptr;
    QPushButton* cmdDeleteDupe = nullptr;

  Q_SIGNALS:
    // "Delete Dupe": the window has hidden itself; the record being edited should be
    // deleted (after the usual confirmation). finished() follows.
    void deleteDupeRequested(int recordNumber);

  public Q_SLOTS:
    void cmdDone_Click();
    void cmdDeleteDupe_Click();
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void addButtons();
    QLineEdit* addField(const QString& objectName, const QString& caption, int maxLength, int left,
                        int top);
    QLabel* addIndicator(const QString& objectName, const QString& text, int left, int top);
    void fillFromRecord();
    bool fieldKeyPress(QLineEdit* field, const QKeyEvent* event);
    bool txtEditPre_KeyPress(int key);
    void fieldLeft(QLineEdit* field, Qt::FocusReason reason);
    bool checkTime();
    bool checkDate();
    bool checkBand();
    bool duplicateTest();
    bool sectionTest();
    void storeRecord();

    ContactLog& m_log;
    int m_recordNumber;
    const PrefixTable& m_prefixes;
    UserPrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
    QLabel* m_dupeLabel = nullptr;
    QLabel* m_spcInvalidLabel = nullptr;
    QLabel* m_bandInvalidLabel = nullptr;
    // Set while a check shows its message or moves the focus back, and while the window
    // closes: the focus moves this causes are not the operator leaving a field.
    bool m_checking = false;
    bool m_closing = false;
};

} // namespace ditlog
