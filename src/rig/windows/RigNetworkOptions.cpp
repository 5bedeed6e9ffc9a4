// Layout and reading of the rig daemon's host and port.
#include "rig/windows/RigNetworkOptions.h"

#include "rig/RigSettings.h"
#include "ui/WindowScaling.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace ditlog {

namespace {
constexpr int kLeft = 2160;
constexpr int kWidth = 3600;
constexpr int kRow = 260;

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

RigNetworkOptions::RigNetworkOptions(DesignCanvas& canvas, QObject* parent) : QObject(parent) {
    m_frame = new QGroupBox(QStringLiteral("Hamlib rigctld:"), &canvas);
    m_frame->setObjectName(QStringLiteral("fraRigctld"));
    m_frame->setAccessibleName(QStringLiteral("Hamlib rigctld:"));
    canvas.place(m_frame, kLeft, 120, kWidth, 2560);

    auto* hostCaption = caption(QStringLiteral("Host:"), &canvas);
    canvas.place(hostCaption, kLeft + 120, 440, 700, kRow);
    txtRigctldHost = new QLineEdit(&canvas);
    txtRigctldHost->setObjectName(QStringLiteral("txtRigctldHost"));
    txtRigctldHost->setAccessibleName(QStringLiteral("Host:"));
    txtRigctldHost->setAccessibleDescription(QStringLiteral("Hamlib rigctld:"));
    txtRigctldHost->setToolTip(QStringLiteral("The computer rigctld runs on: 127.0.0.1 for this one"));
    txtRigctldHost->setMaxLength(253);
    hostCaption->setBuddy(txtRigctldHost);
    canvas.place(txtRigctldHost, kLeft + 840, 420, 2640, 300);

    auto* portCaption = caption(QStringLiteral("Port:"), &canvas);
    canvas.place(portCaption, kLeft + 120, 840, 700, kRow);
    txtRigctldPort = new QSpinBox(&canvas);
    txtRigctldPort->setObjectName(QStringLiteral("txtRigctldPort"));
    txtRigctldPort->setAccessibleName(QStringLiteral("Port:"));
    txtRigctldPort->setAccessibleDescription(QStringLiteral("Hamlib rigctld:"));
    txtRigctldPort->setToolTip(QStringLiteral("rigctld's TCP port (its -t option; 4532 unless changed)"));
    txtRigctldPort->setRange(1, 65535);
    portCaption->setBuddy(txtRigctldPort);
    canvas.place(txtRigctldPort, kLeft + 840, 820, 1200, 300);

    auto* statusCaption = caption(QStringLiteral("Connection:"), &canvas);
    canvas.place(statusCaption, kLeft + 120, 1240, 1400, kRow);
    lblRigctldStatus = new QLabel(&canvas);
    lblRigctldStatus->setObjectName(QStringLiteral("lblRigctldStatus"));
    lblRigctldStatus->setTextFormat(Qt::PlainText);
    lblRigctldStatus->setWordWrap(true);
    lblRigctldStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRigctldStatus->setAccessibleDescription(QStringLiteral("Connection:"));
    canvas.place(lblRigctldStatus, kLeft + 120, 1520, kWidth - 240, 1060);
    m_captions = {hostCaption, portCaption, statusCaption};

    connect(txtRigctldHost, &QLineEdit::editingFinished, this, [this] {
        if (txtRigctldHost->text().trimmed() != m_shownHost) {
            m_shownHost = txtRigctldHost->text().trimmed();
            Q_EMIT edited();
        }
    });
    connect(txtRigctldPort, &QSpinBox::editingFinished, this, [this] {
        if (txtRigctldPort->value() != m_shownPort) {
            m_shownPort = txtRigctldPort->value();
            Q_EMIT edited();
        }
    });
}

void RigNetworkOptions::show(const RigSettings& settings) {
    m_shownHost = settings.networkHost;
    m_shownPort = settings.networkPort;
    txtRigctldHost->setText(settings.networkHost);
    txtRigctldPort->setValue(settings.networkPort);
}

void RigNetworkOptions::collect(RigSettings& settings) const {
    const QString host = txtRigctldHost->text().trimmed();
    if (!host.isEmpty() && !host.contains(QLatin1Char(' '))) {
        settings.networkHost = host;
    }
    settings.networkPort = quint16(txtRigctldPort->value());
}

void RigNetworkOptions::setVisible(bool visible) {
    m_frame->setVisible(visible);
    txtRigctldHost->setVisible(visible);
    txtRigctldPort->setVisible(visible);
    lblRigctldStatus->setVisible(visible);
    for (QWidget* w : std::as_const(m_captions)) {
        w->setVisible(visible);
    }
}

void RigNetworkOptions::showStatus(const QString& status) {
    lblRigctldStatus->setText(status);
}

QList<QWidget*> RigNetworkOptions::tabOrder() const {
    return {txtRigctldHost, txtRigctldPort};
}

} // namespace ditlog
