// Keystroke rules of the entry fields: each handler sees the key before the field does
// and returns what is left of it, so the whole exchange is typed without the mouse.
#include "app/EntryPanel.h"

#include "log/ContactLog.h"
#include "log/EntryRules.h"
#include "log/OperatingTime.h"
#include "log/PrefixTable.h"
#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/UserPrompts.h"
#include "ui/KeyHold.h"

#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace ditlog {

namespace {
// The key code of a key press in the classic form, 0 for keys the fields leave alone.
int keyCode(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnter;
    case Qt::Key_Backspace: return kBackspace;
    default: break;
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

// The position where typing goes: the start of a selection, else the caret.
int typingPosition(const QLineEdit* field) {
    return field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
}

bool ignoredFocusReason(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}
} // namespace

bool EntryPanel::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr) {
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        if (!ignoredFocusReason(static_cast<QFocusEvent*>(event)->reason())) {
            fieldEntered(field);
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const bool ignored = ignoredFocusReason(static_cast<QFocusEvent*>(event)->reason());
        if (field == txtCall && !ignored) {
            txtCall_LostFocus();
        } else if (!ignored && historyFilled(field)) {
            acceptHistoryFill(field); // moving on accepts what the history put in
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (keyEvent->key() == Qt::Key_K && keyEvent->modifiers() == Qt::ControlModifier &&
        m_assist->speakPartials()) {
        return true;
    }
    if (m_keyHold->take(field, *keyEvent)) {
        return true; // typed later, into the field that has the focus then
    }
    const int key = keyCode(keyEvent);
    if (key == 0) {
        return false; // arrows, Tab, Delete and the like keep their usual meaning
    }
    if (historyFilled(field) && !field->hasSelectedText() &&
        field->cursorPosition() == field->text().size()) {
        // The first key typed into what the call history put in replaces it whole
        // (unless the caret was moved into it to edit it).
        field->selectAll();
    }
    return dispatchKey(field, key);
}

bool EntryPanel::dispatchKey(QLineEdit* field, int key) {
    int left = key;
    if (field == txtCall) {
        left = txtCall_KeyPress(key);
    } else if (field == txtRSTR) {
        left = txtRSTR_KeyPress(key);
    } else if (field == txtRSTS) {
        left = txtRSTS_KeyPress(key);
    } else if (field == txtName) {
        left = txtName_KeyPress(key);
    } else if (field == txtSec) {
        left = txtSec_KeyPress(key);
    } else if (field == txtCntry) {
        left = txtCntry_KeyPress(key);
    } else {
        left = postContest_KeyPress(field, key);
    }
    if (left == kBackspace) {
        return false;
    }
    if (left != 0) {
        field->insert(QString(QChar(left)));
    }
    return true;
}

int EntryPanel::txtCall_KeyPress(int key) {
    setStatusText(QString());
    lblDupe->clear();
    QFont dupeFont = lblDupe->font();
    dupeFont.setPointSizeF(9.0 * m_services.screen.sizeTwips().width() / 9600.0 *
                           m_prefs.FormSizePercent / 100.0);
    lblDupe->setFont(dupeFont);
    const QString call = txtCall->text();
    if (call.size() < 2) {
        txtCntry->clear();
        Label19->clear();
        Label22->clear();
        Label23->clear();
    }
    if (key == kQuote) {
        return 0;
    }
    if (forwardsDigitToReport(call, key, txtCall->cursorPosition() == call.size())) {
        m_pending = 4;
        m_pendingKey = key;
        txtRSTR->setFocus(Qt::OtherFocusReason);
        txtRSTR_KeyPress(key);
        return 0;
    }
    if (call.size() < 3 && m_operating.loggedOn()) {
        setStatusText(QStringLiteral(" "));
    }
    if (key == kEnter) {
        enterKey();
        return 0;
    }
    if (key == kSpace) {
        txtRSTR->setFocus(Qt::OtherFocusReason);
        return 0;
    }
    key = Capital(key);
    PartialDupCheck(key);
    return key;
}

void EntryPanel::PartialDupCheck(int key) {
    showNormalStatus(lblDialog->text());
    setDupeIdle();
    lblDupe->clear();
    const QString typed = txtCall->text() + QChar(key);
    QString list;
    if (m_partialDupes && isCallSearchKey(key)) {
        list = partialDuplicates(m_log, typed, m_prefs.Band);
        lblDupe->setText(list);
        if (!list.isEmpty()) {
            QPalette p = lblDupe->palette();
            p.setColor(QPalette::Window, QColor(0, 192, 192));
            lblDupe->setPalette(p);
        }
    }
    if (txtCall->text().size() > 2 && !list.isEmpty()) {
        setStatusText(QStringLiteral("Possible Duplicate!"));
    } else if (m_operating.loggedOn()) {
        setStatusText(QStringLiteral(" "));
    }
    if (typed.size() == 3 && isCallSearchKey(key)) {
        if (lacksDigitInSecondOrThird(typed)) {
            m_services.prompts.beep();
            setStatusText(QStringLiteral("The second or third character is not numeric!"));
        } else {
            setStatusText(QStringLiteral(" "));
        }
    }
}

int EntryPanel::txtRSTR_KeyPress(int key) {
    if (m_pending == 4) {
        // The digit typed at the end of the call starts the report.
        m_pending = 0;
        txtRSTR->setText(QString(QChar(m_pendingKey)));
        txtRSTR->setCursorPosition(1);
        return 0;
    }
    if (key > '9') {
        m_pending = 3;
        m_pendingKey = Capital(key);
        txtCntry_KeyPress(m_pendingKey);
        key = kSpace;
    }
    if (key == kEnter) {
        enterKey();
        return 0;
    }
    if (key == kSpace) {
        txtCntry->setFocus(Qt::OtherFocusReason);
        return 0;
    }
    return number(key);
}

int EntryPanel::txtRSTS_KeyPress(int key) {
    if (key > '9') {
        focusNextAfter(txtRSTS);
        return 0;
    }
    if (key == kEnter) {
        enterKey();
        return 0;
    }
    if (key == kSpace) {
        focusNextAfter(txtRSTS);
        return 0;
    }
    return number(key);
}

int EntryPanel::txtName_KeyPress(int key) {
    if (key == kQuote) {
        return 0;
    }
    if (key == kEnter) {
        enterKey();
        return 0;
    }
    if (key == kSpace) {
        txtSec->setFocus(Qt::OtherFocusReason);
        return 0;
    }
    key = Capital(key);
    if (isDigitKey(key)) {
        m_pending = 4;
        m_pendingKey = key;
        txtSec->setFocus(Qt::OtherFocusReason);
        txtSec_KeyPress(key);
        return 0;
    }
    return key;
}

int EntryPanel::txtSec_KeyPress(int key) {
    if (m_pending == 4) {
        m_pending = 0;
        txtSec->setText(QString(QChar(m_pendingKey)));
        txtSec->setCursorPosition(1);
        return 0;
    }
    if (key == kQuote) {
        return 0;
    }
    if (key == kEnter) {
        enterKey();
        return 0;
    }
    if (key == kSpace) {
        txtRSTS->setFocus(Qt::OtherFocusReason);
        return 0;
    }
    return Capital(key);
}

int EntryPanel::txtCntry_KeyPress(int key) {
    if (key == kQuote) {
        return 0;
    }
    if (key == kEnter) {
        enterKey();
        return 0;
    }
    int caret = typingPosition(txtCntry);
    if (key == kSpace && caret == 0 && m_pending == 0) {
        txtName->setFocus(Qt::OtherFocusReason);
        return 0;
    }
    if (m_pending == 3) {
        // A letter typed in the received report starts the SPC field.
        m_pending = 0;
        txtCntry->setText(QString(QChar(key)));
        txtCntry->setCursorPosition(1);
        return 0;
    }
    if (key != kSpace && caret == 0) {
        txtCntry->clear(); // typing at the start replaces the entry, Backspace too
        if (key == kBackspace) {
            return 0;
        }
    }
    if (key == kBackspace) {
        return key;
    }
    if (txtCntry->text().isEmpty() || caret < 2) {
        key = Capital(key);
    }
    if (caret == 2 && txtCntry->text().size() >= 2 && key != kSpace) {
        // A third character makes the entry an entity name in title case.
        QString text = txtCntry->text();
        text[1] = text.at(1).toLower();
        txtCntry->setText(text);
        txtCntry->setCursorPosition(2);
    }
    // A Space is part of the typed name while some name goes on with one ("New C...");
    // otherwise it moves on below.
    if (txtCntry->text().size() >= 2) {
        const QString typed = txtCntry->text().left(caret) + QChar(key);
        if (const int found = findEntityCompletion(m_prefixes, typed, Qt::CaseInsensitive)) {
            const PrefixEntry& e = m_prefixes.entry(found);
            txtCntry->setText(typed + e.entity.mid(typed.size()));
            txtCntry->setSelection(int(txtCntry->text().size()), -int(e.entity.size() - typed.size()));
            Label19->setText(e.continent);
            showBearing(e.latitude, e.longitude);
            return 0;
        }
    }
    if (key == kSpace) {
        txtName->setFocus(Qt::OtherFocusReason);
        return 0;
    }
    return key;
}

int EntryPanel::postContest_KeyPress(QLineEdit* field, int key) {
    if (key == kEnter) {
        Mains();
        return 0;
    }
    if (key == kSpace) {
        focusNextAfter(field);
        return 0;
    }
    const bool date = field == txtPostConDate;
    const bool allowed = key == kBackspace || isDigitKey(key) ||
                         key == (date ? int('/') : int(':'));
    return allowed ? key : 0;
}

} // namespace ditlog
