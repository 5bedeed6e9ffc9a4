// The words spoken for what a sighted operator reads at a glance: calls letter by
// letter, the duplicate with its earlier contact, the score and the last contact.
#pragma once

#include <QString>

namespace ditlog {

struct ContactRecord;

// "K1ABC/P" as "K 1 A B C stroke P", so that a voice says each character.
QString spokenCall(const QString& call);

// The words for a status-line text: the duplicate text ("Duplicate K1ABC 2007/03/04
// 14:05:33  Rec# 12") with its call spelled; other texts as they stand; nothing for a
// blank text.
QString spokenStatus(const QString& status);

struct ScoreFigures {
    QString contacts;
    QString points;
    QString multipliers;
    QString score;
};
QString spokenScore(const ScoreFigures& figures);

// "Last contact K 1 A B C, 14:05, 20 metres, Bob, 1234, MA" (or "No contacts yet").
QString spokenLastContact(const ContactRecord* record);

} // namespace ditlog
