// Station window: layout on the design canvas, the key rules of each box, the country
// completion and the save on "Done".
#include "log/windows/StationWindow.h"

#include "log/AppearanceCommands.h"
#include "log/EntityNames.h"
#include "log/RecordFile.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"
#include "platform/SettingsStore.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <optional>

namespace ditlog {

namespace {

// Design layout in twips: two columns of captioned boxes, the country box across both.
constexpr QSize kDesignSize(5000, 3360);
constexpr double kDesignFontPt = 8.25;
constexpr int kLeftColumn = 240;
constexpr int kRightColumn = 2640;
constexpr int kCaptionWidth = 960;
constexpr int kCaptionGap = 60;
constexpr int kRowHeight = 315;
constexpr int kRowPitch = 450;
constexpr int kFirstRow = 240;
constexpr int kLeftBoxWidth = 1200;
constexpr int kRightBoxWidth = 1100;
constexpr int kBoxOffset = kCaptionWidth + kCaptionGap;
// The country box runs from the left column's boxes to the right edge of the right one.
constexpr int kCountryWidth = kRightColumn + kBoxOffset + kRightBoxWidth - kLeftColumn - kBoxOffset;
constexpr int kDoneWidth = 1200;
constexpr int kDoneHeight = 420;

constexpr int rowTop(int row) {
    return kFirstRow + row * kRowPitch;
}

bool isUtcCharacter(QChar c) {
    return c >= QLatin1Char('-') && c <= QLatin1Char('9');
}

// The one printable character a key press types, if any; shortcuts and editing keys
// (Ctrl, Alt or Meta held, Backspace, Delete, arrows) type nothing.
std::optional<QChar> typedCharacter(const QKeyEvent* key) {
    const QString text = key->text();
    const auto held = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (text.size() != 1 || (key->modifiers() & held) != 0) {
        return std::nullopt;
    }
    const QChar c = text.at(0);
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
        return std::nullopt;
    }
    return c;
}

// Cleans whatever reaches a box, typed, pasted, dropped or set: characters a stored
// field cannot hold are dropped (and, for the UTC-offset box, anything outside "-" to
// "9"), the caret staying after the same kept characters.
class StorableTextValidator final : public QValidator {
public:
    StorableTextValidator(bool utcOnly, QObject* parent) : QValidator(parent), m_utcOnly(utcOnly) {}

    State validate(QString& input, int& pos) const override {
        QString kept;
        int caret = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (keeps(input.at(i))) {
                kept.append(input.at(i));
            } else if (i < pos) {
                --caret;
            }
        }
        if (kept.size() != input.size()) {
            input = kept;
            pos = caret;
        }
        return Acceptable;
    }

private:
    bool keeps(QChar c) const {
        return !stripUnstorable(QString(c)).isEmpty() && (!m_utcOnly || isUtcCharacter(c));
    }

    bool m_utcOnly;
};

} // namespace

StationWindow::StationWindow(StationPreferences& prefs, SettingsStore& settings,
                             SharedPreferences& shared, const EntityNames* names,
                             const Screen& screen, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prefs(prefs), m_settings(settings), m_shared(shared), m_names(names),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("frmStationID"));
    setWindowTitle(QStringLiteral(" Amateur Station I.D."));
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

    Text1 = addBox(QStringLiteral("Text1"), QStringLiteral("Call"), 15, kLeftColumn, rowTop(0),
                   kLeftBoxWidth);
    Text8 = addBox(QStringLiteral("Text8"), QStringLiteral("Member #"), 10, kRightColumn, rowTop(0),
                   kRightBoxWidth);
    Text9 = addBox(QStringLiteral("Text9"), QStringLiteral("First Name"), 20, kLeftColumn,
                   rowTop(1), kLeftBoxWidth);
    Text5 = addBox(QStringLiteral("Text5"), QStringLiteral("SPC"), 20, kRightColumn, rowTop(1),
                   kRightBoxWidth);
    Text2 = addBox(QStringLiteral("Text2"), QStringLiteral("Country"), 40, kLeftColumn, rowTop(2),
                   kCountryWidth);
    Text3 = addBox(QStringLiteral("Text3"), QStringLiteral("Longitude"), 12, kLeftColumn, rowTop(3),
                   kLeftBoxWidth);
    Text4 = addBox(QStringLiteral("Text4"), QStringLiteral("Latitude"), 12, kRightColumn, rowTop(3),
                   kRightBoxWidth);
    Text7 = addBox(QStringLiteral("Text7"), QStringLiteral("Continent"), 2, kLeftColumn, rowTop(4),
                   kLeftBoxWidth);
    Text6 = addBox(QStringLiteral("Text6"), QStringLiteral("UTC Offset"), 8, kRightColumn,
                   rowTop(4), kRightBoxWidth);

    Text3->setAccessibleDescription(QStringLiteral("Degrees, west positive"));
    Text4->setAccessibleDescription(QStringLiteral("Degrees, north positive"));
    Text6->setAccessibleDescription(QStringLiteral("Hours added to the computer clock to give UTC"));
    Command1 = new QPushButton(QStringLiteral("Done"), m_canvas);
    Command1->setObjectName(QStringLiteral("Command1"));
    // Enter presses "Done" only from the boxes that say so, not from every box.
    Command1->setAutoDefault(false);
    m_canvas->place(Command1, (kDesignSize.width() - kDoneWidth) / 2, rowTop(5) + 150, kDoneWidth,
                    kDoneHeight);
    connect(Command1, &QPushButton::clicked, this, &StationWindow::Command1_Click);
    connect(Text1, &QLineEdit::textEdited, this, &StationWindow::fillFromCall);

    // Row by row, left to right, as the boxes stand.
    const QList<QWidget*> tabOrder{Text1, Text8, Text9, Text5, Text2,
                                   Text3, Text4, Text7, Text6, Command1};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9}) {
        box->setValidator(new StorableTextValidator(box == Text6, box));
        box->installEventFilter(this);
    }

    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);
    loadFromPreferences();
}

QLineEdit* StationWindow::addBox(const QString& objectName, const QString& caption, int maxLength,
                                 int left, int top, int boxWidth) {
    auto* label = new QLabel(caption, m_canvas);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_canvas->place(label, left, top, kCaptionWidth, kRowHeight);

    auto* box = new QLineEdit(m_canvas);
    box->setObjectName(objectName);
    box->setMaxLength(maxLength);
    label->setBuddy(box);
    m_canvas->place(box, left + kBoxOffset, top, boxWidth, kRowHeight);
    return box;
}

void StationWindow::showValue(QLineEdit* box, const QString& value) {
    m_shownValues.insert(box, value);
    box->setText(value);
}

QString StationWindow::valueOf(const QLineEdit* box) const {
    // A value longer than its box is shown cut; left as shown, the whole value is kept,
    // so that closing the window never saves a value the box had to cut.
    const QString whole = m_shownValues.value(box);
    if (whole.size() > box->maxLength() && box->text() == whole.left(box->maxLength())) {
        return whole;
    }
    return box->text();
}

void StationWindow::loadFromPreferences() {
    showValue(Text1, m_prefs.OwnCall);
    showValue(Text2, m_prefs.OwnCountry);
    showValue(Text3, shortestNumber(m_prefs.OwnLongitude));
    showValue(Text4, shortestNumber(m_prefs.OwnLatitude));
    showValue(Text5, m_prefs.OwnSpc);
    showValue(Text6, shortestNumber(m_prefs.UtcOffset));
    showValue(Text7, m_prefs.OwnContinent);
    showValue(Text8, m_prefs.OwnMemberNumber);
    showValue(Text9, m_prefs.OwnFirstName);
    if (Text1->text().isEmpty()) {
        showValue(Text1, m_settings.value(QStringLiteral("UserCallSign")));
    }
    m_filledFromCall.reset();
    // A call that came from the settings store places a new operator at once.
    fillFromCall();
}

bool StationWindow::placeUntouched() const {
    const std::array<const QLineEdit*, 4> boxes{Text2, Text3, Text4, Text7};
    if (m_filledFromCall) {
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes.at(i)->text() != m_filledFromCall->at(i)) {
                return false;
            }
        }
        return true;
    }
    const auto zeroOrEmpty = [](const QLineEdit* box) {
        return box->text().trimmed().isEmpty() || numericValue(box->text()) == 0.0;
    };
    return Text2->text().trimmed().isEmpty() && Text7->text().trimmed().isEmpty() &&
           zeroOrEmpty(Text3) && zeroOrEmpty(Text4);
}

void StationWindow::fillFromCall() {
    if (m_names == nullptr || !placeUntouched()) {
        return;
    }
    const std::array<QLineEdit*, 4> boxes{Text2, Text3, Text4, Text7};
    const std::optional<EntityInfo> entity = m_names->entityOfCall(Text1->text());
    if (!entity) {
        // What the call put in goes when the call no longer names an entity.
        if (m_filledFromCall) {
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                showValue(boxes.at(i), m_beforeFill.at(i));
            }
            m_filledFromCall.reset();
        }
        return;
    }
    if (!m_filledFromCall) {
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            m_beforeFill.at(i) = valueOf(boxes.at(i));
        }
    }
    const PlaceTexts place{entity->entity, shortestNumber(entity->longitude),
                           shortestNumber(entity->latitude), entity->continent};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        showValue(boxes.at(i), place.at(i));
    }
    // The boxes may cut a long name: what they show is what is compared next time.
    PlaceTexts shown;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        shown.at(i) = boxes.at(i)->text();
    }
    m_filledFromCall = shown;
}

void StationWindow::showEvent(QShowEvent* event) {
    // Each opening starts from the stored values; a window restored by the system keeps
    // what is being typed.
    if (!event->spontaneous()) {
        loadFromPreferences();
        Text1->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

bool StationWindow::capitalBox(const QObject* box) const {
    return box == Text1 || box == Text5 || box == Text7 || box == Text8 || box == Text9;
}

bool StationWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != nullptr && event->type() == QEvent::KeyPress) {
        return boxKeyPress(box, static_cast<QKeyEvent*>(event));
    }
    if (watched == Text6 && event->type() == QEvent::FocusOut) {
        Text6_LostFocus(static_cast<QFocusEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

bool StationWindow::boxKeyPress(QLineEdit* box, QKeyEvent* key) {
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (capitalBox(box) || box == Text6)) {
        Command1->click();
        return true;
    }
    if (box == Text6) {
        return Text6_KeyPress(key);
    }
    const std::optional<QChar> typed = typedCharacter(key);
    if (!typed) {
        return false;
    }
    if (*typed == QLatin1Char('"')) {
        return true; // a stored field cannot hold it
    }
    if (box == Text2) {
        return Text2_KeyPress(QString(*typed));
    }
    if (capitalBox(box) && *typed >= QLatin1Char('a') && *typed <= QLatin1Char('z')) {
        box->insert(typed->toUpper());
        return true;
    }
    return false;
}

bool StationWindow::Text2_KeyPress(const QString& typed) {
    // The caret is the start of the selection: after a completion the untyped rest of
    // the name is selected and the next key replaces it.
    const int caret = Text2->hasSelectedText() ? Text2->selectionStart() : Text2->cursorPosition();
    const QString key = caret == 0 ? typed.toUpper() : typed;
    const QString prefix = Text2->text().left(caret) + key;
    const std::optional<EntityInfo> match =
        m_names == nullptr ? std::nullopt : m_names->completeEntityName(prefix, Qt::CaseSensitive);
    if (!match) {
        if (key == typed) {
            return false;
        }
        Text2->insert(key);
        return true;
    }
    Text2->setText(match->entity);
    const int typedLength = int(prefix.size());
    Text2->setSelection(typedLength, std::max(0, int(Text2->text().size()) - typedLength));
    showValue(Text3, shortestNumber(match->longitude));
    showValue(Text4, shortestNumber(match->latitude));
    showValue(Text7, match->continent);
    return true;
}

bool StationWindow::Text6_KeyPress(const QKeyEvent* key) {
    const std::optional<QChar> typed = typedCharacter(key);
    // Backspace, Delete, arrows and shortcuts pass; of the printable characters only
    // "-", ".", "/" and the digits do.
    return typed && !isUtcCharacter(*typed);
}

void StationWindow::Text6_LostFocus(const QFocusEvent* focus) {
    // Only a move to another control of this window counts as leaving the box; a
    // context menu or a switch to another window does not.
    const Qt::FocusReason reason = focus->reason();
    if (!isVisible() || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason) {
        return;
    }
    if (!numericValue(Text6->text())) {
        m_prompts.beep();
        Text6->setFocus(Qt::OtherFocusReason);
    }
}

void StationWindow::Command1_Click() {
    for (QLineEdit* box : {Text3, Text4, Text6}) {
        if (!numericValue(valueOf(box))) {
            showValue(box, QStringLiteral("0"));
        }
    }
    writeSharedPreferences();

    m_prefs.OwnCall = valueOf(Text1);
    m_prefs.OwnSpc = valueOf(Text5);
    m_prefs.UtcOffset = float(numericValue(valueOf(Text6)).value_or(0));
    m_prefs.OwnCountry = valueOf(Text2);
    m_prefs.OwnLongitude = float(numericValue(valueOf(Text3)).value_or(0));
    m_prefs.OwnLatitude = float(numericValue(valueOf(Text4)).value_or(0));
    m_prefs.OwnContinent = valueOf(Text7);
    m_prefs.OwnMemberNumber = valueOf(Text8);
    m_prefs.OwnFirstName = valueOf(Text9);
    Q_EMIT stationSaved();
    accept();
}

void StationWindow::writeSharedPreferences() {
    m_shared.SetSharedPreference(QStringLiteral("OWN_CALL"), valueOf(Text1), false);
    m_shared.SetSharedPreference(QStringLiteral("OWN_SPC"), valueOf(Text5), false);
    m_shared.SetSharedPreference(QStringLiteral("OWN_UTC"), valueOf(Text6), false);
    m_shared.SetSharedPreference(QStringLiteral("OWN_COUNTRY"), valueOf(Text2), false);
    m_shared.SetSharedPreference(QStringLiteral("OWN_LONGITUDE"), valueOf(Text3), false);
    m_shared.SetSharedPreference(QStringLiteral("OWN_LATITUDE"), valueOf(Text4), false);
    m_shared.SetSharedPreference(QStringLiteral("OWN_FIRST_NAME"), valueOf(Text9), false);
    const std::optional<QString> error =
        m_shared.SetSharedPreference(QStringLiteral("OWN_CONTINENT"), valueOf(Text7), true);
    if (error) {
        m_prompts.message(QStringLiteral("Unable to write file."), *error);
    }
}

} // namespace ditlog
