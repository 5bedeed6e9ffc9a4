// Summary window: layout on the design canvas, the form's cleaning of what is typed, and
// writing the entry file followed by storing the address details.
#include "export/windows/SummaryWindow.h"

#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"
#include "platform/SettingsStore.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTextCursor>
#include <QVBoxLayout>

#include <tuple>
#include <utility>

namespace ditlog {

namespace {

// Design layout in twips: the two option frames side by side, then captioned boxes, the
// soapbox and the two buttons.
constexpr QSize kDesignSize(6000, 6360);
constexpr double kDesignFontPt = 8.25;
constexpr int kMargin = 240;
constexpr int kFrameTop = 120;
constexpr int kFrameWidth = 2640;
constexpr int kFrameHeight = 1320;
constexpr int kOptionIndent = 200;
constexpr int kOptionTop = 400;
constexpr int kOptionPitch = 290;
constexpr int kOptionHeight = 270;
constexpr int kCaptionWidth = 1440;
constexpr int kBoxLeft = kMargin + kCaptionWidth + 60;
constexpr int kBoxWidth = kDesignSize.width() - kMargin - kBoxLeft;
constexpr int kFirstRow = 1620;
constexpr int kRowPitch = 420;
constexpr int kRowHeight = 315;
constexpr int kSoapboxRow = 7;
constexpr int kSoapboxHeight = 960;
constexpr int kButtonTop = kFirstRow + kSoapboxRow * kRowPitch + kSoapboxHeight + 180;
constexpr int kButtonHeight = 420;

constexpr int rowTop(int row) {
    return kFirstRow + row * kRowPitch;
}

const QString kLogFilter = QStringLiteral("LOG Files (*.log) | *.log");

// The soapbox keeps its line breaks; like the other boxes it drops double quotes and
// every other control character.
QString cleanSoapboxText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || !stripUnstorable(QString(c)).isEmpty()) {
            out.append(c);
        }
    }
    return out;
}

} // namespace

SummaryWindow::SummaryWindow(const ContactLog& log, const StationPreferences& prefs,
                             const DataFolders& folders, SettingsStore& settings,
                             SharedPreferences& shared, UserPrompts& prompts, const Screen& screen,
                             QString windowTitle, QWidget* parent)
    : QDialog(parent), m_log(log), m_prefs(prefs), m_folders(folders), m_settings(settings),
      m_shared(shared), m_prompts(prompts), m_windowTitle(std::move(windowTitle)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Summary Sheet Information"));
    setModal(true);

    m_canvas = new DesignCanvas(kDesignSize, this);
    // Placed controls take their design font from the canvas: set it before placing any.
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    buildOptions();
    Text10 = addBox(QStringLiteral("Text10"), QStringLiteral("Your Member #"), 0);
    Text1 = addBox(QStringLiteral("Text1"), QStringLiteral("Club Name"), 1);
    Text2 = addBox(QStringLiteral("Text2"), QStringLiteral("Club Member #"), 2);
    Text5 = addBox(QStringLiteral("Text5"), QStringLiteral("Name"), 3);
    Text6 = addBox(QStringLiteral("Text6"), QStringLiteral("Address"), 4);
    Text7 = addBox(QStringLiteral("Text7"), QStringLiteral("City, State, Zip"), 5);
    Text8 = addBox(QStringLiteral("Text8"), QStringLiteral("E-Mail"), 6);
    buildSoapbox();
    buildButtons();

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);
    loadFields();
}

void SummaryWindow::buildOptions() {
    const auto addFrame = [this](const QString& caption, int left) {
        auto* frame = new QGroupBox(caption, m_canvas);
        m_canvas->place(frame, left, kFrameTop, kFrameWidth, kFrameHeight);
    };
    const auto addOption = [this](const QString& name, const QString& caption, int left, int index,
                                  QButtonGroup* group) {
        auto* option = new QRadioButton(caption, m_canvas);
        option->setObjectName(name);
        m_canvas->place(option, left + kOptionIndent, kFrameTop + kOptionTop + index * kOptionPitch,
                        kFrameWidth - 2 * kOptionIndent, kOptionHeight);
        group->addButton(option);
        return option;
    };
    const int right = kDesignSize.width() - kMargin - kFrameWidth;
    addFrame(QStringLiteral("Sprint (none ticked: Winter)"), kMargin);
    addFrame(QStringLiteral("Category"), right);
    m_eventGroup = new QButtonGroup(this);
    m_categoryGroup = new QButtonGroup(this);
    Option11 = addOption(QStringLiteral("Option11"), QStringLiteral("Spring Sprint"), kMargin, 0,
                         m_eventGroup);
    Option12 = addOption(QStringLiteral("Option12"), QStringLiteral("Summer Sprint"), kMargin, 1,
                         m_eventGroup);
    Option13 = addOption(QStringLiteral("Option13"), QStringLiteral("Fall Sprint"), kMargin, 2,
                         m_eventGroup);
    Option1 =
        addOption(QStringLiteral("Option1"), QStringLiteral("QRO"), right, 0, m_categoryGroup);
    Option2 =
        addOption(QStringLiteral("Option2"), QStringLiteral("QRP"), right, 1, m_categoryGroup);
    Option3 =
        addOption(QStringLiteral("Option3"), QStringLiteral("Club"), right, 2, m_categoryGroup);
}

QLineEdit* SummaryWindow::addBox(const QString& objectName, const QString& caption, int row) {
    auto* label = new QLabel(caption, m_canvas);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_canvas->place(label, kMargin, rowTop(row), kCaptionWidth, kRowHeight);

    auto* box = new QLineEdit(m_canvas);
    box->setObjectName(objectName);
    label->setBuddy(box);
    m_canvas->place(box, kBoxLeft, rowTop(row), kBoxWidth, kRowHeight);
    connect(box, &QLineEdit::textChanged, this, [this, box] { cleanBox(box); });
    return box;
}

void SummaryWindow::buildSoapbox() {
    auto* label = new QLabel(QStringLiteral("Soapbox"), m_canvas);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_canvas->place(label, kMargin, rowTop(kSoapboxRow), kCaptionWidth, kRowHeight);

    Text11 = new QPlainTextEdit(m_canvas);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setTabChangesFocus(true);
    label->setBuddy(Text11);
    m_canvas->place(Text11, kBoxLeft, rowTop(kSoapboxRow), kBoxWidth, kSoapboxHeight);
    connect(Text11, &QPlainTextEdit::textChanged, this, &SummaryWindow::cleanSoapbox);
}

void SummaryWindow::buildButtons() {
    constexpr int writeWidth = 1900;
    constexpr int doneWidth = 1300;
    constexpr int gap = 400;
    const int left = (kDesignSize.width() - writeWidth - gap - doneWidth) / 2;
    cmdWriteSummary = new QPushButton(QStringLiteral("Write Summary File"), m_canvas);
    cmdWriteSummary->setObjectName(QStringLiteral("cmdWriteSummary"));
    cmdDone = new QPushButton(QStringLiteral("Done"), m_canvas);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    m_canvas->place(cmdWriteSummary, left, kButtonTop, writeWidth, kButtonHeight);
    m_canvas->place(cmdDone, left + writeWidth + gap, kButtonTop, doneWidth, kButtonHeight);
    // Enter in a box must not write the file or close the form.
    for (QPushButton* button : {cmdWriteSummary, cmdDone}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(cmdWriteSummary, &QPushButton::clicked, this, &SummaryWindow::WriteEntryFile);
    connect(cmdDone, &QPushButton::clicked, this, &SummaryWindow::cmdDone_Click);
}

void SummaryWindow::cleanBox(QLineEdit* box) {
    // Whatever arrives (typed, pasted, loaded), what the settings and shared files
    // cannot hold is dropped and the caret stays after the same kept characters.
    const QString text = box->text();
    const QString clean = stripUnstorable(text);
    if (clean != text) {
        const int caret = int(stripUnstorable(text.left(box->cursorPosition())).size());
        box->setText(clean);
        box->setCursorPosition(caret);
    }
}

void SummaryWindow::cleanSoapbox() {
    const QString text = Text11->toPlainText();
    const QString clean = cleanSoapboxText(text);
    if (clean == text) {
        return;
    }
    const int caret = int(cleanSoapboxText(text.left(Text11->textCursor().position())).size());
    Text11->setPlainText(clean);
    QTextCursor cursor = Text11->textCursor();
    cursor.setPosition(caret);
    Text11->setTextCursor(cursor);
}

void SummaryWindow::loadFields() {
    for (QButtonGroup* group : {m_eventGroup, m_categoryGroup}) {
        // An exclusive group keeps one button ticked; untick them all outside that rule.
        group->setExclusive(false);
        for (QAbstractButton* option : group->buttons()) {
            option->setChecked(false);
        }
        group->setExclusive(true);
    }
    Text10->setText(m_prefs.OwnMemberNumber);
    Text1->setText(m_settings.value(QStringLiteral("UserClubName")));
    Text2->clear();
    Text5->setText(m_settings.value(QStringLiteral("UserAddressName")));
    Text6->setText(m_settings.value(QStringLiteral("UserAddressLine1")));
    Text7->setText(m_settings.value(QStringLiteral("UserAddressLine2")));
    Text8->setText(m_settings.value(QStringLiteral("UserEMail")));
    Text11->clear();
}

void SummaryWindow::showEvent(QShowEvent* event) {
    // Each opening starts a fresh form; a window restored by the system keeps its text.
    if (!event->spontaneous()) {
        loadFields();
        Text10->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

QString SummaryWindow::contest() const {
    return contestName(Option11->isChecked(), Option12->isChecked(), Option13->isChecked());
}

QString SummaryWindow::category() const {
    return entryCategory(Option1->isChecked(), Option2->isChecked(), Option3->isChecked());
}

SummaryFields SummaryWindow::fields() const {
    return {Text10->text(), Text1->text(), Text2->text(), Text5->text(),
            Text6->text(),  Text7->text(), Text8->text(), Text11->toPlainText()};
}

void SummaryWindow::WriteEntryFile() {
    const QString call = m_prefs.OwnCall.trimmed();
    FileDialogRequest request;
    request.title = QStringLiteral("Write Summary File");
    request.folder = m_folders.DataFolder;
    request.proposedPath = m_folders.DataFolder + QLatin1Char('/') + CallFileStem(call) +
                           QStringLiteral(".log");
    request.filter = kLogFilter;
    request.confirmOverwrite = true;
    const QString path = m_prompts.saveFile(request);
    if (path.isEmpty()) {
        return;
    }

    const EntryFileInput input =
        entryFileInput(m_log, m_prefs, m_windowTitle, contest(), category(), fields());
    if (const auto error = writeFileAtomically(path, buildEntryFile(input))) {
        m_prompts.beep();
        m_prompts.message(QStringLiteral("Unable to write file."), *error);
        return;
    }
    m_prompts.beep();
    m_prompts.message(
        QStringLiteral("File Written Successfully."),
        QStringLiteral("The file was successfully written to the directory:\n\n") +
            QDir::toNativeSeparators(path) +
            QStringLiteral(".\n\nAttach this file to an e-mail addressed for contest submission.  "
                           "If you wish to print this file, you can open it with Notepad or "
                           "Wordpad to print."));
    cmdDone->setFocus(Qt::OtherFocusReason);
    storeAddress();
}

void SummaryWindow::storeAddress() {
    const QList<std::tuple<QString, QString, QLineEdit*>> stored{
        {QStringLiteral("UserAddressName"), QStringLiteral("OWN_ADDRESS_NAME"), Text5},
        {QStringLiteral("UserAddressLine1"), QStringLiteral("OWN_ADDRESS_Line1"), Text6},
        {QStringLiteral("UserAddressLine2"), QStringLiteral("OWN_ADDRESS_Line2"), Text7},
        {QStringLiteral("UserEMail"), QStringLiteral("OWN_EMAIL"), Text8},
        {QStringLiteral("UserClubName"), QStringLiteral("OWN_CLUB_NAME"), Text1},
    };
    for (const auto& [key, tag, box] : stored) {
        m_settings.setValue(key, box->text().trimmed());
    }
    // The shared file reaches the disk with the club name, the last element set.
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const auto& [key, tag, box] = stored.at(i);
        const bool last = i + 1 == stored.size();
        const auto error = m_shared.SetSharedPreference(tag, box->text().trimmed(), last);
        if (error) {
            m_prompts.message(QStringLiteral("Unable to write file."), *error);
        }
    }
}

void SummaryWindow::cmdDone_Click() {
    accept();
}

} // namespace ditlog
