// The rig window's frame for "Hamlib rigctld": the daemon's host and port, shown in place
// of the serial options, and the state of the connection in words.
#pragma once

#include <QObject>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace ditlog {

class DesignCanvas;
struct RigSettings;

class RigNetworkOptions : public QObject {
    Q_OBJECT
public:
    explicit RigNetworkOptions(DesignCanvas& canvas, QObject* parent = nullptr);

    void show(const RigSettings& settings);
    // Host and port into the settings (an empty host keeps the one they held).
    void collect(RigSettings& settings) const;
    void setVisible(bool visible);
    void showStatus(const QString& status);
    QList<QWidget*> tabOrder() const;

    QLineEdit* txtRigctldHost = nullptr;
    QSpinBox* txtRigctldPort = nullptr;
    QLabel* lblRigctldStatus = nullptr;

Q_SIGNALS:
    // The operator changed the host or the port.
    void edited();

private:
    QGroupBox* m_frame = nullptr;
    QList<QWidget*> m_captions;
    QString m_shownHost;
    int m_shownPort = 0;
};

} // namespace ditlog
