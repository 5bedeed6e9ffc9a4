// The published code table and a reader of keyed timings.
#include "InternationalMorse.h"

#include <QHash>

namespace ditlog::testing {

const QList<MorseCode>& internationalMorse() {
    static const QList<MorseCode> table{
        {u'A', ".-"},     {u'B', "-..."},   {u'C', "-.-."},   {u'D', "-.."},    {u'E', "."},
        {u'F', "..-."},   {u'G', "--."},    {u'H', "...."},   {u'I', ".."},     {u'J', ".---"},
        {u'K', "-.-"},    {u'L', ".-.."},   {u'M', "--"},     {u'N', "-."},     {u'O', "---"},
        {u'P', ".--."},   {u'Q', "--.-"},   {u'R', ".-."},    {u'S', "..."},    {u'T', "-"},
        {u'U', "..-"},    {u'V', "...-"},   {u'W', ".--"},    {u'X', "-..-"},   {u'Y', "-.--"},
        {u'Z', "--.."},   {u'0', "-----"},  {u'1', ".----"},  {u'2', "..---"},  {u'3', "...--"},
        {u'4', "....-"},  {u'5', "....."},  {u'6', "-...."},  {u'7', "--..."},  {u'8', "---.."},
        {u'9', "----."},  {u'.', ".-.-.-"}, {u',', "--..--"}, {u'?', "..--.."}, {u'/', "-..-."},
        {u'=', "-...-"},  {u'[', ".-.-."},  {u']', "...-.-"}, {u';', "-.--."},  {u'\\', "-.-..-.."},
    };
    return table;
}

QString patternForDots(const QString& dots) {
    QString out;
    for (const QChar c : dots) {
        out += c == u'.' ? QStringLiteral("10") : QStringLiteral("1110");
    }
    return out + QStringLiteral("00");
}

QString decodeMorse(const std::vector<std::pair<qint64, bool>>& changes, qint64 unitNs) {
    static const QHash<QString, QChar> byDots = [] {
        QHash<QString, QChar> h;
        for (const MorseCode& code : internationalMorse()) {
            h.insert(code.dots, code.character);
        }
        return h;
    }();
    QString text;
    QString dots;
    const auto endCharacter = [&] {
        if (!dots.isEmpty()) {
            text += byDots.value(dots, u'#');
            dots.clear();
        }
    };
    for (std::size_t i = 0; i + 1 < changes.size(); i += 2) {
        const double mark = double(changes[i + 1].first - changes[i].first) / double(unitNs);
        dots += mark < 2 ? u'.' : u'-';
        if (i + 2 < changes.size()) {
            const double space = double(changes[i + 2].first - changes[i + 1].first) / double(unitNs);
            if (space >= 2) {
                endCharacter();
            }
            if (space >= 5) {
                text += u' ';
            }
        }
    }
    endCharacter();
    return text;
}

} // namespace ditlog::testing
