// The serial option groups of the rig window: speed, parity, data bits, stop bits, port,
// connection power and poll rate, each a frame of option buttons, shown from and
// collected into the rig settings.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class QWidget;

namespace ditlog {

class DesignCanvas;
struct RigSettings;

class RigPortOptions : public QObject {
    Q_OBJECT
public:
    explicit RigPortOptions(DesignCanvas& canvas, QObject* parent = nullptr);

    // Ticks the options the settings name.
    void show(const RigSettings& settings);
    // Speed, parity, data bits, stop bits, port, power and poll rate from the ticked options.
    void collect(RigSettings& settings) const;
    void setEnabled(bool enabled);
    // Shows or hides the line's groups (all but the poll rate), for a radio reached
    // over the network.
    void setSerialVisible(bool visible);
    // The groups' buttons in layout order, for the window's tab order.
    QList<QWidget*> tabOrder() const;

Q_SIGNALS:
    // The operator clicked an option.
    void optionClicked();

private:
    struct Group {
        QGroupBox* frame = nullptr;
        QButtonGroup* buttons = nullptr;
        QList<QRadioButton*> options;
        QStringList values;
    };
    Group addGroup(DesignCanvas& canvas, const QString& title, const QString& namePrefix,
                   const QStringList& captions, const QStringList& names, const QStringList& values,
                   const QRect& rect, int columns);
    static void tick(const Group& group, const QString& value);
    static QString ticked(const Group& group);

    Group m_speed;
    Group m_parity;
    Group m_dataBits;
    Group m_stopBits;
    Group m_port;
    Group m_power;
    Group m_rate;
};

} // namespace ditlog
