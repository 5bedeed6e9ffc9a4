// Help text and logo windows.
#include "app/HelpWindow.h"

#include "platform/ShippedData.h"
#include "platform/Screen.h"
#include "ui/WindowScaling.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ditlog {

QString HelpWindow::helpText() {
    const auto text = readShippedData(QStringLiteral("help.txt"));
    if (!text) {
        return QStringLiteral("The help text is missing from this installation.");
    }
    return QString::fromUtf8(*text);
}

HelpWindow::HelpWindow(const Screen& screen, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Ditlog Help"));
    setModal(true);
    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("txtHelp"));
    text->setAccessibleName(QStringLiteral("Help text"));
    text->setPlainText(helpText());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    ScaleLaidOutWindow(this, kDesignTwips, 8.25, screen);
}

LogoWindow::LogoWindow(const Screen& screen, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmLogo"));
    setAccessibleName(QStringLiteral("Ditlog"));
    setAccessibleDescription(QStringLiteral("CW sprint logger, starting up"));
    ScaleLaidOutWindow(this, kDesignTwips, 8.25, screen);
    setFixedSize(size());
}

void LogoWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn in its design pixels, scaled to the window's size.
    const QSize design = kDesignTwips / kTwipsPerPixel;
    p.scale(double(width()) / design.width(), double(height()) / design.height());
    QLinearGradient sky(0, 0, 0, design.height());
    sky.setColorAt(0, QColor(20, 40, 80));
    sky.setColorAt(1, QColor(0, 110, 130));
    p.fillRect(QRect(QPoint(0, 0), design), sky);
    // A dit and a dah: the program's mark.
    p.setBrush(QColor(255, 255, 192));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(40, 60, 36, 36));
    p.drawRoundedRect(QRectF(92, 66, 100, 24), 12, 12);
    p.setPen(Qt::white);
    QFont title = font();
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(210, 40, 200, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ditlog"));
    QFont small = font();
    small.setPixelSize(13);
    p.setFont(small);
    p.drawText(QRect(40, 130, 360, 60), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("CW sprint logger  -  version %1\nStarting up...")
                   .arg(QStringLiteral(DITLOG_VERSION)));
}

} // namespace ditlog
