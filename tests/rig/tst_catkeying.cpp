// The radio's own keyer and transmit switch over CAT: every family's commands byte for
// byte (text with its prosigns, stop, speed, transmit), the answers that tell room, full
// and acknowledged, and the link that runs them beside the poll on a clock moved by hand:
// a full radio, a refusing one, a silent one, and a link stopped under a waiting command.
#include "RigDoubles.h"
#include "rig/CatCommands.h"
#include "rig/CivProtocol.h"
#include "rig/KenwoodText.h"
#include "rig/RigHex.h"
#include "rig/RigLink.h"
#include "rig/RigSettings.h"
#include "rig/TuningCommands.h"

#include <QSignalSpy>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

RigCommandContext presetContext(const QString& rigType) {
    RigSettings s;
    applyRigPreset(s, rigFamily(rigType));
    return rigCommandContext(s, RigStatus{});
}

// The radio characters of a program text, as the family maps them.
QByteArray radioText(const RigFamily& family, const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        out += family.cw.characters(c);
    }
    return out;
}

QByteArray textCommand(const QString& rigType, const QString& text) {
    const RigFamily& f = rigFamily(rigType);
    const EncodedCommand c = f.cw.text(radioText(f, text), presetContext(rigType));
    return c.ok() ? c.bytes : QByteArray("fault");
}

// A Kenwood that answers its poll, and the question for room with `room`.
struct KenwoodStation {
    ManualTimerClock clock;
    ScriptedRigTransport line{clock, 480};
    RigLink link{line, clock};
    QByteArray room = "KY0;";

    explicit KenwoodStation(const char* rigType = "Kenwood") {
        RigSettings s;
        applyRigPreset(s, rigFamily(QLatin1String(rigType)));
        s.pollRate = QStringLiteral("F");
        link.setSettings(s);
        line.answer = [this](const QByteArray& q) -> QByteArray {
            if (q == "FA;") {
                return "FA00014025000;";
            }
            if (q == "MD;") {
                return "MD3;";
            }
            return q == "KY;" ? room : QByteArray();
        };
    }
    RigOutcome run(const RigCommand& command, double ms = 2000) {
        std::optional<RigOutcome> outcome;
        RigCommand c = command;
        c.finished = [&outcome](const RigOutcome& o) { outcome = o; };
        link.enqueue(c);
        clock.advanceUntil([&] { return outcome.has_value(); }, ms);
        return outcome.value_or(
            RigOutcome{RigOutcome::Kind::Dropped, QStringLiteral("never ended")});
    }
    RigCommandContext context() const { return rigCommandContext(link.settings(), link.status()); }
};

} // namespace

class TestCatKeying : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyerText_data() {
        QTest::addColumn<QString>("rigType");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        // Kenwood: a field of 24, filled with blanks; SK is ">" there.
        QTest::newRow("Kenwood") << "Kenwood"
                                 << "cq de k1abc [ ] ; \\ = -"
                                 << QByteArray("KY CQ DE K1ABC + > ( CL = =;");
        QTest::newRow("Kenwood short") << "Kenwood"
                                       << "TU" << QByteArray("KY TU                      ;");
        QTest::newRow("Kenwood 2") << "Kenwood 2"
                                   << "5NN" << QByteArray("KY 5NN                     ;");
        QTest::newRow("Elecraft") << "Elecraft"
                                  << "TU ]" << QByteArray("KY TU *;");
        // Characters the table does not key, and "!", never reach the radio.
        QTest::newRow("Elecraft unkeyed") << "Elecraft"
                                          << "A#*!B\t" << QByteArray("KY AB;");
        QTest::newRow("Icom") << "Icom"
                              << "CQ [;]\\="
                              << hex("FE FE 64 E0 17") + "CQ ^AR^KN^SK^CL^BT" + hex("FD");
        QTest::newRow("rigctld") << "Hamlib rigctld"
                                 << "CQ [ ]" << QByteArray("+\\send_morse CQ + SK\n");
    }
    void keyerText() {
        QFETCH(QString, rigType);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(textCommand(rigType, text), bytes);
        if (rigType.startsWith(u"Kenwood")) {
            QCOMPARE(bytes.size(), 28); // "KY", a blank, 24 characters, ";"
        }
    }

    // Stop, speed and transmit of every family that has them, and the speeds clamped to
    // what each radio takes.
    void keyerAndTransmitCommands() {
        const auto cw = [](const char* rigType, auto member, auto... args) {
            const RigFamily& f = rigFamily(QLatin1String(rigType));
            const EncodedCommand c = (f.cw.*member)(args..., presetContext(f.name));
            return c.bytes;
        };
        using Cw = RigCwCommands;
        QCOMPARE(cw("Kenwood", &Cw::stop), QByteArray("KY0;"));
        QCOMPARE(cw("Elecraft", &Cw::stop), QByteArray("RX;"));
        QCOMPARE(cw("Icom", &Cw::stop), hex("FE FE 64 E0 17 FF FD"));
        QCOMPARE(cw("Hamlib rigctld", &Cw::stop), QByteArray("+\\stop_morse\n"));
        QCOMPARE(cw("Kenwood", &Cw::speed, 20), QByteArray("KS020;"));
        QCOMPARE(cw("Kenwood", &Cw::speed, 2), QByteArray("KS004;"));
        QCOMPARE(cw("Kenwood", &Cw::speed, 75), QByteArray("KS060;"));
        QCOMPARE(cw("Elecraft", &Cw::speed, 5), QByteArray("KS008;"));
        QCOMPARE(cw("Elecraft", &Cw::speed, 75), QByteArray("KS075;"));
        QCOMPARE(cw("Icom", &Cw::speed, 6), hex("FE FE 64 E0 14 0C 00 00 FD"));
        QCOMPARE(cw("Icom", &Cw::speed, 20), hex("FE FE 64 E0 14 0C 00 85 FD"));
        QCOMPARE(cw("Icom", &Cw::speed, 48), hex("FE FE 64 E0 14 0C 02 55 FD"));
        QCOMPARE(cw("Icom", &Cw::speed, 60), hex("FE FE 64 E0 14 0C 02 55 FD"));
        QCOMPARE(cw("Hamlib rigctld", &Cw::speed, 22), QByteArray("+L KEYSPD 22\n"));

        const auto tx = [](const char* rigType, bool on) {
            const RigFamily& f = rigFamily(QLatin1String(rigType));
            return f.ptt.transmit(on, presetContext(f.name)).bytes;
        };
        QCOMPARE(tx("Kenwood", true) + tx("Kenwood", false), QByteArray("TX;RX;"));
        QCOMPARE(tx("Elecraft", true), QByteArray("TX;"));
        QCOMPARE(tx("Icom", true), hex("FE FE 64 E0 1C 00 01 FD"));
        QCOMPARE(tx("Icom", false), hex("FE FE 64 E0 1C 00 00 FD"));
        QCOMPARE(tx("Yaesu", true) + tx("Yaesu", false), hex("00 00 00 00 08 00 00 00 00 88"));
        QCOMPARE(tx("Yaesu 990", true) + tx("Yaesu 990", false),
                 hex("00 00 00 01 0F 00 00 00 00 0F"));
        QCOMPARE(tx("Yaesu 1000", true), hex("00 00 00 01 0F"));
        QCOMPARE(tx("Yaesu FTdx9000", true) + tx("Yaesu FTdx9000", false), QByteArray("TX1;TX0;"));
        QCOMPARE(tx("Hamlib rigctld", true) + tx("Hamlib rigctld", false),
                 QByteArray("+T 1\n+T 0\n"));

        // The radio's address is the one of the operator's query; one that is no number
        // makes no command at all.
        RigSettings s;
        applyRigPreset(s, rigFamily(QStringLiteral("Icom")));
        s.frequencyQuery = QStringLiteral("FE FE 94 E0 03 FD");
        const RigCommandContext c = rigCommandContext(s, RigStatus{});
        QCOMPARE(civTransmit(true, c).bytes, hex("FE FE 94 E0 1C 00 01 FD"));
        s.frequencyQuery = QStringLiteral("FE FE XY E0 03 FD");
        QVERIFY(!civCwText("CQ", rigCommandContext(s, RigStatus{})).ok());
        QCOMPARE(catCwTextCommand(rigFamily(QStringLiteral("Icom")),
                                  rigCommandContext(s, RigStatus{}), "CQ")
                     .steps.first()
                     .kind,
                 RigStep::Kind::Fail);
    }

    // Radios without a keyer that takes text, or without CAT push-to-talk, say so.
    void familiesWithoutThem() {
        QStringList keyers;
        QStringList transmitters;
        for (const RigFamily& f : rigFamilies()) {
            if (catCwUnavailable(f).isEmpty()) {
                keyers.append(f.name);
            }
            if (catPttUnavailable(f).isEmpty()) {
                transmitters.append(f.name);
            }
        }
        QCOMPARE(keyers,
                 QStringList({"Elecraft", "Icom", "Kenwood", "Kenwood 2", "Hamlib rigctld"}));
        for (const char* none : {"Icom 735", "Yaesu 757 GX II", "None", "Other", "Ten Tec Orion"}) {
            QVERIFY2(!transmitters.contains(QLatin1String(none)), none);
        }
        QVERIFY(transmitters.contains(QStringLiteral("Yaesu 920")));
        QVERIFY(catCwUnavailable(rigFamily(QStringLiteral("Yaesu"))).contains(u"\"Yaesu\""));
        QVERIFY(catCwUnavailable(rigFamily(QStringLiteral("None"))).contains(u"No radio"));
    }

    void answersOfTheRadio() {
        const RigCommandContext kenwood = presetContext(QStringLiteral("Kenwood"));
        QCOMPARE(kenwoodCwRoom("FA00014025000;MD3;KY0;", kenwood), RigAnswer::Accepted);
        QCOMPARE(kenwoodCwRoom("KY2;", kenwood), RigAnswer::Accepted);
        QCOMPARE(kenwoodCwRoom("MD3;KY1;", kenwood), RigAnswer::Refused);
        QCOMPARE(kenwoodCwRoom("FA000140250", kenwood), RigAnswer::Waiting);
        QCOMPARE(kenwoodCwRoom("KY", kenwood), RigAnswer::Waiting);
        QCOMPARE(kenwoodCwRoom("?;", kenwood), RigAnswer::Waiting);

        // The interface echoes the command (addressed to the radio); another radio on the
        // bus answers too; only this radio's answer to the controller counts.
        const RigCommandContext icom = presetContext(QStringLiteral("Icom"));
        const QByteArray echo = hex("FE FE 64 E0 17 43 51 FD");
        QCOMPARE(civAcknowledgement(echo, icom), RigAnswer::Waiting);
        QCOMPARE(civAcknowledgement(echo + hex("FE FE E0 76 FB FD"), icom), RigAnswer::Waiting);
        QCOMPARE(civAcknowledgement(echo + hex("FE FE E0 64 FB FD"), icom), RigAnswer::Accepted);
        QCOMPARE(civAcknowledgement(echo + hex("FE FE E0 64 FA FD"), icom), RigAnswer::Refused);
        QCOMPARE(civAcknowledgement(echo + hex("FE FE E0 64 FB"), icom), RigAnswer::Waiting);
    }

    // The room question and its answer come before the text, beside the poll, whose period
    // holds around them.
    void textGoesWhenTheRadioHasRoom() {
        KenwoodStation s;
        QCOMPARE(s.link.startPolling(), RigLink::StartResult::Polling);
        s.clock.advanceMs(250);
        s.line.clearWrites();
        const RigOutcome outcome = s.run(catCwTextCommand(s.link.family(), s.context(), "CQ TEST"));
        QCOMPARE(outcome.kind, RigOutcome::Kind::Done);
        const auto room = s.line.writesStartingWith("KY;");
        const auto text = s.line.writesStartingWith("KY ");
        QCOMPARE(room.size(), 1);
        QCOMPARE(text.size(), 1);
        QVERIFY(text.first().atMs > room.first().atMs);
        s.line.clearWrites();
        s.clock.advanceMs(1000);
        QCOMPARE(s.line.writesStartingWith("FA;").size(), 10); // the poll goes on at 100 ms
        QVERIFY(s.link.isPolling());
    }

    void fullRefusingAndSilentRadios() {
        {
            KenwoodStation s;
            s.room = "KY1;";
            s.link.startPolling();
            const RigOutcome outcome = s.run(catCwTextCommand(s.link.family(), s.context(), "CQ"));
            QCOMPARE(outcome.kind, RigOutcome::Kind::Refused);
            QVERIFY(outcome.text.isEmpty()); // no room, nothing refused
            QVERIFY(s.line.writesStartingWith("KY ").isEmpty());
        }
        {
            KenwoodStation s;
            s.room.clear();
            s.link.startPolling();
            QSignalSpy boxes(&s.link, &RigLink::commandFailed);
            const double before = s.clock.nowMs();
            const RigOutcome outcome = s.run(catCwTextCommand(s.link.family(), s.context(), "CQ"));
            QCOMPARE(outcome.kind, RigOutcome::Kind::NoAnswer);
            QVERIFY(s.clock.nowMs() - before >= kRadioAnswerMs);
            QVERIFY(boxes.isEmpty()); // the caller tells, not the link
            s.line.clearWrites();
            s.clock.advanceMs(500);
            QVERIFY(!s.line.writesStartingWith("FA;").isEmpty());
        }
        {
            ManualTimerClock clock;
            ScriptedRigTransport line(clock, 120);
            RigLink link(line, clock);
            RigSettings settings;
            applyRigPreset(settings, rigFamily(QStringLiteral("Icom")));
            link.setSettings(settings);
            line.answer = [](const QByteArray& q) {
                return q.size() > 4 && q.at(4) == '\x17' ? q + hex("FE FE E0 64 FA FD")
                                                         : QByteArray();
            };
            link.startPolling();
            std::optional<RigOutcome> outcome;
            RigCommand text = catCwTextCommand(
                link.family(), rigCommandContext(link.settings(), link.status()), "CQ");
            text.finished = [&](const RigOutcome& o) { outcome = o; };
            link.enqueue(text);
            clock.advanceUntil([&] { return outcome.has_value(); }, 2000);
            QVERIFY(outcome);
            QCOMPARE(outcome->kind, RigOutcome::Kind::Refused);
            QCOMPARE(outcome->text, kCwTextRefused);
        }
    }

    // Commands waiting or running when the link stops are told as dropped, and the line
    // hears transmit off before it closes while transmit was asked on.
    void stoppedLinkDropsCommands() {
        KenwoodStation s;
        s.room.clear(); // the first command waits for its answer
        s.link.startPolling();
        QList<RigOutcome::Kind> outcomes;
        for (int i = 0; i < 2; ++i) {
            RigCommand c = catCwTextCommand(s.link.family(), s.context(), "CQ");
            c.key.clear(); // two of them, one waiting behind the other
            c.finished = [&outcomes](const RigOutcome& o) { outcomes.append(o.kind); };
            s.link.enqueue(c);
        }
        QSignalSpy closing(&s.link, &RigLink::aboutToClose);
        s.clock.advanceMs(10);
        s.link.stopPolling();
        s.clock.advanceMs(0);
        QCOMPARE(outcomes,
                 QList<RigOutcome::Kind>({RigOutcome::Kind::Dropped, RigOutcome::Kind::Dropped}));
        QCOMPARE(closing.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCatKeying)
#include "tst_catkeying.moc"
