// The summary window: the entry details (event, category, club, address, soapbox) and
// the command that writes the contest entry file.
#pragma once

#include "export/EntryFile.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class ContactLog;
class DesignCanvas;
class Screen;
class SettingsStore;
class SharedPreferences;
class UserPrompts;
struct DataFolders;
struct StationPreferences;

class SummaryWindow : public QDialog {
    Q_OBJECT
public:
    // windowTitle is the main window's title, written to the file's CREATED-BY line.
    SummaryWindow(const ContactLog& log, const StationPreferences& prefs,
                  const DataFolders& folders, SettingsStore& settings, SharedPreferences& shared,
                  UserPrompts& prompts, const Screen& screen, QString windowTitle,
                  QWidget* parent = nullptr);

    // A fresh form: no option ticked, the own member number and the stored club, name,
    // address and e-mail values, empty club number and soapbox. Runs at construction and
    // each time the window is opened.
    void loadFields();

    // What the form says now.
    QString contest() const;
    QString category() const;
    SummaryFields fields() const;

    QRadioButton* Option11 = nullptr; // Spring Sprint
    QRadioButton* Option12 = nullptr; // Summer Sprint
    QRadioButton* Option13 = nullptr; // Fall Sprint
    QRadioButton* Option1 = nullptr;  // QRO
    QRadioButton* Option2 = nullptr;  // QRP
    QRadioButton* Option3 = nullptr;  // Club
    QLineEdit* Text10 = nullptr;      // own member number
    QLineEdit* Text1 = nullptr;       // club name
    QLineEdit* Text2 = nullptr;       // club's member number
    QLineEdit* Text5 = nullptr;       // name
    QLineEdit* Text6 = nullptr;       // address line 1
    QLineEdit* Text7 = nullptr;       // address line 2
    QLineEdit* Text8 = nullptr;       // e-mail
    QPlainTextEdit* Text11 = nullptr; // soapbox
    QPushButton* cmdWriteSummary = nullptr;
    QPushButton* cmdDone = nullptr;

public Q_SLOTS:
    // Asks where to save, writes the file and, once it is on disk, stores the address
    // details in the settings store and the shared preference file.
    void WriteEntryFile();
    void cmdDone_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildOptions();
    QLineEdit* addBox(const QString& objectName, const QString& caption, int row);
    void buildSoapbox();
    void buildButtons();
    void cleanBox(QLineEdit* box);
    void cleanSoapbox();
    void storeAddress();

    const ContactLog& m_log;
    const StationPreferences& m_prefs;
    const DataFolders& m_folders;
    SettingsStore& m_settings;
    SharedPreferences& m_shared;
    UserPrompts& m_prompts;
    QString m_windowTitle;
    DesignCanvas* m_canvas = nullptr;
    QButtonGroup* m_eventGroup = nullptr;
    QButtonGroup* m_categoryGroup = nullptr;
};

} // namespace ditlog
