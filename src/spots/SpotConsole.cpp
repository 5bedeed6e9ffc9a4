// Console text, trimming and the duplicate window.
#include "spots/SpotConsole.h"

namespace ditlog {

void SpotConsole::replace(const QString& text, Caret caret) {
    m_text = text;
    Q_EMIT replaced(m_text, caret);
}

void SpotConsole::append(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    if (text.size() > kLimit + 1) {
        // Whatever comes before the last 10001 characters is trimmed away anyway: a flood
        // never passes through the console whole.
        m_text = text.right(kLimit + 1);
        Q_EMIT replaced(m_text, Caret::End);
        return;
    }
    m_text += text;
    Q_EMIT appended(text);
}

void SpotConsole::TrimConsole() {
    if (m_text.size() > kLimit) {
        m_text = m_text.right(kKeep);
        Q_EMIT replaced(m_text, Caret::End);
    } else if (m_text.size() >= 3) {
        Q_EMIT caretToEnd();
    }
}

bool SpotConsole::alreadyShown(QStringView text) const {
    const qsizetype from = std::max<qsizetype>(0, m_text.size() - kDuplicateWindow - 1);
    return QStringView(m_text).mid(from).contains(text, Qt::CaseInsensitive);
}

} // namespace ditlog
