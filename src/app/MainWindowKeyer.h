// The main window's side of CW keying: it answers the keyer's questions (call, report,
// logging the contact, the status line), reads "CW.txt" at start, and opens the CW
// keyer window, the message list, code practice and the serial-port window.
#pragma once

#include "keyer/CwKeyer.h"
#include "keyer/windows/CodePracticeWindow.h"
#include "platform/Services.h"

#include <QObject>
#include <QPointer>

namespace ditlog {

class CwKeyerWindow;
class CwStringsWindow;
class MainWindow;
class PortMap;
class SerialPortsWindow;
class WinKeyWindow;
class WinKeyerLink;

class KeyerWiring final : public QObject, public CwKeyerHost {
    Q_OBJECT
public:
    KeyerWiring(MainWindow& window, CwKeyer& keyer, PortMap& ports, Services services,
                QString workingFolder);
    ~KeyerWiring() override;

    CwKeyer& keyer() { return m_keyer; }
    // The windows, created on first use and kept until the main window closes.
    CwKeyerWindow& cwWindow();
    CwStringsWindow& stringsWindow();
    SerialPortsWindow& serialPortsWindow();
    CodePracticeWindow* codePracticeWindow() const { return m_practice; }
    // The external keyer, when the station has its link.
    void attachWinKeyer(WinKeyerLink& link);
    WinKeyerLink* winKeyer() const { return m_winKeyer; }
    WinKeyWindow& winKeyWindow();
    void showWinKey();

    void showCwSetup();
    void showStrings();
    void showSerialPorts();
    void showCodePractice();
    void closeWindows();

    // CwKeyerHost
    QString callForMessages() const override;
    QString reportSentForMessages() const override;
    void logContact() override;
    bool keyboardCwMode() const override;
    void showKeyerStatus(const QString& text) override;

private:
    MainWindow& m_window;
    CwKeyer& m_keyer;
    PortMap& m_ports;
    Services m_services;
    QString m_workingFolder;
    CwKeyerWindow* m_cwWindow = nullptr;
    CwStringsWindow* m_strings = nullptr;
    SerialPortsWindow* m_serialPorts = nullptr;
    WinKeyerLink* m_winKeyer = nullptr;
    WinKeyWindow* m_winKeyWindow = nullptr;
    bool m_winKeyLoaded = false;
    QPointer<CodePracticeWindow> m_practice;
};

} // namespace ditlog
