// Band plan panel: the header, the class buttons and the labels of the drawing.
#include "charts/windows/BandPlanWindow.h"

#include "charts/BandPlanLayout.h"
#include "platform/Screen.h"
#include "platform/UserPrompts.h"
#include "ui/WindowScaling.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesignSize(9000, 6600);
constexpr double kDesignFontPt = 8.25;
constexpr int kSeparatorTop = 1500;

QColor fromStored(quint32 v) {
    return {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

bool isDrawing(const QObject* o) {
    const QString n = o->objectName();
    return n.startsWith(QLatin1String("blbl")) || n.startsWith(QLatin1String("priv")) ||
           n.startsWith(QLatin1String("bnlb"));
}

QLabel* legend(const QString& text, const QColor& back, const QColor& fore, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Box);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, fore);
    label->setPalette(p);
    return label;
}
} // namespace

BandPlanWindow::BandPlanWindow(const QString& workingFolder, const Screen& screen, UserPrompts& prompts,
                               QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_screen(screen) {
    setObjectName(QStringLiteral("frmBandPlan"));
    setWindowTitle(QStringLiteral("Frequency Privileges"));
    m_canvas = new DesignCanvas(kDesignSize, this);
    QFont designFont = m_canvas->font();
    designFont.setPointSizeF(kDesignFontPt);
    m_canvas->setFont(designFont);
    m_canvas->setDesignFontPointSize(kDesignFontPt);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    buildHeader();

    m_plan = loadBandPlan(workingFolder);
    if (m_plan && m_plan->rows.size() > BandPlan::kMaxRecords) {
        m_plan.reset(); // more than the panel holds: refused as a whole
    }
    lblEffective->setText(QStringLiteral("Frequencies Effective: ") + (m_plan ? m_plan->effectiveDate : QString()));
    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, m_prompts);
    chooseClass(QStringLiteral("E"));
}

void BandPlanWindow::buildHeader() {
    lblTitle = new QLabel(m_canvas);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setAlignment(Qt::AlignCenter);
    QFont big = lblTitle->font();
    big.setPointSizeF(12);
    big.setBold(true);
    lblTitle->setFont(big);
    m_canvas->place(lblTitle, 120, 100, 8760, 400);
    lblEffective = new QLabel(m_canvas);
    lblEffective->setObjectName(QStringLiteral("lblEffective"));
    m_canvas->place(lblEffective, 240, 560, 5000, 260);
    auto* cw = legend(QStringLiteral("CW"), fromStored(0xFF0000), Qt::white, m_canvas);
    cw->setObjectName(QStringLiteral("lblLegendCw"));
    m_canvas->place(cw, 6600, 560, 1000, 260);
    auto* phone = legend(QStringLiteral("Phone"), fromStored(0x00FF00), Qt::black, m_canvas);
    phone->setObjectName(QStringLiteral("lblLegendPhone"));
    m_canvas->place(phone, 7700, 560, 1000, 260);

    const QList<std::tuple<QPushButton**, const char*, const char*>> buttons{
        {&Command1, "Novice", "N"},  {&Command2, "Technician", "T"}, {&Command3, "Tech +", "P"},
        {&Command4, "General", "G"}, {&Command5, "Advanced", "A"},   {&Command6, "Extra", "E"},
        {&Command7, "Done", ""}};
    int left = 240;
    int n = 1;
    for (const auto& [member, text, code] : buttons) {
        auto* b = new QPushButton(QLatin1String(text), m_canvas);
        b->setObjectName(QStringLiteral("Command%1").arg(n++));
        b->setAccessibleName(QLatin1String(text));
        b->setAutoDefault(false);
        m_canvas->place(b, left, 940, 1140, 400);
        left += 1220;
        *member = b;
        const QString classCode = QLatin1String(code);
        if (classCode.isEmpty()) {
            connect(b, &QPushButton::clicked, this, &QDialog::accept);
        } else {
            connect(b, &QPushButton::clicked, this, [this, classCode] { chooseClass(classCode); });
        }
    }
    m_separator = new QFrame(m_canvas);
    m_separator->setObjectName(QStringLiteral("linSeparator"));
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->setFrameShadow(QFrame::Sunken);
    m_canvas->place(m_separator, 0, kSeparatorTop, kDesignSize.width(), 60);
}

void BandPlanWindow::chooseClass(const QString& classCode) {
    lblTitle->setText(bandPlanTitle(classCode));
    DrawPrivileges(classCode);
}

double BandPlanWindow::fontScale() const {
    return std::min(1.5, double(m_screen.sizeTwips().width()) / kDesignWidthTwips);
}

void BandPlanWindow::DrawPrivileges(const QString& classCode) {
    m_class = classCode;
    const QObjectList children = m_canvas->children();
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        if (isDrawing(children.at(i))) {
            delete children.at(i);
        }
    }
    if (!m_plan) {
        return;
    }
    const QSize outer = frameGeometry().size().expandedTo(size());
    const BandPlanGeometry g{double(outer.width() * kTwipsPerPixel), double(outer.height() * kTwipsPerPixel),
                             double(m_separator->geometry().top() * kTwipsPerPixel), fontScale()};
    for (const BandPlanLabel& item : ditlog::DrawPrivileges(m_plan->rows, classCode, g)) {
        auto* label = new QLabel(item.caption, m_canvas);
        label->setObjectName(item.name);
        label->setTextFormat(Qt::PlainText);
        label->setToolTip(item.toolTip);
        label->setAccessibleName(item.toolTip);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Box);
        label->setAutoFillBackground(true);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, fromStored(item.backColour));
        p.setColor(QPalette::WindowText, fromStored(item.foreColour));
        label->setPalette(p);
        if (!item.fontFamily.isEmpty()) {
            QFont f(item.fontFamily);
            f.setPointSizeF(std::max(1.0, item.fontPoints));
            f.setBold(item.bold);
            label->setFont(f);
        }
        const QRectF& r = item.twips;
        label->setGeometry(QRectF(r.left() / kTwipsPerPixel, r.top() / kTwipsPerPixel,
                                  r.width() / kTwipsPerPixel, r.height() / kTwipsPerPixel)
                               .toRect());
        label->show();
        if (item.kind == BandPlanLabel::Kind::Segment) {
            label->raise();
        }
    }
}

void BandPlanWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_plan && !m_told) {
        m_told = true;
        QTimer::singleShot(0, this, [this] {
            m_prompts.message(QStringLiteral("Band Data Not Available."), QStringLiteral("Band data not available."),
                              PromptButtons::Ok, PromptIcon::Warning);
        });
    }
}

void BandPlanWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // Once the canvas has taken the new size (the separator moves with it).
    if (!m_redrawPending) {
        m_redrawPending = true;
        QTimer::singleShot(0, this, [this] {
            m_redrawPending = false;
            DrawPrivileges(m_class);
        });
    }
}

} // namespace ditlog
