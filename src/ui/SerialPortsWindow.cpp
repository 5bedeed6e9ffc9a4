// The port-number mapping window.
#include "ui/SerialPortsWindow.h"

#include "ui/WindowScaling.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesign(9000, 6300);
constexpr int kRowHeight = 330;
constexpr int kRowStep = 350;

// The device a box names: the text before " - " (the description shown beside it).
QString deviceOf(const QComboBox* box) {
    const QString text = box->currentText();
    const qsizetype cut = text.indexOf(QLatin1String(" - "));
    return (cut < 0 ? text : text.left(cut)).trimmed();
}
} // namespace

SerialPortsWindow::SerialPortsWindow(PortMap& map, const Screen& screen, UserPrompts& prompts,
                                     DeviceList devices, QWidget* parent)
    : QWidget(parent, Qt::Window), m_map(map), m_devices(std::move(devices)) {
    setObjectName(QStringLiteral("frmSerialPorts"));
    setWindowTitle(QStringLiteral("Serial Ports"));
    auto* canvas = new DesignCanvas(kDesign, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas);

    auto* heading = new QLabel(QStringLiteral("Each port number opens the device beside it. Choose a "
                                              "device found on this computer or type a path."),
                               canvas);
    heading->setObjectName(QStringLiteral("lblHeading"));
    heading->setWordWrap(true);
    canvas->place(heading, 150, 80, 8700, 450);
    QWidget* previous = nullptr;
    for (int n = PortMap::kFirstPort; n <= PortMap::kLastPort; ++n) {
        const int column = (n - 1) / 8;
        const int top = 600 + ((n - 1) % 8) * kRowStep;
        auto* label = new QLabel(QStringLiteral("Port %1").arg(n), canvas);
        label->setObjectName(QStringLiteral("lblPort%1").arg(n));
        canvas->place(label, 150 + column * 4450, top, 850, kRowHeight);
        auto* box = new QComboBox(canvas);
        box->setObjectName(QStringLiteral("cboPort%1").arg(n));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setAccessibleName(QStringLiteral("Port %1").arg(n));
        label->setBuddy(box);
        canvas->place(box, 1000 + column * 4450, top, 3450, kRowHeight);
        ports[n - 1] = box;
        if (previous != nullptr) {
            setTabOrder(previous, box);
        }
        previous = box;
    }
    lblDevices = new QLabel(canvas);
    lblDevices->setObjectName(QStringLiteral("lblDevices"));
    lblDevices->setAccessibleName(QStringLiteral("Devices found"));
    lblDevices->setWordWrap(true);
    lblDevices->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDevices->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    canvas->place(lblDevices, 150, 3500, 8700, 2000);
    cmdRefresh = new QPushButton(QStringLiteral("&Refresh"), canvas);
    cmdDone = new QPushButton(QStringLiteral("&Done"), canvas);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), canvas);
    int left = 4200;
    for (auto [button, name] : {std::pair{cmdRefresh, "cmdRefresh"}, std::pair{cmdDone, "cmdDone"},
                                std::pair{cmdCancel, "cmdCancel"}}) {
        button->setObjectName(QLatin1String(name));
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
        button->setAutoDefault(false);
        canvas->place(button, left, 5700, 1500, 420);
        setTabOrder(previous, button);
        previous = button;
        left += 1600;
    }
    connect(cmdRefresh, &QPushButton::clicked, this, &SerialPortsWindow::refresh);
    connect(cmdDone, &QPushButton::clicked, this, &SerialPortsWindow::cmdDone_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
    resize(canvas->size());
    ScaleWindowToScreen(this, canvas, screen, prompts);
    refresh();
}

void SerialPortsWindow::refresh() {
    const QList<SerialDeviceInfo> devices = m_devices ? m_devices() : QList<SerialDeviceInfo>();
    QStringList found;
    for (const SerialDeviceInfo& d : devices) {
        found << (d.description.isEmpty() ? d.path : d.path + QStringLiteral(" - ") + d.description);
    }
    for (int n = PortMap::kFirstPort; n <= PortMap::kLastPort; ++n) {
        QComboBox* box = ports[n - 1];
        box->clear();
        box->addItem(PortMap::defaultDevicePath(n) + QStringLiteral(" - default"));
        box->addItems(found);
        const QString mapped = m_map.mappedPath(n);
        if (mapped.isEmpty()) {
            box->setCurrentIndex(0);
        } else {
            int at = -1;
            for (int i = 0; i < devices.size() && at < 0; ++i) {
                at = devices.at(i).path == mapped ? i : -1;
            }
            if (at >= 0) {
                box->setCurrentIndex(at + 1);
            } else {
                box->setEditText(mapped);
            }
        }
    }
    lblDevices->setText(found.isEmpty()
                            ? QStringLiteral("No serial devices were found on this computer.")
                            : QStringLiteral("Devices found:\n") + found.join(QLatin1Char('\n')));
}

void SerialPortsWindow::cmdDone_Click() {
    for (int n = PortMap::kFirstPort; n <= PortMap::kLastPort; ++n) {
        m_map.setMappedPath(n, deviceOf(ports[n - 1]));
    }
    hide();
    Q_EMIT mappingChanged();
}

void SerialPortsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        refresh();
    }
}

} // namespace ditlog
