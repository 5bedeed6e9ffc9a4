// Edit-contact window: layout on the design canvas, the typing rules and leave checks of
// its fields, and the tests "Done" runs before the record is stored.
#include "log/windows/EditContactDialog.h"

#include "log/ContactLog.h"
#include "log/EntryRules.h"
#include "log/LogArchive.h"
#include "log/PrefixTable.h"
#include "log/RecordFile.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <functional>

namespace ditlog {

namespace {

// Design layout in twips: the heading, two columns of five captioned fields with the
// indicator labels beside SPC and band, the duplicate label and the two buttons.
constexpr QSize kDesignSize(7300, 4000);
constexpr double kDesignFontPt = 8.25;
constexpr int kLeftColumn = 240;
constexpr int kRightColumn = 3840;
constexpr int kCaptionWidth = 960;
constexpr int kCaptionGap = 60;
constexpr int kBoxWidth = 1500;
constexpr int kBoxOffset = kCaptionWidth + kCaptionGap;
constexpr int kIndicatorOffset = kBoxOffset + kBoxWidth + 30;
constexpr int kIndicatorWidth = 900;
constexpr int kRowHeight = 315;
constexpr int kRowPitch = 450;
constexpr int kFirstRow = 720;
constexpr int kButtonWidth = 1400;
constexpr int kButtonHeight = 420;
constexpr int kButtonTop = 3360;

constexpr int rowTop(int row) {
    return kFirstRow + row * kRowPitch;
}

// A line edit that reports leaving it after its own focus-out handling is done, so a
// check may move the focus straight back.
class EditField final : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    std::function<void(Qt::FocusReason)> onLeft;

  protected:
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        if (onLeft) {
            onLeft(event->reason());
        }
    }
};

// Whatever reaches a field, typed, pasted or set, loses the characters a stored field
// cannot hold; the caret stays after the same kept characters.
class StorableTextValidator final : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        const QString kept = stripUnstorable(input);
        if (kept.size() != input.size()) {
            pos -= int(input.left(pos).size() - stripUnstorable(input.left(pos)).size());
            input = kept;
        }
        return Acceptable;
    }
};

// The key code of a key press in the classic form, 0 for keys the fields leave alone
// (arrows, Delete, Tab, shortcuts).
int keyCode(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Backspace:
        return kBackspace;
    default:
        break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return 0;
    }
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
        return 0;
    }
    return text.at(0).unicode();
}

int typingPosition(const QLineEdit* field) {
    return field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
}

bool windowLevelReason(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

bool isPointsDigit(int key) {
    return key == '0' || key == '2' || key == '4' || key == '5';
}

} // namespace

EditContactDialog::EditContactDialog(ContactLog& log, int recordNumber, const PrefixTable& prefixes,
                                     UserPrompts& prompts, const Screen& screen, QWidget* parent)
    : QDialog(parent), m_log(log), m_recordNumber(recordNumber), m_prefixes(prefixes),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("frmEditCon"));
    setWindowTitle(QStringLiteral("Edit Contact Entry"));
    setModal(true);
    buildControls();
    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);
    fillFromRecord();
}

void EditContactDialog::buildControls() {
    m_canvas = new DesignCanvas(kDesignSize, this);
    // Placed controls take their design font from the canvas: set it before placing any.
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);

    auto* heading = new QLabel(QStringLiteral("Edit Contact:"), m_canvas);
    heading->setObjectName(QStringLiteral("lblEditHeading"));
    m_canvas->place(heading, kLeftColumn, 240, 3000, kRowHeight);

    txtEditCall = addField(QStringLiteral("txtEditCall"), QStringLiteral("Callsign"), 12,
                           kLeftColumn, rowTop(0));
    txtEditNum =
        addField(QStringLiteral("txtEditNum"), QStringLiteral("Rst(S)"), 3, kLeftColumn, rowTop(1));
    txtEditCk =
        addField(QStringLiteral("txtEditCk"), QStringLiteral("Rst(R)"), 3, kLeftColumn, rowTop(2));
    txtEditPre =
        addField(QStringLiteral("txtEditPre"), QStringLiteral("SPC"), 40, kLeftColumn, rowTop(3));
    txtEditSec =
        addField(QStringLiteral("txtEditSec"), QStringLiteral("VARNS"), 20, kLeftColumn, rowTop(4));
    txtEditDate = addField(QStringLiteral("txtEditDate"), QStringLiteral("Date"), 10, kRightColumn,
                           rowTop(0));
    txtEditTime =
        addField(QStringLiteral("txtEditTime"), QStringLiteral("Time"), 8, kRightColumn, rowTop(1));
    txtEditBnd =
        addField(QStringLiteral("txtEditBnd"), QStringLiteral("Name"), 30, kRightColumn, rowTop(2));
    Text1 = addField(QStringLiteral("Text1"), QStringLiteral("Band"), 3, kRightColumn, rowTop(3));
    Text2 =
        addField(QStringLiteral("Text2"), QStringLiteral("Points"), 10, kRightColumn, rowTop(4));

    m_spcInvalidLabel = addIndicator(QStringLiteral("lblSpcInvalid"), QStringLiteral("   Invalid!"),
                                     kLeftColumn + kIndicatorOffset, rowTop(3));
    m_bandInvalidLabel =
        addIndicator(QStringLiteral("lblBandInvalid"), QStringLiteral("   Invalid!"),
                     kRightColumn + kIndicatorOffset, rowTop(3));
    m_dupeLabel = addIndicator(QStringLiteral("lblEditDupe"), QStringLiteral("  Dupe!"),
                               kLeftColumn + kIndicatorOffset, rowTop(0));

    addButtons();
}

void EditContactDialog::addButtons() {
    cmdDone = new QPushButton(QStringLiteral("Done"), m_canvas);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setDefault(true);
    m_canvas->place(cmdDone, kLeftColumn + kBoxOffset, kButtonTop, kButtonWidth, kButtonHeight);
    connect(cmdDone, &QPushButton::clicked, this, &EditContactDialog::cmdDone_Click);

    cmdDeleteDupe = new QPushButton(QStringLiteral("Delete Dupe"), m_canvas);
    cmdDeleteDupe->setObjectName(QStringLiteral("cmdDeleteDupe"));
    cmdDeleteDupe->setAutoDefault(false);
    cmdDeleteDupe->hide();
    m_canvas->place(cmdDeleteDupe, kRightColumn + kBoxOffset, kButtonTop, kButtonWidth,
                    kButtonHeight);
    connect(cmdDeleteDupe, &QPushButton::clicked, this, &EditContactDialog::cmdDeleteDupe_Click);

    const QList<QWidget*> tabOrder{txtEditCall, txtEditNum,  txtEditCk,   txtEditPre,
                                   txtEditSec,  txtEditDate, txtEditTime, txtEditBnd,
                                   Text1,       Text2,       cmdDone,     cmdDeleteDupe};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& band) {
        if (isLogBand(band)) {
            m_bandInvalidLabel->hide();
        }
    });
}

EditContactDialog::~EditContactDialog() {
    // The fields outlive this class's part of the object while the base class deletes
    // them: losing the focus then must not call back into it.
    for (EditField* field : findChildren<EditField*>()) {
        field->onLeft = nullptr;
    }
}

QLineEdit* EditContactDialog::addField(const QString& objectName, const QString& caption,
                                       int maxLength, int left, int top) {
    auto* label = new QLabel(caption, m_canvas);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_canvas->place(label, left, top, kCaptionWidth, kRowHeight);

    auto* field = new EditField(m_canvas);
    field->setObjectName(objectName);
    field->setMaxLength(maxLength);
    field->setValidator(new StorableTextValidator(field));
    field->installEventFilter(this);
    field->onLeft = [this, field](Qt::FocusReason reason) { fieldLeft(field, reason); };
    label->setBuddy(field);
    m_canvas->place(field, left + kBoxOffset, top, kBoxWidth, kRowHeight);
    return field;
}

QLabel* EditContactDialog::addIndicator(const QString& objectName, const QString& text, int left,
                                        int top) {
    auto* label = new QLabel(text, m_canvas);
    label->setObjectName(objectName);
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
    label->hide();
    m_canvas->place(label, left, top, kIndicatorWidth, kRowHeight);
    return label;
}

void EditContactDialog::fillFromRecord() {
    if (m_recordNumber < 1 || m_recordNumber > m_log.count()) {
        return;
    }
    const ContactRecord& r = m_log.record(m_recordNumber);
    const auto fill = [](QLineEdit* field, const QString& value) {
        // A stored value longer than what is typed here is shown whole, never cut.
        field->setMaxLength(std::max(field->maxLength(), int(value.size())));
        field->setText(value);
    };
    fill(txtEditCall, r.call);
    fill(txtEditNum, r.rstSent);
    fill(txtEditCk, r.rstReceived);
    fill(txtEditPre, r.spc);
    fill(txtEditSec, r.exchange);
    fill(txtEditDate, r.date);
    fill(txtEditTime, r.time);
    fill(txtEditBnd, r.name);
    fill(Text1, r.band);
    fill(Text2, shortestNumber(r.points));
}

void EditContactDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        m_closing = false;
        txtEditCall->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

void EditContactDialog::done(int result) {
    m_closing = true;
    QDialog::done(result);
}

bool EditContactDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field != nullptr && event->type() == QEvent::KeyPress) {
        return fieldKeyPress(field, static_cast<QKeyEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

// Returns true when the key was handled here and the field must not see it.
bool EditContactDialog::fieldKeyPress(QLineEdit* field, const QKeyEvent* event) {
    const int key = keyCode(event);
    if (key == 0 || key == kBackspace) {
        return false;
    }
    if (key == kEnter) {
        cmdDone_Click();
        return true;
    }
    if (key == kQuote) {
        return true;
    }
    if (field == txtEditDate) {
        return !(isDigitKey(key) || key == '/');
    }
    if (field == txtEditTime) {
        return !(isDigitKey(key) || key == ':');
    }
    if (field == Text2 && isDigitKey(key) && !isPointsDigit(key)) {
        return true;
    }
    if (field == txtEditPre) {
        return txtEditPre_KeyPress(key);
    }
    const int upper = Capital(key);
    if (upper != key) {
        field->insert(QString(QChar(upper)));
        return true;
    }
    return false;
}

// The SPC field completes DX entity names: the text before the typing position and the
// key as typed are matched, with letter case, against the prefix table's names from the
// last entry back; the first match fills the field with its untyped rest selected. The
// key is tried before it is capitalised, so "En" finds England while "CT" stays a code.
bool EditContactDialog::txtEditPre_KeyPress(int key) {
    int position = typingPosition(txtEditPre);
    if (key != kSpace && (position == 0 || txtEditPre->text().isEmpty())) {
        txtEditPre->clear(); // typing at the start replaces the entry
        position = 0;
    }
    const QString typed = txtEditPre->text().left(position) + QChar(key);
    if (typed.size() >= 2) {
        if (const int found = findEntityCompletion(m_prefixes, typed, Qt::CaseSensitive)) {
            const QString& name = m_prefixes.entry(found).entity;
            txtEditPre->setMaxLength(std::max(txtEditPre->maxLength(), int(name.size())));
            txtEditPre->setText(name);
            txtEditPre->setSelection(int(name.size()), -int(name.size() - typed.size()));
            return true;
        }
    }
    txtEditPre->insert(QString(QChar(Capital(key))));
    return true;
}

void EditContactDialog::fieldLeft(QLineEdit* field, Qt::FocusReason reason) {
    // Only a move to another control of this window counts as leaving a field; a switch
    // to another window, a context menu, a check's own message box or the window closing
    // does not.
    if (m_closing || m_checking || !isVisible() || windowLevelReason(reason)) {
        return;
    }
    if (field == txtEditDate) {
        checkDate();
    } else if (field == txtEditTime) {
        checkTime();
    } else if (field == Text1) {
        checkBand();
    } else if (field == Text2 && !numericValue(Text2->text())) {
        Text2->setText(QStringLiteral("0"));
    }
}

bool EditContactDialog::checkTime() {
    if (editedTime(txtEditTime->text())) {
        return true;
    }
    const QScopedValueRollback<bool> checking(m_checking, true);
    m_prompts.beep();
    m_prompts.message(QStringLiteral("Invalid Time Format!"),
                      QStringLiteral("You have entered an invalid time format!"), PromptButtons::Ok,
                      PromptIcon::Critical);
    txtEditTime->setFocus(Qt::OtherFocusReason);
    return false;
}

bool EditContactDialog::checkDate() {
    if (editedDate(txtEditDate->text())) {
        return true;
    }
    const QScopedValueRollback<bool> checking(m_checking, true);
    m_prompts.beep();
    m_prompts.message(QStringLiteral("Invalid Date Format!"),
                      QStringLiteral("You have entered an invalid date format!"), PromptButtons::Ok,
                      PromptIcon::Critical);
    txtEditDate->setFocus(Qt::OtherFocusReason);
    return false;
}

bool EditContactDialog::checkBand() {
    if (isLogBand(Text1->text())) {
        m_bandInvalidLabel->hide();
        return true;
    }
    const QScopedValueRollback<bool> checking(m_checking, true);
    m_prompts.beep();
    m_bandInvalidLabel->show();
    Text1->setFocus(Qt::OtherFocusReason);
    return false;
}

bool EditContactDialog::duplicateTest() {
    const QList<int> duplicates =
        editDuplicates(m_log, m_recordNumber, txtEditCall->text(), Text1->text());
    for (qsizetype i = 0; i < duplicates.size(); ++i) {
        m_prompts.beep();
    }
    m_dupeLabel->setVisible(!duplicates.isEmpty());
    cmdDeleteDupe->setVisible(!duplicates.isEmpty());
    return duplicates.isEmpty();
}

bool EditContactDialog::sectionTest() {
    if (editSectionPasses(txtEditPre->text())) {
        m_spcInvalidLabel->hide();
        return true;
    }
    m_spcInvalidLabel->show();
    m_prompts.beep();
    return false;
}

void EditContactDialog::cmdDone_Click() {
    // The checks below move the focus themselves; those moves are not leave checks.
    const QScopedValueRollback<bool> checking(m_checking, true);
    // A band outside the seven would be stored if Enter were pressed in the band field
    // without leaving it, so "Done" checks it too.
    if (!checkTime() || !checkDate() || !checkBand()) {
        return;
    }
    const bool unique = duplicateTest();
    const bool sectionPasses = sectionTest();
    if (!unique || !sectionPasses) {
        return;
    }
    storeRecord();
    accept();
}

void EditContactDialog::storeRecord() {
    if (m_recordNumber < 1 || m_recordNumber > m_log.count()) {
        return;
    }
    QList<ContactRecord> records = m_log.records();
    ContactRecord& r = records[m_recordNumber - 1];
    r.call = txtEditCall->text();
    r.rstSent = txtEditNum->text();
    r.rstReceived = txtEditCk->text();
    r.spc = txtEditPre->text();
    r.exchange = txtEditSec->text();
    // The checks passed, so both read; they are stored in the zero-padded stored form.
    r.date = editedDate(txtEditDate->text()).value_or(txtEditDate->text());
    r.time = editedTime(txtEditTime->text()).value_or(txtEditTime->text());
    r.name = txtEditBnd->text();
    r.band = Text1->text();
    r.points = editedPoints(Text2->text());
    m_log.setRecords(std::move(records));
}

void EditContactDialog::cmdDeleteDupe_Click() {
    m_closing = true;
    hide();
    Q_EMIT deleteDupeRequested(m_recordNumber);
    done(QDialog::Rejected);
}

} // namespace ditlog
