// "SharedUserPreferences.xml": the operator's station data as flat tagged elements for
// other station programs, edited in memory and written on request.
#pragma once

#include <QString>

#include <optional>

namespace ditlog {

class SharedPreferences {
public:
    // Loads the file, dropping its final line break, or starts a new text with the XML
    // declaration when it does not exist.
    void OpenSharedPreferences(const QString& path);

    // Replaces the element's content or appends the element; writes when writeNow.
    // Returns the write error, if any.
    std::optional<QString> SetSharedPreference(const QString& tag, const QString& value,
                                               bool writeNow);

    std::optional<QString> WriteSharedPreferences();

    const QString& text() const { return m_text; }
    const QString& path() const { return m_path; }

private:
    QString m_text;
    QString m_path;
    bool m_unreadable = false;
};

} // namespace ditlog
