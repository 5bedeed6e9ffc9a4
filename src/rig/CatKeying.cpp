// The characters of the Morse table as a radio's keyer takes them.
#include "rig/CatKeying.h"

namespace ditlog {

QByteArray catCwCharacters(QChar c, const ProsignSymbols& symbols) {
    const char16_t u = c.toUpper().unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u' ' || u == u'.' ||
        u == u',' || u == u'?' || u == u'/') {
        return QByteArray(1, char(u));
    }
    switch (u) {
    case u'[':
        return symbols.ar;
    case u']':
        return symbols.sk;
    case u';':
        return symbols.kn;
    case u'\\':
        return symbols.cl;
    case u'=':
    case u'-':
        return symbols.bt;
    default:
        return {};
    }
}

} // namespace ditlog
