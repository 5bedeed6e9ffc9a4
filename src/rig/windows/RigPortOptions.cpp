// Layout and reading of the rig window's serial option frames.
#include "rig/windows/RigPortOptions.h"

#include "rig/RigSettings.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

namespace ditlog {

namespace {
constexpr int kOptionHeight = 230;
constexpr int kFrameTop = 240; // first option below the frame's title

QStringList numbered(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i) {
        out.append(QString::number(i));
    }
    return out;
}
} // namespace

RigPortOptions::RigPortOptions(DesignCanvas& canvas, QObject* parent) : QObject(parent) {
    m_speed = addGroup(canvas, QStringLiteral("Baud Rate (k):"), QStringLiteral("optBaud"),
                       {QStringLiteral("1.2"), QStringLiteral("2.4"), QStringLiteral("4.8"),
                        QStringLiteral("9.6"), QStringLiteral("14.4"), QStringLiteral("19.2"),
                        QStringLiteral("28.8"), QStringLiteral("38.4"), QStringLiteral("56")},
                       rigSpeeds(), rigSpeeds(), QRect(2160, 120, 1750, 1420), 2);
    m_parity = addGroup(canvas, QStringLiteral("Parity:"), QStringLiteral("optParity"),
                        {QStringLiteral("Odd"), QStringLiteral("None"), QStringLiteral("Even")},
                        {QStringLiteral("Odd"), QStringLiteral("None"), QStringLiteral("Even")},
                        {QStringLiteral("O"), QStringLiteral("N"), QStringLiteral("E")},
                        QRect(3990, 120, 1770, 960), 1);
    m_dataBits = addGroup(canvas, QStringLiteral("Data Bits:"), QStringLiteral("optData"),
                          {QStringLiteral("7"), QStringLiteral("8")}, numbered(7, 8), numbered(7, 8),
                          QRect(3990, 1140, 860, 720), 1);
    m_stopBits = addGroup(canvas, QStringLiteral("Stop Bits:"), QStringLiteral("optStop"),
                          {QStringLiteral("1"), QStringLiteral("2")}, numbered(1, 2), numbered(1, 2),
                          QRect(4900, 1140, 860, 720), 1);
    m_port = addGroup(canvas, QStringLiteral("Comm Port:"), QStringLiteral("optComm"), numbered(1, 10),
                      numbered(1, 10), numbered(1, 10), QRect(2160, 1940, 3600, 740), 5);
    m_power = addGroup(canvas, QStringLiteral("Connection Power:"), QStringLiteral("optPower"),
                       {QStringLiteral("None"), QStringLiteral("RTS"), QStringLiteral("DTR")},
                       {QStringLiteral("None"), QStringLiteral("RTS"), QStringLiteral("DTR")},
                       {QStringLiteral("N"), QStringLiteral("R"), QStringLiteral("D")},
                       QRect(2160, 2760, 1750, 960), 1);
    m_rate = addGroup(canvas, QStringLiteral("Radio Polling Rate:"), QStringLiteral("optPoll"),
                      {QStringLiteral("100 ms"), QStringLiteral("500 ms"), QStringLiteral("2 Sec"),
                       QStringLiteral("10 Sec")},
                      rigPollRates(), rigPollRates(), QRect(3990, 2760, 1770, 1190), 1);
}

RigPortOptions::Group RigPortOptions::addGroup(DesignCanvas& canvas, const QString& title,
                                               const QString& namePrefix, const QStringList& captions,
                                               const QStringList& names, const QStringList& values,
                                               const QRect& rect, int columns) {
    Group g;
    g.frame = new QGroupBox(title, &canvas);
    g.frame->setObjectName(QStringLiteral("fra") + namePrefix.mid(3));
    g.frame->setAccessibleName(title);
    canvas.place(g.frame, rect.left(), rect.top(), rect.width(), rect.height());
    g.buttons = new QButtonGroup(g.frame);
    g.values = values;
    const int rows = int((captions.size() + columns - 1) / columns);
    const int columnWidth = (rect.width() - 120) / columns;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        // Options stand on the canvas over their frame (the canvas places its own children).
        auto* option = new QRadioButton(captions.at(i), &canvas);
        option->setObjectName(namePrefix + names.at(i));
        option->setAccessibleName(captions.at(i));
        option->setAccessibleDescription(title);
        const int column = int(i) / rows;
        const int row = int(i) % rows;
        canvas.place(option, rect.left() + 100 + column * columnWidth, rect.top() + kFrameTop + row * kOptionHeight,
                     columnWidth, kOptionHeight);
        g.buttons->addButton(option, int(i));
        g.options.append(option);
        connect(option, &QRadioButton::clicked, this, &RigPortOptions::optionClicked);
    }
    return g;
}

void RigPortOptions::tick(const Group& group, const QString& value) {
    const qsizetype i = group.values.indexOf(value);
    if (i >= 0) {
        group.options.at(i)->setChecked(true);
    }
}

QString RigPortOptions::ticked(const Group& group) {
    const int id = group.buttons->checkedId();
    return id >= 0 ? group.values.at(id) : QString();
}

void RigPortOptions::show(const RigSettings& s) {
    tick(m_speed, s.speed.trimmed());
    tick(m_parity, s.parity);
    tick(m_dataBits, s.dataBits);
    tick(m_stopBits, s.stopBits);
    tick(m_port, QString::number(s.portNumber));
    tick(m_power, s.power);
    tick(m_rate, s.pollRate);
}

void RigPortOptions::collect(RigSettings& s) const {
    const auto take = [](const Group& g, QString& field) {
        const QString value = ticked(g);
        if (!value.isEmpty()) {
            field = value;
        }
    };
    QString speed = s.speed.trimmed();
    take(m_speed, speed);
    s.speed = speed.leftJustified(5, QLatin1Char(' '));
    take(m_parity, s.parity);
    take(m_dataBits, s.dataBits);
    take(m_stopBits, s.stopBits);
    if (const QString port = ticked(m_port); !port.isEmpty()) {
        s.portNumber = quint8(port.toInt());
    }
    take(m_power, s.power);
    take(m_rate, s.pollRate);
    s.portSettings = s.joinedPortSettings();
}

void RigPortOptions::setEnabled(bool enabled) {
    for (const Group* g : {&m_speed, &m_parity, &m_dataBits, &m_stopBits, &m_port, &m_power, &m_rate}) {
        g->frame->setEnabled(enabled);
        for (QRadioButton* option : g->options) {
            option->setEnabled(enabled);
        }
    }
}

void RigPortOptions::setSerialVisible(bool visible) {
    for (const Group* g : {&m_speed, &m_parity, &m_dataBits, &m_stopBits, &m_port, &m_power}) {
        g->frame->setVisible(visible);
        for (QRadioButton* option : g->options) {
            option->setVisible(visible);
        }
    }
}

QList<QWidget*> RigPortOptions::tabOrder() const {
    QList<QWidget*> order;
    for (const Group* g : {&m_speed, &m_parity, &m_dataBits, &m_stopBits, &m_port, &m_power, &m_rate}) {
        for (QRadioButton* option : g->options) {
            order.append(option);
        }
    }
    return order;
}

} // namespace ditlog
