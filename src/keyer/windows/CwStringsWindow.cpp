// The CW message list window.
#include "keyer/windows/CwStringsWindow.h"

#include "keyer/CwKeyer.h"
#include "keyer/windows/FormControls.h"
#include "ui/WindowScaling.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesign(6000, 5600);
// F1 ... F9, F10 as 124, F11, F12 (nothing here).
constexpr int kKeyCodes[] = {112, 113, 114, 115, 116, 117, 118, 119, 120, 124, 122, 0};
constexpr int kMessageOfKey[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -1};
} // namespace

CwStringsWindow::CwStringsWindow(CwKeyer& keyer, const Screen& screen, UserPrompts& prompts,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), m_keyer(keyer) {
    setObjectName(QStringLiteral("frmCWStrings"));
    setWindowTitle(QStringLiteral("CW Strings"));
    m_canvas = new DesignCanvas(kDesign, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    for (int i = 0; i < 12; ++i) {
        const int top = 150 + i * 390;
        keys[i] = placeButton(*m_canvas, QStringLiteral("lblF%1").arg(i + 1),
                              QStringLiteral("F%1").arg(i + 1), {150, top, 600, 330});
        keys[i]->setFlat(true);
        texts[i] = placeLabel(*m_canvas, QStringLiteral("lblString%1").arg(i + 1), QString(),
                              {850, top, 5000, 330});
        texts[i]->setAccessibleDescription(QStringLiteral("F%1 message").arg(i + 1));
        texts[i]->installEventFilter(this);
        connect(keys[i], &QPushButton::clicked, this, [this, i] { keyClicked(i); });
    }
    texts[11]->setText(QStringLiteral("Keyboard"));
    placeLabel(*m_canvas, QStringLiteral("lblNote"), QStringLiteral("Press Ctrl W to Show this form."),
               {150, 4900, 3500, 300});
    cmdDone = placeButton(*m_canvas, QStringLiteral("cmdDone"), QStringLiteral("Done"), {4300, 4850, 1500, 400});
    connect(cmdDone, &QPushButton::clicked, this, &QWidget::showMinimized);
    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, prompts);
    refresh();
}

void CwStringsWindow::refresh() {
    const CwSettings& s = m_keyer.settings();
    for (int i = 0; i < 11; ++i) {
        texts[i]->setText(s.messages[kMessageOfKey[i]]);
        keys[i]->setAccessibleDescription(s.messages[kMessageOfKey[i]]);
    }
}

void CwStringsWindow::keyClicked(int index) {
    if (index < 0 || index >= 12 || kKeyCodes[index] == 0 || !m_keyer.keyingLineSelected()) {
        return;
    }
    m_keyer.FKeyCW(kKeyCodes[index]);
}

bool CwStringsWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        refresh();
    }
    // Function keys, arrows, Esc and keyboard CW work here as on the main window.
    if (event->type() == QEvent::KeyPress && m_keyHandler &&
        m_keyHandler(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QWidget::event(event);
}

bool CwStringsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 12; ++i) {
            if (watched == texts[i]) {
                keyClicked(i);
                return true;
            }
        }
    }
    return false;
}

} // namespace ditlog
