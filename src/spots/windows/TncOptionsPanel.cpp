// Layout of the TNC option frames and their mapping to the settings.
#include "spots/windows/TncOptionsPanel.h"

#include "spots/SpotSourceSettings.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

namespace ditlog {

namespace {
constexpr int kFrameHeight = 1080;
constexpr int kSecondFrameHeight = 880;
constexpr int kRowHeight = 260;
constexpr int kFirstRowOffset = 280;
constexpr int kRowPitch = 260;

void checkWhere(const QList<QRadioButton*>& buttons, const QStringList& values,
                const QString& value) {
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        buttons.at(i)->setChecked(values.at(i).compare(value.trimmed(), Qt::CaseInsensitive) == 0);
    }
}

int checkedIndex(const QList<QRadioButton*>& buttons) {
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        if (buttons.at(i)->isChecked()) {
            return int(i);
        }
    }
    return -1;
}

const QStringList kParities{QStringLiteral("O"), QStringLiteral("N"), QStringLiteral("E")};
const QStringList kDataBits{QStringLiteral("7"), QStringLiteral("8")};
const QStringList kStopBits{QStringLiteral("1"), QStringLiteral("2")};
const QStringList kPowerLines{QStringLiteral("N"), QStringLiteral("R"), QStringLiteral("D")};
} // namespace

TncOptionsPanel::TncOptionsPanel(DesignCanvas& canvas, int top, QObject* parent)
    : QObject(parent) {
    QList<Button> ports;
    for (int i = 1; i <= 10; ++i) {
        ports.append({QStringLiteral("optComm_%1").arg(i), QString::number(i)});
    }
    optComm = addFrame(canvas, QStringLiteral("fraPort"), QStringLiteral("Port"),
                       QRect(120, top, 2640, kFrameHeight), ports, 5);
    optBaud = addFrame(canvas, QStringLiteral("fraBaud"), QStringLiteral("Baud"),
                       QRect(2880, top, 2400, kFrameHeight),
                       {{QStringLiteral("optBaud12"), QStringLiteral("1200")},
                        {QStringLiteral("optBaud24"), QStringLiteral("2400")},
                        {QStringLiteral("optBaud48"), QStringLiteral("4800")},
                        {QStringLiteral("optBaud96"), QStringLiteral("9600")},
                        {QStringLiteral("optBaud144"), QStringLiteral("14400")},
                        {QStringLiteral("optBaud192"), QStringLiteral("19200")}},
                       3);
    optParity = addFrame(canvas, QStringLiteral("fraParity"), QStringLiteral("Parity"),
                         QRect(5400, top, 1160, kFrameHeight),
                         {{QStringLiteral("optParityOdd"), QStringLiteral("Odd")},
                          {QStringLiteral("optParityNone"), QStringLiteral("None")},
                          {QStringLiteral("optParityEven"), QStringLiteral("Even")}},
                         1);
    optData = addFrame(canvas, QStringLiteral("fraData"), QStringLiteral("Data bits"),
                       QRect(6680, top, 1000, kFrameHeight),
                       {{QStringLiteral("optData7"), QStringLiteral("7")},
                        {QStringLiteral("optData8"), QStringLiteral("8")}},
                       1);
    optStop = addFrame(canvas, QStringLiteral("fraStop"), QStringLiteral("Stop bits"),
                       QRect(7800, top, 1080, kFrameHeight),
                       {{QStringLiteral("optStop1"), QStringLiteral("1")},
                        {QStringLiteral("optStop2"), QStringLiteral("2")}},
                       1);
    const int second = top + kFrameHeight + 120;
    optPower = addFrame(canvas, QStringLiteral("fraPower"), QStringLiteral("Power from port"),
                        QRect(120, second, 2640, kSecondFrameHeight),
                        {{QStringLiteral("optPowerNone"), QStringLiteral("None")},
                         {QStringLiteral("optPowerRTS"), QStringLiteral("RTS")},
                         {QStringLiteral("optPowerDTR"), QStringLiteral("DTR")}},
                        3);
    optHandshake = addFrame(canvas, QStringLiteral("fraHandshake"), QStringLiteral("Handshaking"),
                            QRect(2880, second, 3680, kSecondFrameHeight),
                            {{QStringLiteral("Option1"), QStringLiteral("None")},
                             {QStringLiteral("Option2"), QStringLiteral("Xon Xoff")},
                             {QStringLiteral("Option3"), QStringLiteral("RTS")},
                             {QStringLiteral("Option4"), QStringLiteral("RTS OnOff")}},
                            2);
    m_bottom = second + kSecondFrameHeight;
}

QList<QRadioButton*> TncOptionsPanel::addFrame(DesignCanvas& canvas, const QString& name,
                                               const QString& title, const QRect& rect,
                                               const QList<Button>& buttons, int columns) {
    auto* frame = new QGroupBox(title, &canvas);
    frame->setObjectName(name);
    frame->setAccessibleName(title);
    canvas.place(frame, rect.x(), rect.y(), rect.width(), rect.height());
    m_frames.append(frame);
    auto* group = new QButtonGroup(this);
    QList<QRadioButton*> made;
    const int width = (rect.width() - 240) / columns;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        auto* b = new QRadioButton(buttons.at(i).caption, &canvas);
        b->setObjectName(buttons.at(i).name);
        b->setAccessibleName(title + QLatin1Char(' ') + buttons.at(i).caption);
        const int row = int(i) / columns;
        const int column = int(i) % columns;
        canvas.place(b, rect.x() + 120 + column * width, rect.y() + kFirstRowOffset + row * kRowPitch,
                     width, kRowHeight);
        group->addButton(b);
        connect(b, &QRadioButton::clicked, this, &TncOptionsPanel::optionClicked);
        made.append(b);
        m_all.append(b);
    }
    return made;
}

void TncOptionsPanel::showSettings(const SpotSourceSettings& s) {
    for (qsizetype i = 0; i < optComm.size(); ++i) {
        optComm.at(i)->setChecked(i + 1 == s.Port);
    }
    checkWhere(optBaud, SpotSourceSettings::kBauds, s.Baud);
    checkWhere(optParity, kParities, s.Parity);
    checkWhere(optData, kDataBits, s.DataBits);
    checkWhere(optStop, kStopBits, s.StopBits);
    checkWhere(optPower, kPowerLines, s.PowerLine);
    for (qsizetype i = 0; i < optHandshake.size(); ++i) {
        optHandshake.at(i)->setChecked(i + 1 == s.Handshake);
    }
}

void TncOptionsPanel::collect(SpotSourceSettings& s) const {
    if (const int i = checkedIndex(optComm); i >= 0) {
        s.Port = i + 1;
    }
    if (const int i = checkedIndex(optBaud); i >= 0) {
        s.Baud = SpotSourceSettings::kBauds.at(i);
    }
    if (const int i = checkedIndex(optParity); i >= 0) {
        s.Parity = kParities.at(i);
    }
    if (const int i = checkedIndex(optData); i >= 0) {
        s.DataBits = kDataBits.at(i);
    }
    if (const int i = checkedIndex(optStop); i >= 0) {
        s.StopBits = kStopBits.at(i);
    }
    if (const int i = checkedIndex(optPower); i >= 0) {
        s.PowerLine = kPowerLines.at(i);
    }
    if (const int i = checkedIndex(optHandshake); i >= 0) {
        s.Handshake = i + 1;
    }
}

void TncOptionsPanel::setEnabled(bool on) {
    for (QGroupBox* f : std::as_const(m_frames)) {
        f->setEnabled(on);
    }
    for (QRadioButton* b : std::as_const(m_all)) {
        b->setEnabled(on);
    }
}

} // namespace ditlog
