// The AGW frame codec: the header layout, frames cut anywhere in the stream, and the way
// back after a damaged header.
#include "platform/AgwFrame.h"

#include <QTest>

using namespace ditlog;

class TestAgwFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headerLayout() {
        const QByteArray wire = encodeAgwFrame({1, 'M', 0xF0, "N0CALL", "A-VERY-LONG-CALL", "hi"});
        QCOMPARE(wire.size(), kAgwHeaderBytes + 2);
        QCOMPARE(wire.at(0), char(1));
        QCOMPARE(wire.at(4), 'M');
        QCOMPARE(quint8(wire.at(6)), quint8(0xF0));
        QCOMPARE(wire.mid(8, 10), QByteArray("N0CALL\0\0\0\0", 10));
        QCOMPARE(wire.mid(18, 10), QByteArray("A-VERY-LO\0", 10)); // nine and its NUL
        QCOMPARE(wire.mid(28, 4), QByteArray("\x02\0\0\0", 4));     // little-endian length
        QCOMPARE(wire.mid(36), QByteArray("hi"));
    }

    void framesCutAnywhere() {
        QByteArray stream;
        QList<AgwFrame> sent;
        for (int i = 0; i < 20; ++i) {
            sent.append({0, 'U', 0, "N0DXC", "DX", QByteArray(i * 13, char('a' + i))});
            stream += encodeAgwFrame(sent.last());
        }
        AgwFrameDecoder decoder;
        QList<AgwFrame> got;
        for (qsizetype at = 0; at < stream.size(); at += 7) {
            got += decoder.feed(stream.mid(at, 7));
        }
        QCOMPARE(got, sent);
        QCOMPARE(decoder.pendingBytes(), 0);
        QCOMPARE(decoder.takeDamage().frames, 0);
    }

    void damagedHeadersAreSkipped() {
        const AgwFrame good{0, 'U', 0, "N0DXC", "DX", "DX de W3LPL"};
        QByteArray huge = encodeAgwFrame(good);
        huge.replace(28, 4, QByteArray("\xFF\xFF\xFF\x7F", 4)); // 2 GB
        QByteArray negative = encodeAgwFrame(good);
        negative.replace(28, 4, QByteArray("\xF0\xFF\xFF\xFF", 4));
        QByteArray noLetter = encodeAgwFrame(good);
        noLetter[4] = '\x01';
        AgwFrameDecoder decoder;
        const QList<AgwFrame> got =
            decoder.feed(huge + negative + noLetter + QByteArray(999, '\0') + encodeAgwFrame(good));
        // One skip reaches past all the damage (zero bytes are no header either) to the
        // good frame.
        QCOMPARE(got, QList<AgwFrame>{good});
        const AgwFrameDecoder::Damage damage = decoder.takeDamage();
        QCOMPARE(damage.frames, 1);
        QCOMPARE(damage.skippedBytes, huge.size() + negative.size() + noLetter.size() + 999);
        QCOMPARE(damage.lastClaimedLength, 0x7FFFFFFF);

        // Junk without any header keeps only a tail that could begin one.
        AgwFrameDecoder junk;
        QVERIFY(junk.feed(QByteArray(100000, '\x01')).isEmpty());
        QVERIFY(junk.pendingBytes() < kAgwHeaderBytes);
        QCOMPARE(junk.feed(encodeAgwFrame(good)), QList<AgwFrame>{good});
    }
};

QTEST_GUILESS_MAIN(TestAgwFrame)
#include "tst_agwframe.moc"
