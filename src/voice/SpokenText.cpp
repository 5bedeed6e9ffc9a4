// Spoken forms of calls, status texts, the score and a contact.
#include "voice/SpokenText.h"

#include "log/ContactLog.h"

#include <QRegularExpression>
#include <QStringList>

namespace ditlog {

QString spokenCall(const QString& call) {
    QStringList parts;
    for (const QChar c : call.trimmed()) {
        if (c == QLatin1Char('/')) {
            parts.append(QStringLiteral("stroke"));
        } else if (!c.isSpace()) {
            parts.append(QString(c.toUpper()));
        }
    }
    return parts.join(QLatin1Char(' '));
}

QString spokenStatus(const QString& status) {
    const QString text = status.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    static const QRegularExpression duplicate(
        QStringLiteral("^Duplicate (\\S+) (\\S+) (\\S+)\\s+Rec# (\\d+)$"));
    const QRegularExpressionMatch m = duplicate.match(text);
    if (m.hasMatch()) {
        return QStringLiteral("Duplicate %1. Worked %2 at %3, record %4.")
            .arg(spokenCall(m.captured(1)), m.captured(2), m.captured(3), m.captured(4));
    }
    return text;
}

QString spokenScore(const ScoreFigures& f) {
    return QStringLiteral("Score %1. %2 contacts, %3 points, %4 multipliers.")
        .arg(f.score, f.contacts, f.points, f.multipliers);
}

QString spokenLastContact(const ContactRecord* r) {
    if (r == nullptr) {
        return QStringLiteral("No contacts yet.");
    }
    QStringList parts{QStringLiteral("Last contact ") + spokenCall(r->call),
                      r->time.left(5), r->band + QStringLiteral(" metres")};
    for (const QString& field : {r->name, r->exchange, r->spc}) {
        if (!field.trimmed().isEmpty()) {
            parts.append(field.trimmed());
        }
    }
    return parts.join(QStringLiteral(", ")) + QLatin1Char('.');
}

} // namespace ditlog
