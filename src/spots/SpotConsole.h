// The spotting window's console as text: everything shown (status lines, guidance and
// received text), bounded by TrimConsole, and the duplicate window over its end.
#pragma once

#include <QObject>
#include <QString>

namespace ditlog {

class SpotConsole : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kLimit = 10000;
    static constexpr qsizetype kKeep = 9000;
    static constexpr qsizetype kDuplicateWindow = 800;

    enum class Caret { Start, End };

    explicit SpotConsole(QObject* parent = nullptr) : QObject(parent) {}

    const QString& text() const { return m_text; }
    qsizetype length() const { return m_text.size(); }

    // Replaces the whole text.
    void replace(const QString& text, Caret caret = Caret::End);
    void append(const QString& text);
    // More than 10000 characters: keep the last 9000. Puts the caret at the end.
    void TrimConsole();
    // Appends and trims.
    void show(const QString& text) {
        append(text);
        TrimConsole();
    }

    // The text occurs, letter case ignored, in the last 800 characters (from position
    // length - 800 counted from 1; the whole console when that is below 1).
    bool alreadyShown(QStringView text) const;

Q_SIGNALS:
    void appended(const QString& text);
    // The whole text changed (replaced or trimmed).
    void replaced(const QString& text, ditlog::SpotConsole::Caret caret);
    void caretToEnd();

private:
    QString m_text;
};

} // namespace ditlog
