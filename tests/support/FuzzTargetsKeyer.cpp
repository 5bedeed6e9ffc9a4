// Fuzz targets of the keyer.
#include "FuzzTargetsKeyer.h"
#include "FuzzRules.h"

#include "keyer/CwSettings.h"

#include <QByteArray>
#include <QtGlobal>

namespace ditlog::testing {

void fuzzCwSettings(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const CwSettings s = readCwSettings(input);
    for (const QString& text : s.messages) {
        if (!storable(text)) {
            qFatal("a message that cannot be stored was read");
        }
    }
    for (const QString* text : {&s.portText, &s.speedText, &s.wordSpaceText, &s.parallelText, &s.repeatText}) {
        if (!storable(*text)) {
            qFatal("a field that cannot be stored was read");
        }
    }
    // Only a known keying line is read; anything else reads as none.
    const int line = int(s.keyingLine);
    if (keyingLineFromByte(line) != s.keyingLine) {
        qFatal("unknown keying line %d", line);
    }
    if (s.display != 0 && s.display != 1) {
        qFatal("display flag %d", s.display);
    }
    // An empty F9 message reads back as "VVV DE ", as every empty line 9 does.
    CwSettings expected = s;
    if (expected.messages[8].isEmpty()) {
        expected.messages[8] = QStringLiteral("VVV DE ");
    }
    if (!(readCwSettings(writeCwSettings(s)) == expected)) {
        qFatal("CW.txt does not read back as written");
    }
    // Number rules of the fields never fail on any text.
    (void)leadingNumber(QString::fromLatin1(input.left(64)));
    (void)isNumericText(QString::fromLatin1(input.left(64)));
}

} // namespace ditlog::testing
