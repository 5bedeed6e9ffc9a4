// Entry row construction, lookups on change, leaving and entering the call field, the
// duplicate check and logging a contact.
#include "app/EntryPanel.h"

#include "log/ContactLog.h"
#include "log/EntryRules.h"
#include "log/LogMaintenance.h"
#include "log/OperatingTime.h"
#include "log/PrefixTable.h"
#include "log/Score.h"
#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/UserPrompts.h"
#include "ui/KeyHold.h"
#include "ui/WindowScaling.h"
#include "voice/VoiceControl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace ditlog {

namespace {
const QColor kNormalColour(0, 192, 192);
const QColor kDuplicateColour(255, 0, 0);

void setBackground(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
}

QLabel* addLabel(DesignCanvas& canvas, const QString& name, const QString& text, int left,
                 int top, int width, int height) {
    auto* label = new QLabel(text, &canvas);
    label->setObjectName(name);
    canvas.place(label, left, top, width, height);
    return label;
}
} // namespace

EntryPanel::EntryPanel(Services services, ContactLog& log, const LogFile& file,
                       StationPreferences& prefs, const PrefixTable& prefixes,
                       const OperatingTime& operating, VoiceControl& voice, DesignCanvas& canvas,
                       QObject* parent)
    : QObject(parent), m_services(services), m_log(log), m_file(file), m_prefs(prefs),
      m_prefixes(prefixes), m_operating(operating), m_voice(&voice),
      m_keyHold(new KeyHold(this)), m_holdTimer(new QTimer(this)) {
    buildFields(canvas);
    m_holdTimer->setInterval(50);
    connect(m_holdTimer, &QTimer::timeout, this, &EntryPanel::endDuplicateHoldIfDue);
}

QLineEdit* EntryPanel::addField(DesignCanvas& canvas, const QString& name, int left, int width,
                                int maxLength, const QString& heading, int headingIndex) {
    auto* field = new QLineEdit(&canvas);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    canvas.place(field, left, 340, width, 380);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this, field] { cleanPastedText(field); });
    QLabel* label = addLabel(canvas, QStringLiteral("lblStation_%1").arg(headingIndex), heading,
                             left, 120, width, 220);
    m_headings.append(label);
    m_order.append(field);
    return field;
}

void EntryPanel::buildFields(DesignCanvas& canvas) {
    txtCall = addField(canvas, QStringLiteral("txtCall"), 120, 1600, 12, QStringLiteral("Call"), 0);
    txtRSTR = addField(canvas, QStringLiteral("txtRSTR"), 1800, 700, 3, QStringLiteral("RS(T) Rc"), 1);
    txtCntry = addField(canvas, QStringLiteral("txtCntry"), 2580, 1800, 30, QStringLiteral("SPC"), 2);
    m_headings.last()->setToolTip(QStringLiteral("State / Province / Country"));
    txtName = addField(canvas, QStringLiteral("txtName"), 4860, 1500, 30, QStringLiteral("Name"), 3);
    txtSec = addField(canvas, QStringLiteral("txtSec"), 6440, 1100, 20, QStringLiteral("Varns/Pwr"), 4);
    m_headings.last()->setToolTip(QStringLiteral("Enter power followed by W"));
    txtRSTS = addField(canvas, QStringLiteral("txtRSTS"), 7620, 700, 3, QStringLiteral("RS(T) Sn"), 6);
    for (QLineEdit* f : m_order) {
        QFont big = f->font();
        big.setPointSizeF(11);
        big.setBold(true);
        f->setFont(big);
    }
    lblNew = addLabel(canvas, QStringLiteral("lblNew"), QStringLiteral("New"), 4400, 400, 420, 300);
    lblNew->setStyleSheet(QStringLiteral("color: rgb(200,0,0); font-weight: bold;"));
    lblNew->hide();

    // Post-contest time and date follow the six fields in the tab order, time first.
    txtPostConTime = new QLineEdit(&canvas);
    txtPostConTime->setObjectName(QStringLiteral("txtPostConTime"));
    txtPostConTime->setMaxLength(8); // hh:mm, or hh:mm:ss with seconds
    canvas.place(txtPostConTime, 6600, 1000, 800, 330);
    txtPostConDate = new QLineEdit(&canvas);
    txtPostConDate->setObjectName(QStringLiteral("txtPostConDate"));
    txtPostConDate->setMaxLength(10);
    canvas.place(txtPostConDate, 7500, 1000, 1300, 330);
    for (QLineEdit* f : {txtPostConTime, txtPostConDate}) {
        f->installEventFilter(this);
        m_order.append(f);
    }
    m_headings.append(addLabel(canvas, QStringLiteral("lblPostConTime"), QStringLiteral("Time"),
                               6600, 780, 800, 220));
    m_headings.append(addLabel(canvas, QStringLiteral("lblPostConDate"), QStringLiteral("Date"),
                               7500, 780, 1300, 220));
    for (int i = 0; i + 1 < m_order.size(); ++i) {
        QWidget::setTabOrder(m_order.at(i), m_order.at(i + 1));
    }
    setPostContestMode(false);

    lblDialog = addLabel(canvas, QStringLiteral("lblDialog"), QString(), 120, 840, 4500, 330);
    lblDialog->setAutoFillBackground(true);
    lblDialog->setFrameShape(QFrame::Panel);
    lblDialog->setFrameShadow(QFrame::Sunken);
    setBackground(lblDialog, kNormalColour);
    lblDupe = addLabel(canvas, QStringLiteral("lblDupe"), QString(), 120, 1220, 6300, 300);
    lblDupe->setAutoFillBackground(true);
    setDupeIdle();

    addLabel(canvas, QStringLiteral("lblContHeading"), QStringLiteral("Cont"), 4760, 780, 500, 220);
    addLabel(canvas, QStringLiteral("lblBearingHeading"), QStringLiteral("Bearing"), 5280, 780, 650, 220);
    addLabel(canvas, QStringLiteral("lblMilesHeading"), QStringLiteral("Miles"), 5950, 780, 600, 220);
    Label19 = addLabel(canvas, QStringLiteral("Label19"), QString(), 4760, 1000, 500, 220);
    Label22 = addLabel(canvas, QStringLiteral("Label22"), QString(), 5280, 1000, 650, 220);
    Label23 = addLabel(canvas, QStringLiteral("Label23"), QString(), 5950, 1000, 600, 220);

    connect(txtCall, &QLineEdit::textChanged, this, [this](const QString& text) {
        withdrawHistoryFill();
        CountryLookup();
        Q_EMIT callChanged(text);
        fillFromHistory();
        m_assist->callChanged(text);
    });
    connect(txtRSTS, &QLineEdit::textChanged, this, &EntryPanel::rstSentChanged);
    connect(txtCntry, &QLineEdit::textChanged, this, &EntryPanel::NewIndicator);
    for (QLineEdit* f : {txtCall, txtRSTR, txtCntry, txtName, txtSec, txtRSTS}) {
        connect(f, &QLineEdit::textChanged, this, [this, f] {
            // A value typed over, or replaced, is the operator's own.
            if (m_historyFill.contains(f) && f->text() != m_historyFill.value(f)) {
                acceptHistoryFill(f);
            }
            m_assist->entryChanged();
        });
    }
}

void EntryPanel::cleanPastedText(QLineEdit* field) {
    // Whatever arrives (typed, pasted, dropped), nothing that breaks a record is kept.
    const QString text = field->text();
    QString clean = stripUnstorable(text);
    clean.removeIf([](QChar c) { return c.unicode() > 0xFF; });
    if (clean != text) {
        const int caret = field->cursorPosition() - int(text.size() - clean.size());
        field->setText(clean);
        field->setCursorPosition(std::max(0, caret));
    }
}

// ---- status lines ------------------------------------------------------------------------

void EntryPanel::showNormalStatus(const QString& text) { showStatusOn(text, m_statusColour); }

void EntryPanel::setStatusColour(const QColor& colour) {
    m_statusColour = colour.isValid() ? colour : kNormalColour;
    setBackground(lblDialog, m_statusColour);
}

void EntryPanel::showStatusOn(const QString& text, const QColor& colour) {
    setBackground(lblDialog, colour);
    setStatusText(text);
}

void EntryPanel::setStatusText(const QString& text) {
    if (text != lblDialog->text()) {
        lblDialog->setText(text);
        Q_EMIT statusTextChanged(text);
    }
}

void EntryPanel::setDupeIdle() {
    setBackground(lblDupe, QApplication::palette().color(QPalette::Button));
}

void EntryPanel::focusCall() { txtCall->setFocus(Qt::OtherFocusReason); }

void EntryPanel::putSpc(const QString& code) { txtCntry->setText(code); }

// ---- modes -------------------------------------------------------------------------------

void EntryPanel::applyMode() {
    const int length = m_prefs.Mode == QLatin1String("PH") ? 2 : 3;
    txtRSTR->setMaxLength(length);
    txtRSTS->setMaxLength(length);
}

void EntryPanel::setPostContestMode(bool on) {
    txtPostConTime->setVisible(on);
    txtPostConDate->setVisible(on);
    for (QLabel* heading : std::as_const(m_headings)) {
        if (heading->objectName().startsWith(QLatin1String("lblPostCon"))) {
            heading->setVisible(on);
        }
    }
}

bool EntryPanel::postContestMode() const { return !txtPostConDate->isHidden(); }

// ---- lookups -----------------------------------------------------------------------------

void EntryPanel::showBearing(float latitude, float longitude) {
    const BearingDistance bd = HDCalc(m_prefs.OwnLatitude, m_prefs.OwnLongitude, latitude, longitude);
    Label22->setText(bd.bearing);
    Label23->setText(bd.distance);
}

void EntryPanel::CountryLookup() {
    // What an earlier lookup put in (an entity, or "Not Found") is no SPC of the operator:
    // a call that turns into a USA or Canada call takes it back, so the field is left for
    // the state or province and the continent shows at once.
    const QString shown = txtCntry->text();
    const bool lookupsOwn = !shown.isEmpty() && (shown == m_lookupSpc ||
                                                 shown == QLatin1String("Not Found"));
    const CountryLookupResult r =
        ditlog::CountryLookup(m_prefixes, txtCall->text(), lookupsOwn ? QString() : shown,
                              m_prefs.OwnLatitude, m_prefs.OwnLongitude);
    if (!r.ran) {
        return;
    }
    if (r.setSpc) {
        txtCntry->setText(r.spc);
        m_lookupSpc = r.spc;
    } else if (lookupsOwn) {
        txtCntry->clear();
    }
    Label19->setText(r.continent);
    Label22->setText(r.bearing);
    Label23->setText(r.distance);
    if (r.selectSpc) {
        txtCntry->selectAll();
    }
}

void EntryPanel::NewIndicator() { lblNew->setVisible(ditlog::NewIndicator(m_log, txtCntry->text())); }

// ---- call history ------------------------------------------------------------------------

QColor EntryPanel::historyColour() { return QColor(0, 90, 190); }

bool EntryPanel::historyFilled(const QLineEdit* field) const {
    const auto it = m_historyFill.constFind(const_cast<QLineEdit*>(field));
    return it != m_historyFill.cend() && field->text() == *it;
}

void EntryPanel::withdrawHistoryFill() {
    // Values the history put in for the call as it was are not the operator's: a changed
    // call takes them back before anything looks at the fields.
    const QList<QLineEdit*> filled = m_historyFill.keys();
    for (QLineEdit* field : filled) {
        if (historyFilled(field)) {
            m_historyFill.remove(field);
            field->clear();
            field->setPalette(txtCall->palette());
            field->setAccessibleDescription(field->property("plainDescription").toString());
        }
    }
}

void EntryPanel::fillFromHistory() {
    const std::optional<HistoryValues> known = m_assist->historyFor(txtCall->text());
    if (!known) {
        return;
    }
    const QList<std::pair<QLineEdit*, QString>> fills{
        {txtCntry, known->spc}, {txtName, known->name}, {txtSec, known->exchange}};
    for (const auto& [field, value] : fills) {
        if (value.isEmpty() || !field->text().isEmpty()) {
            continue; // never over what the operator typed
        }
        field->setText(value);
        if (field->text() != value) {
            continue; // the field took less (its length): the operator's to finish
        }
        m_historyFill.insert(field, value);
        QPalette p = field->palette();
        p.setColor(QPalette::Text, historyColour());
        field->setPalette(p);
        if (!field->property("plainDescription").isValid()) {
            field->setProperty("plainDescription", field->accessibleDescription());
        }
        field->setAccessibleDescription(QStringLiteral("From the call history"));
    }
}

void EntryPanel::acceptHistoryFill(QLineEdit* field) {
    if (m_historyFill.remove(field) == 0) {
        return;
    }
    field->setPalette(txtCall->palette());
    field->setAccessibleDescription(field->property("plainDescription").toString());
}

void EntryPanel::focusFirstEmpty() {
    if (txtCall->hasFocus()) {
        // Leaving the call field fills the reports and what this log knows of the call.
        m_quietFocus = true;
        txtRSTR->setFocus(Qt::OtherFocusReason);
        m_quietFocus = false;
    }
    for (QLineEdit* f : {txtRSTR, txtCntry, txtName, txtSec, txtRSTS}) {
        if (f->text().isEmpty()) {
            f->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void EntryPanel::enterKey() {
    if (!postContestMode() && m_assist->enterPressed()) {
        return;
    }
    Mains();
}

// ---- focus -------------------------------------------------------------------------------

void EntryPanel::txtCall_LostFocus() {
    if (m_inMains || txtCall->text().isEmpty()) {
        return;
    }
    DupCheck();
    if (m_duplicate) {
        return; // the entry was thrown away
    }
    fillOnLeavingCall();
}

void EntryPanel::fillOnLeavingCall() {
    const QString call = txtCall->text();
    const bool phone = m_prefs.Mode == QLatin1String("PH");
    for (QLineEdit* report : {txtRSTR, txtRSTS}) {
        if (report->text().isEmpty()) {
            report->setText(phone ? QStringLiteral("55") : m_prefs.DefaultRst);
            report->setSelection(0, phone ? 2 : 3);
        }
    }
    if (call.size() > 2 && txtCntry->text().isEmpty()) {
        const QString province = canadianProvince(call);
        if (!province.isEmpty()) {
            txtCntry->setText(province);
            txtCntry->setSelection(0, 2);
        }
    }
}

void EntryPanel::txtCall_GotFocus() {
    if (txtCall->text().isEmpty()) {
        txtRSTR->clear();
        txtRSTS->clear();
    }
    if (m_prefs.VoiceNavigation >= 1) {
        m_voice->BlindKeyPhone(QStringLiteral("Call"));
    }
    Q_EMIT callFieldEntered();
}

void EntryPanel::fieldEntered(QLineEdit* field) {
    m_assist->entryChanged();
    if (m_quietFocus) {
        return;
    }
    if (field == txtCall) {
        txtCall_GotFocus();
        return;
    }
    if (field == txtPostConDate || field == txtPostConTime) {
        if (field == txtPostConDate && field->text().isEmpty()) {
            field->setText(m_services.clock.localNow().toString(QStringLiteral("yyyy/MM/dd")));
        }
        // Selected whole, so the next contact's value replaces it as it is typed.
        QTimer::singleShot(0, field, &QLineEdit::selectAll);
        return;
    }
    if (m_prefs.VoiceNavigation < 2) {
        return;
    }
    const QHash<QLineEdit*, QString> words{{txtRSTR, QStringLiteral("RstRcvd")},
                                           {txtCntry, QStringLiteral("SPC")},
                                           {txtName, QStringLiteral("Name")},
                                           {txtSec, QStringLiteral("Power")},
                                           {txtRSTS, QStringLiteral("RstSnt")}};
    if (words.contains(field)) {
        m_voice->BlindKeyPhone(words.value(field));
    }
}

// ---- duplicate check ---------------------------------------------------------------------

void EntryPanel::DupCheck() {
    m_duplicate = false;
    const DuplicateFinding found = findDuplicate(m_log, txtCall->text(), m_prefs.Band);
    if (m_prefs.ListPreviousContacts == 1) {
        Q_EMIT previousContactsFound(found.earlierContacts);
    }
    // Each field still empty takes the value of the next earlier contact, oldest first,
    // so a field the oldest contact left empty is filled from a later one.
    for (const int number : found.earlierContacts) {
        const ContactRecord& earlier = m_log.record(number);
        const QList<std::pair<QLineEdit*, QString>> fills{
            {txtSec, earlier.exchange}, {txtCntry, earlier.spc}, {txtName, earlier.name}};
        for (const auto& [field, value] : fills) {
            // What this log knows wins over the call history.
            if (field->text().isEmpty() || historyFilled(field)) {
                field->setText(value);
                field->selectAll();
                acceptHistoryFill(field);
            }
        }
    }
    if (found.duplicate == 0) {
        return;
    }
    showStatusOn(duplicateText(m_log, found.duplicate), kDuplicateColour);
    setDupeIdle();
    lblDupe->clear();
    m_services.prompts.beep();
    m_voice->BlindKeyPhone(QStringLiteral("Dupe"));
    m_duplicate = true;
    m_duplicateAtNs = m_services.clock.monotonicNs();
    // With voice navigation on, the window waits for the spoken "Dupe" (keys typed
    // meanwhile are held by the voice) and the 3 s count from its end.
    m_waitingForVoice = true;
    m_voice->afterPrompt(this, [this] {
        m_waitingForVoice = false;
        m_duplicateAtNs = m_services.clock.monotonicNs();
    });
    m_keyHold->hold(QStringLiteral("duplicate"));
    m_holdTimer->start();
    focusCall();
    clearEntry();
}

bool EntryPanel::holdIsOver() const {
    return !m_waitingForVoice &&
           m_services.clock.monotonicNs() >= m_duplicateAtNs + 3'000'000'000LL;
}

void EntryPanel::endDuplicateHoldIfDue() {
    // Keys typed within 3 s of a duplicate wait, then are typed as if typed now.
    if (!holdIsOver()) {
        return;
    }
    m_holdTimer->stop();
    m_duplicate = false;
    m_keyHold->release(QStringLiteral("duplicate"));
}

// ---- logging -----------------------------------------------------------------------------

bool EntryPanel::frmcmp() {
    const QList<std::tuple<QLineEdit*, bool, QString>> tests{
        {txtSec, txtSec->text().isEmpty(), QStringLiteral("Need VARNS or Power!")},
        {txtName, txtName->text().isEmpty(), QStringLiteral("Need Name!")},
        {txtRSTR, txtRSTR->text().isEmpty(), QStringLiteral("Report Received!")},
        {txtCall, txtCall->text().size() < 3, QStringLiteral("Need Call Sign!")},
        {txtCntry, txtCntry->text().isEmpty(), QStringLiteral("Need Country!")},
        {txtRSTS, txtRSTS->text().isEmpty(), QStringLiteral("Need Report Sent!")}};
    // The message and the focus left are those of the last failing test; the focus moves
    // once, so the fields passed over announce nothing.
    QLineEdit* focus = nullptr;
    for (const auto& [field, failed, message] : tests) {
        if (failed) {
            m_services.prompts.beep();
            showNormalStatus(message);
            focus = field;
        }
    }
    if (focus != nullptr) {
        focus->setFocus(Qt::OtherFocusReason);
    }
    return focus == nullptr;
}

bool EntryPanel::SectionCheck() {
    if (ditlog::SectionCheck(m_log.multipliers(), txtCntry->text()) != 0) {
        if (Label19->text().isEmpty()) {
            Label19->setText(QStringLiteral("NA"));
        }
        return true;
    }
    m_services.prompts.beep();
    showNormalStatus(QStringLiteral("Invald Section!"));
    txtCntry->setFocus(Qt::OtherFocusReason);
    return false;
}

void EntryPanel::clearEntry() {
    for (QLineEdit* f : {txtCall, txtRSTR, txtCntry, txtName, txtSec, txtRSTS}) {
        f->clear();
    }
    Label19->clear();
    Label22->clear();
    Label23->clear();
}

std::optional<std::pair<QString, QString>> EntryPanel::contactDateTime() {
    if (!postContestMode()) {
        const QDateTime now = logNow(m_services.clock, m_prefs.UtcOffset);
        return std::pair{now.toString(QStringLiteral("yyyy/MM/dd")),
                         now.toString(QStringLiteral("HH:mm:ss"))};
    }
    const auto d = normalisedPostContestDate(txtPostConDate->text());
    if (!d) {
        showNormalStatus(QStringLiteral("Invalid date format!"));
        m_services.prompts.beep();
        return std::nullopt;
    }
    txtPostConDate->setText(*d);
    const auto t = normalisedPostContestTime(txtPostConTime->text());
    if (!t) {
        showNormalStatus(QStringLiteral("Invalid time format!"));
        m_services.prompts.beep();
        return std::nullopt;
    }
    txtPostConTime->setText(*t);
    return std::pair{*d, *t};
}

bool EntryPanel::storeContact(const QString& date, const QString& time) {
    const ContactRecord record{txtCall->text(), txtRSTR->text(), txtSec->text(),
                               txtRSTS->text(),  txtCntry->text(), date,
                               time,             txtName->text(),  m_prefs.Band,
                               contactPoints(txtSec->text()), m_rigFrequency};
    const bool addEntity = !lblNew->isHidden() && record.spc.size() > 2;
    const bool hadEntity = m_log.hasEntity(record.spc);
    const int multipliersBefore = m_log.multipliersWorked();
    if (m_log.isFull()) {
        m_services.prompts.message(
            QStringLiteral("Log Full"),
            QStringLiteral("The log holds %1 contacts, the most it can hold. Archive this "
                           "log and start a new one to log more contacts.")
                .arg(ContactLog::kMaxRecords),
            PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    if (const auto error = m_file.append(m_log, record, addEntity)) {
        m_services.prompts.message(QStringLiteral("Unable to write file."), *error,
                                   PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    showNormalStatus(QString());
    const int row =
        m_log.multipliersWorked() != multipliersBefore ? m_log.multipliers().find(record.spc) : 0;
    Q_EMIT contactLogged(row, !hadEntity && m_log.hasEntity(record.spc));
    return true;
}

void EntryPanel::Mains() {
    const auto when = contactDateTime();
    if (!when) {
        return;
    }
    // The checks run in their order; the focus they move never runs the call field's
    // leave check in between, which would clear the entry and hide the duplicate.
    m_inMains = true;
    const bool leftCall = txtCall->hasFocus();
    const bool complete = frmcmp();
    bool sectionOk = true;
    if (txtCntry->text().size() == 2) {
        txtCntry->setText(txtCntry->text().toUpper());
        sectionOk = SectionCheck();
    }
    DupCheck();
    const bool stored = complete && !m_duplicate && sectionOk && storeContact(when->first, when->second);
    // A contact that could not be stored keeps its entry, so nothing typed is lost.
    if (complete && sectionOk && (stored || m_duplicate)) {
        clearEntry();
        focusCall();
    }
    m_inMains = false;
    if (leftCall && !m_duplicate && !stored && !txtCall->hasFocus() && !txtCall->text().isEmpty()) {
        fillOnLeavingCall(); // the checks moved the focus out of the call field
    }
    setDupeIdle();
    lblDupe->clear();
    if (!stored) {
        Q_EMIT contactNotStored();
    }
    // Whatever the outcome, a frequency delivered for this attempt is not stored with a
    // later contact.
    m_rigFrequency.clear();
}

void EntryPanel::cmdClear_Click() {
    clearEntry();
    setDupeIdle();
    setBackground(lblDialog, m_statusColour);
    lblDupe->clear();
    setStatusText(QString());
    focusCall();
}

void EntryPanel::focusNextAfter(QLineEdit* field) {
    const qsizetype at = m_order.indexOf(field);
    for (qsizetype i = at + 1; i < m_order.size(); ++i) {
        if (m_order.at(i)->isVisible()) {
            m_order.at(i)->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    focusCall();
}

} // namespace ditlog
