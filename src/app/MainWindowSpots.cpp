// The main window's DX spotting: the spot desk with its list and strip, filing spots,
// the own-call warning, the spotting menu entries and the spot display's layout.
#include "app/MainWindow.h"

#include "app/EntryPanel.h"
#include "spots/windows/SpotDesk.h"
#include "ui/WindowScaling.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace ditlog {

void MainWindow::buildSpots() {
    m_spots = new SpotDesk(m_services, m_folders.WorkingFolder, m_prefs, m_prefixes, m_log,
                           *m_canvas, this, this);
    m_spots->setProgramTitle([this] { return windowTitle(); });
    connect(m_spots, &SpotDesk::ownCallSpotted, this, [this](const QString& record) {
        m_entry->showStatusOn(QStringLiteral("You've been spotted! "), Qt::white);
        QPalette p = m_entry->lblDupe->palette();
        p.setColor(QPalette::Window, Qt::white);
        m_entry->lblDupe->setPalette(p);
        m_entry->lblDupe->setText(QStringLiteral("You've been spotted!  ") + record);
    });
    connect(m_spots, &SpotDesk::callFocusRequested, this, [this] { m_entry->focusCall(); });
    connect(m_spots, &SpotDesk::sourceNotice, this, &MainWindow::showStatus);
    connect(m_spots, &SpotDesk::callChosen, this,
            [this](const QString& call) { m_entry->txtCall->setText(call); });
    connect(m_spots, &SpotDesk::spotTaken, this, [this](const QString& call) {
        // As if the operator had typed the call and pressed Tab.
        m_entry->focusCall();
        m_entry->txtCall->setText(call);
        QCoreApplication::postEvent(m_entry->txtCall,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        QCoreApplication::postEvent(m_entry->txtCall,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier));
    });
    connect(m_spots, &SpotDesk::spotHovered, this,
            [this](const QString& text) { m_entry->lblDupe->setText(text); });
    connect(m_spots, &SpotDesk::preferencesSaveRequested, this, &MainWindow::SavePref);
    connect(m_spots, &SpotDesk::displayChoiceMade, this, &MainWindow::PacketResize);
    connect(this, &MainWindow::startUpFinished, m_spots, &SpotDesk::startUp);

    QAction* spectrum = action(QStringLiteral("mnuSpectrumMap"));
    spectrum->setEnabled(true);
    connect(spectrum, &QAction::triggered, m_spots, &SpotDesk::openSpectrumMap);

    QAction* configure = action(QStringLiteral("mnuDxConfigure"));
    configure->setEnabled(true);
    connect(configure, &QAction::triggered, this, [this] {
        SavePref();
        mnuDxConfigure_Click();
    });
}

void MainWindow::mnuDxConfigure_Click() { m_spots->showSpottingWindow(); }

void MainWindow::BandMapSpots(const QString& call, const QString& frequency, const QString& record) {
    m_spots->BandMapSpots(call, frequency, record);
}

void MainWindow::PacketResize() { m_spots->PacketResize(); }

void MainWindow::DisplayBandMapLabels() { m_spots->DisplayBandMapLabels(); }

} // namespace ditlog
