// The serial options of the TNC on the spotting window: port, baud, parity, data bits,
// stop bits, power line and handshaking, each a frame of option buttons, read from and
// written to the spot settings.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QGroupBox;
class QRadioButton;

namespace ditlog {

class DesignCanvas;
struct SpotSourceSettings;

class TncOptionsPanel : public QObject {
    Q_OBJECT
public:
    // Places its frames on the canvas with their top at the given height (twips).
    TncOptionsPanel(DesignCanvas& canvas, int top, QObject* parent = nullptr);

    void showSettings(const SpotSourceSettings& settings);
    // Copies the checked buttons into the settings.
    void collect(SpotSourceSettings& settings) const;
    void setEnabled(bool on);
    // Every button, in tab order.
    const QList<QRadioButton*>& buttons() const { return m_all; }
    QList<QGroupBox*> frames() const { return m_frames; }
    int bottom() const { return m_bottom; }

    QList<QRadioButton*> optComm;   // ports 1..10
    QList<QRadioButton*> optBaud;   // 1200 .. 19200
    QList<QRadioButton*> optParity; // Odd, None, Even
    QList<QRadioButton*> optData;   // 7, 8
    QList<QRadioButton*> optStop;   // 1, 2
    QList<QRadioButton*> optPower;  // None, RTS, DTR
    QList<QRadioButton*> optHandshake; // Option1..Option4

Q_SIGNALS:
    // The operator clicked one of the buttons.
    void optionClicked();

private:
    struct Button {
        QString name;
        QString caption;
    };
    QList<QRadioButton*> addFrame(DesignCanvas& canvas, const QString& name, const QString& title,
                                  const QRect& rect, const QList<Button>& buttons, int columns);

    QList<QRadioButton*> m_all;
    QList<QGroupBox*> m_frames;
    int m_bottom = 0;
};

} // namespace ditlog
