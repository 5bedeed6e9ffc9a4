// Editing the shared preference file as text, without an XML parser: other programs
// read it as a flat list of elements.
#include "log/SharedPreferences.h"

#include "log/RecordFile.h"

#include <QFile>
#include <QStringDecoder>

namespace ditlog {

namespace {
const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
const QString kLineBreak = QStringLiteral("\r\n");
} // namespace

void SharedPreferences::OpenSharedPreferences(const QString& path) {
    m_path = path;
    m_unreadable = false;
    m_text = kDeclaration;
    if (!QFile::exists(path)) {
        return;
    }
    // A file that cannot be read as text (too large, not UTF-8) belongs to someone else's
    // idea of it: it is never replaced by what this program would write.
    const auto content = readWholeFile(path, nullptr, 4 * 1024 * 1024);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = content ? utf8.decode(*content) : QString();
    if (!content || utf8.hasError()) {
        m_unreadable = true;
        return;
    }
    m_text = decoded;
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
    // The first whole element: an opening tag whose closing tag comes before the next
    // opening tag of the same name. An opening tag whose end was lost is passed over, so
    // the text up to a later element's closing tag is never taken for its content.
    qsizetype start = m_text.indexOf(open);
    while (start >= 0) {
        const qsizetype contentStart = start + open.size();
        const qsizetype closeAt = m_text.indexOf(close, contentStart);
        if (closeAt < 0) {
            break;
        }
        const qsizetype next = m_text.indexOf(open, contentStart);
        if (next < 0 || next > closeAt) {
            m_text.replace(contentStart, closeAt - contentStart, value);
            return writeNow ? WriteSharedPreferences() : std::nullopt;
        }
        start = next;
    }
    // A missing element, or only opening tags whose end was lost, gets a fresh element.
    m_text += kLineBreak + open + value + close;
    return writeNow ? WriteSharedPreferences() : std::nullopt;
}

std::optional<QString> SharedPreferences::WriteSharedPreferences() {
    if (m_unreadable) {
        return QStringLiteral("\"%1\" could not be read as text, so it was left as it is.")
            .arg(m_path);
    }
    if (m_path.isEmpty()) {
        return QStringLiteral("No shared preference file was opened.");
    }
    return writeFileAtomically(m_path, (m_text + kLineBreak).toUtf8());
}

} // namespace ditlog
