// Editing the shared preference file as text, without an XML parser: other programs
// read it as a flat list of elements.
#include "log/SharedPreferences.h"

#include "log/RecordFile.h"

#include <QFile>

namespace ditlog {

namespace {
const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
const QString kLineBreak = QStringLiteral("\r\n");
} // namespace

void SharedPreferences::OpenSharedPreferences(const QString& path) {
    m_path = path;
    const auto content = QFile::exists(path) ? readWholeFile(path) : std::nullopt;
    if (!content) {
        m_text = kDeclaration;
        return;
    }
    m_text = QString::fromUtf8(*content);
    // Drop the final line break only: a file saved without one keeps its last element whole.
    if (m_text.endsWith(kLineBreak)) {
        m_text.chop(2);
    } else if (m_text.endsWith(QLatin1Char('\n'))) {
        m_text.chop(1);
    }
    if (m_text.trimmed().isEmpty()) {
        m_text = kDeclaration;
    }
}

std::optional<QString> SharedPreferences::SetSharedPreference(const QString& tag,
                                                              const QString& value,
                                                              bool writeNow) {
    const QString name = tag.toUpper();
    const QString open = QLatin1Char('<') + name + QLatin1Char('>');
    const QString close = QStringLiteral("</") + name + QLatin1Char('>');
    const qsizetype start = m_text.indexOf(open);
    const qsizetype closeAt = start < 0 ? -1 : m_text.indexOf(close, start + open.size());
    if (closeAt >= 0) {
        const qsizetype contentStart = start + open.size();
        m_text.replace(contentStart, closeAt - contentStart, value);
    } else {
        // A missing element, or an opening tag whose end was lost, gets a fresh element.
        m_text += kLineBreak + open + value + close;
    }
    return writeNow ? WriteSharedPreferences() : std::nullopt;
}

std::optional<QString> SharedPreferences::WriteSharedPreferences() {
    if (m_path.isEmpty()) {
        return QStringLiteral("No shared preference file was opened.");
    }
    return writeFileAtomically(m_path, (m_text + kLineBreak).toUtf8());
}

} // namespace ditlog
