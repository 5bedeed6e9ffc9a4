// The display of a soak run: a private Xvfb the program draws on, typed at with xdotool
// as the operator's keyboard (XTEST key events, so the program sees real key presses),
// and, when asked, a session bus with the accessibility bus, where a screen reader's view
// of the windows can be read.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog::soak {

class XSession {
  public:
    XSession() = default;
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // The programs this needs that are not installed, with their Debian packages; empty
    // when all are there.
    static QString missingPrograms(bool withAccessibility);

    bool start(bool withAccessibility, QString* why);
    void stop();

    // What a program on this display needs in its environment.
    void addTo(QProcessEnvironment& environment) const;
    bool accessibility() const { return m_accessibility; }

    // xdotool key with each key of the list in turn ("ctrl+g", "Return").
    bool key(const QStringList& keys);
    bool type(const QString& text);
    // The id of the shown window whose title is exactly this, if any.
    std::optional<QString> window(const QString& title);
    bool waitForWindow(const QString& title, int ms);
    bool waitWindowGone(const QString& title, int ms);
    // Gives the window the keyboard focus (there is no window manager to do it).
    bool focus(const QString& title);
    bool screenshot(const QString& path);

  private:
    bool xdotool(const QStringList& arguments, QByteArray* output = nullptr);

    QProcess m_xvfb;
    QProcess m_bus;
    QProcess m_accessibilityBus;
    QString m_display;
    QString m_busAddress;
    bool m_accessibility = false;
};

} // namespace ditlog::soak
