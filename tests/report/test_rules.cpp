#include "reportlinerules.h"

#include <QtTest>

namespace
{
const QDate Today(2026, 12, 8);

QString text(const QDate &d)
{
    return d.toString("yyyy.MM.dd");
}

LineContext context(const QString &title = QStringLiteral("1101"))
{
    LineContext c;
    c.today = Today;
    c.yearLength = 365;
    c.foundation = QDate(2010, 1, 4);
    c.titleCode = title;
    c.titleValidFrom = QStringLiteral("1998.01.01");
    return c;
}

LineDates start(const QDate &d)
{
    LineDates l;
    l.start = text(d);
    return l;
}

bool refused(const Verdict &v, const QString &beginning)
{
    return v.refocus && !v.messages.isEmpty() && v.messages.first().startsWith(beginning);
}
} // namespace

class TestRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void maskDatesAndYearLength()
    {
        QVERIFY(MaskDate::read(QStringLiteral("    .  .  ")).isEmpty());
        QCOMPARE(MaskDate::read(QStringLiteral("2011.02.30")).state, MaskDate::Invalid);
        QCOMPARE(MaskDate::read(QStringLiteral("2011.02.28")).date, QDate(2011, 2, 28));
        QCOMPARE(ReportLineRules::yearLength(QDate(2011, 6, 1)), 366);
        QCOMPARE(ReportLineRules::yearLength(QDate(2011, 3, 1)), 365);
        QCOMPARE(ReportLineRules::yearLength(QDate(2012, 3, 1)), 365);
        QCOMPARE(ReportLineRules::yearLength(Today), 365);
        // An impossible day in any date rule is refused and cleared.
        LineDates d;
        d.start = d.birth = d.benefitEnd = QStringLiteral("2011.02.30");
        d.benefitCode = QStringLiteral("2110");
        d.benefitStart = QStringLiteral("2011.02.30");
        for (const Verdict &v :
             {ReportLineRules::relationStart(context(), d),
              ReportLineRules::birthDate(context(), d), ReportLineRules::benefitStart(context(), d),
              ReportLineRules::benefitEnd(context(), d)}) {
            QCOMPARE(v.messages, QStringList{ReportLineRules::InvalidDate});
            QVERIFY(v.clear && v.refocus);
        }
    }

    void relationStartBounds()
    {
        using ReportLineRules::relationStart;
        const LineContext c = context();
        QVERIFY(relationStart(c, LineDates{}).askRequired);
        // Today plus the year length passes, one day later does not.
        QVERIFY(relationStart(c, start(Today.addDays(365))).enableAdd);
        const Verdict late = relationStart(c, start(Today.addDays(366)));
        QCOMPARE(late.messages.first(), QStringLiteral("Nem lehet nagyobb a biztosítás kezdete "
                                                       "\r\nmint az aktuális dátum +1 év  !"));
        QVERIFY(late.clear);
        // Today minus five years of 365 days is the earliest start.
        QVERIFY(relationStart(c, start(Today.addDays(-1825))).enableAdd);
        QVERIFY(refused(relationStart(c, start(Today.addDays(-1826))),
                        "Nem lehet kisebb a kezdet dátum, mint a mai nap - 5 év!"));
        // The employer's foundation.
        LineContext young = c;
        young.foundation = QDate(2026, 5, 10);
        QVERIFY(relationStart(young, start(QDate(2026, 5, 10))).enableAdd);
        QVERIFY(refused(relationStart(young, start(QDate(2026, 5, 9))),
                        "Nem lehet kisebb a biztosítás kezdete, \r\nmint a bejelentő"));
    }

    void relationStartAgainstRecordAndTitle()
    {
        using ReportLineRules::relationStart;
        LineContext c = context();
        c.earlierEnd = QStringLiteral("2025.06.30");
        QVERIFY(relationStart(c, start(QDate(2025, 6, 30))).enableAdd);
        const Verdict overlap = relationStart(c, start(QDate(2025, 6, 29)));
        QVERIFY(refused(overlap, "Van erre az időszakra jogviszonya"));
        QVERIFY(!overlap.clear);
        // A late suspension is not held to the earlier end.
        c.lateMarking = true;
        QVERIFY(relationStart(c, start(QDate(2025, 6, 29))).enableAdd);

        LineContext pending = context();
        pending.pendingDuplicate = true;
        const Verdict twice = relationStart(pending, start(QDate(2026, 1, 5)));
        QCOMPARE(twice.messages, QStringList{"Van már előkészített jelentés !"});
        QVERIFY(twice.refocus && !twice.clear);

        LineContext agency = context(QStringLiteral("1202"));
        agency.earlierStart = QStringLiteral("2025.09.01");
        QVERIFY(refused(relationStart(agency, start(QDate(2025, 9, 1))),
                        "Nem lehet nagyobb/egyenlő a biztosítás kezdete"));
        QVERIFY(relationStart(agency, start(QDate(2025, 8, 31))).enableAdd);

        // A title valid from 2026.03.01 until 2026.12.31.
        LineContext bounded = context(QStringLiteral("3130"));
        bounded.titleValidFrom = QStringLiteral("2026.03.01");
        bounded.titleValidTo = QStringLiteral("2026.12.31");
        QVERIFY(relationStart(bounded, start(QDate(2026, 3, 1))).enableAdd);
        QCOMPARE(relationStart(bounded, start(QDate(2026, 2, 28))).messages.first(),
                 QStringLiteral("A(z) 3130 jogcím 2026.03.01-tól érvényes !\r\nCsak attól a "
                                "dátumtól lehet ilyet jelenteni !"));
        QVERIFY(relationStart(bounded, start(QDate(2026, 12, 31))).enableAdd);
        QCOMPARE(relationStart(bounded, start(QDate(2027, 1, 1))).messages.first(),
                 QStringLiteral("A(z) 3130 jogcím 2026.12.31-tól érvénytelen !\r\nMár nem lehet "
                                "ilyet jelenteni !"));
    }

    void relationEnd()
    {
        using ReportLineRules::relationEnd;
        LineDates d = start(QDate(2026, 1, 1));
        d.end = QStringLiteral("2025.12.31");
        QVERIFY(refused(relationEnd(context(), d), "Nem lehet kisebb a jogosultság vége"));
        d.end = text(Today.addDays(1825));
        QVERIFY(relationEnd(context(), d).messages.isEmpty());
        d.end = text(Today.addDays(1826));
        QVERIFY(refused(relationEnd(context(), d),
                        "Nem lehet nagyobb a jogosultság vége \r\nmint a mai nap + 5 év"));

        // Title 2720 needs an end, at most a year after the start.
        const LineContext needy = context(QStringLiteral("2720"));
        d.end.clear();
        const Verdict missing = relationEnd(needy, d);
        QCOMPARE(missing.messages,
                 QStringList{"Ennél a jogcímnél kötelező a jogosultság végének kitöltése !"});
        QVERIFY(missing.refocus);
        d.end = QStringLiteral("2027.01.01");
        QVERIFY(relationEnd(needy, d).messages.isEmpty());
        d.end = QStringLiteral("2027.01.02");
        QVERIFY(refused(relationEnd(needy, d), "Ennél a jogcímnél nem lehet nagyobb a"));

        // A provisional TAJ carries no end.
        LineContext detainee = context(QStringLiteral("2771"));
        detainee.provisionalTaj = true;
        const Verdict cleared = relationEnd(detainee, d);
        QVERIFY(cleared.clearEnd && !cleared.refocus);
        QVERIFY(cleared.messages.first().startsWith("Képzett TAJ-nál a jogosultság vége"));

        // An open suspension is closed with the end.
        LineDates open = start(QDate(2026, 1, 1));
        open.suspensionStart = QStringLiteral("2026.02.01");
        open.end = QStringLiteral("2026.06.30");
        const Verdict close = relationEnd(context(), open);
        QVERIFY(close.closeSuspension && !close.refocus);

        // A late agency relation ends before the recorded one starts.
        LineContext lateAgency = context(QStringLiteral("1202"));
        lateAgency.lateMarking = true;
        lateAgency.earlierStart = QStringLiteral("2026.03.01");
        open.suspensionStart.clear();
        open.end = QStringLiteral("2026.03.01");
        QVERIFY(!relationEnd(lateAgency, open).refocus);
        open.end = QStringLiteral("2026.03.02");
        QVERIFY(refused(relationEnd(lateAgency, open),
                        "Nem lehet nagyobb a jogosultság vége,\r\nmint az előző 1202"));
    }

    void suspensionDates()
    {
        LineDates d = start(QDate(2026, 1, 1));
        d.end = QStringLiteral("2026.06.30");
        d.suspensionStart = QStringLiteral("2026.07.01");
        QVERIFY(refused(ReportLineRules::suspensionStart(context(), d),
                        "A szüneteltetés kezdete nem \r\neshet"));
        d.suspensionStart = QStringLiteral("2026.06.30");
        QVERIFY(!ReportLineRules::suspensionStart(context(), d).refocus);
        LineContext c = context();
        c.earlierSuspensionEnd = QStringLiteral("2026.07.01");
        QCOMPARE(ReportLineRules::suspensionStart(c, d).messages.first(),
                 QStringLiteral("Az új szüneteltetés kezdete nem lehet kisebb,\r\nmint az előző "
                                "szüneteltetés vége !!\r\nElőző vége : 2026.07.01 !!"));

        d.suspensionEnd = QStringLiteral("2026.07.01");
        QVERIFY(refused(ReportLineRules::suspensionEnd(context(), d),
                        "Nem lehet nagyobb a szüneteltetés vége \r\na biztosítás"));
        d.suspensionEnd = QStringLiteral("2026.06.30");
        QCOMPARE(ReportLineRules::suspensionEnd(context(), d).benefit, Verdict::Benefit::Open);
        // Without a relation end the suspension cannot end after today.
        d.end.clear();
        d.suspensionEnd = text(Today.addDays(1));
        QVERIFY(refused(ReportLineRules::suspensionEnd(context(), d),
                        "Nem lehet nagyobb a szüneteltetés vége \r\nmint az aktuális"));
        // A late suspension needs its end; an empty end on a "09" line skips the benefit.
        d.suspensionEnd.clear();
        LineContext late = context();
        late.lateMarking = true;
        QVERIFY(refused(ReportLineRules::suspensionEnd(late, d), "Az elmaradt szüneteltetésnél"));
        QCOMPARE(ReportLineRules::suspensionEnd(context(), d).benefit, Verdict::Benefit::Skip);
    }

    void benefitDates()
    {
        LineContext c = context();
        LineDates d;
        d.benefitCode = QStringLiteral("2110");
        d.benefitValidFrom = QStringLiteral("2026.01.01");
        d.benefitStart = QStringLiteral("2026.01.01");
        QVERIFY(
            refused(ReportLineRules::benefitStart(c, d), "Nem lehet kisebb az ellátás kezdete"));
        d.benefitStart = QStringLiteral("2026.01.02");
        QVERIFY(ReportLineRules::benefitStart(c, d).enableAdd);
        d.benefitStart = text(Today.addDays(365));
        QVERIFY(
            refused(ReportLineRules::benefitStart(c, d), "Nem lehet nagyobb az ellátás kezdete"));
        d.benefitStart = text(Today.addDays(364));
        QVERIFY(ReportLineRules::benefitStart(c, d).enableAdd);
        d.benefitCode.clear();
        QVERIFY(
            refused(ReportLineRules::benefitStart(c, d), "Kötelező megadni a kezdet dátumot !"));

        // A passive benefit (2110) lasts at most 90 days.
        d.benefitCode = QStringLiteral("2110");
        d.benefitStart = QStringLiteral("2026.01.02");
        d.benefitEnd = text(QDate(2026, 1, 2).addDays(90));
        QVERIFY(!ReportLineRules::benefitEnd(c, d).refocus);
        d.benefitEnd = text(QDate(2026, 1, 2).addDays(91));
        QVERIFY(refused(ReportLineRules::benefitEnd(c, d), "Nem lehet több a passzív ellátás"));
        d.benefitCode = QStringLiteral("1521");
        QVERIFY(!ReportLineRules::benefitEnd(c, d).refocus);
        d.benefitEnd = QStringLiteral("2026.01.01");
        QVERIFY(refused(ReportLineRules::benefitEnd(c, d), "Nem lehet kisebb az ellátás vége"));
        d.benefitEnd = text(Today.addDays(1825));
        QVERIFY(refused(ReportLineRules::benefitEnd(c, d), "Nem lehet nagyobb az ellátás vége"));
    }

    void birthDateAndHours()
    {
        LineDates d;
        d.birth = QStringLiteral("1900.01.01");
        QVERIFY(ReportLineRules::birthDate(context(), d).messages.isEmpty());
        d.birth = QStringLiteral("1899.12.31");
        QVERIFY(refused(ReportLineRules::birthDate(context(), d),
                        "Nem lehet kisebb a születés dátuma"));
        d.birth = text(Today.addDays(1));
        QVERIFY(refused(ReportLineRules::birthDate(context(), d),
                        "Nem lehet nagyobb a születés dátuma"));
        QVERIFY(ReportLineRules::hoursAllowAdd(QStringLiteral("60")));
        QVERIFY(!ReportLineRules::hoursAllowAdd(QStringLiteral("61")));
        QVERIFY(ReportLineRules::hoursAllowAdd(QStringLiteral(" 8")));
    }

    void provisionalTajNumbers()
    {
        using namespace ReportLineRules;
        QCOMPARE(provisionalTaj(nextProvisionalBase(QString())), QStringLiteral("900000014"));
        QCOMPARE(provisionalTaj(nextProvisionalBase(QStringLiteral("900000014"))),
                 QStringLiteral("900000021"));
        QCOMPARE(nextProvisionalBase(QStringLiteral("999999990")), qint64(100000000));
        QVERIFY(provisionalTaj(100000000).isEmpty());
    }

    void kindChoices()
    {
        using ReportLineRules::kindChoices;
        // An open employment (1101) may get a new relation; no late agency choice.
        const KindChoices employment = kindChoices(QStringLiteral("1101"), false, true);
        QVERIFY(!employment.disabled.contains("rbtn_uj"));
        QVERIFY(employment.disabled.contains("rbtn_eljog"));
        QVERIFY(!employment.showLateAgency);
        QVERIFY(!employment.disabled.contains("rbtn_szunet"));
        // An open agency relation (1202) without suspension.
        const KindChoices agency = kindChoices(QStringLiteral("1202"), false, false);
        QVERIFY(agency.showLateAgency);
        QVERIFY(!agency.disabled.contains("rbtn_eljog"));
        QVERIFY(agency.disabled.contains("rbtn_uj"));
        QVERIFY(agency.disabled.contains("rbtn_szunet") &&
                agency.disabled.contains("rbtn_elmaradt"));
        // An ended relation of another title may be followed by a new one.
        QVERIFY(!kindChoices(QStringLiteral("2720"), true, false).disabled.contains("rbtn_uj"));
        for (const KindChoices &k : {employment, agency})
            QVERIFY(!k.disabled.contains("rbtn_javit") && !k.disabled.contains("rbtn_torol") &&
                    !k.disabled.contains("rbtn_valtozas"));

        const KindEffect late = ReportLineRules::kindEffect("rbtn_eljog", "1202");
        QVERIFY(late.lateMarking &&
                late.message.startsWith("Figyelem !\n\rAz elmaradt megbízásos"));
        const KindEffect change = ReportLineRules::kindEffect("rbtn_valtozas", "1101");
        QVERIFY(change.checksOff && change.enableAdd && change.lockJavitas && !change.javitas);
        QVERIFY(ReportLineRules::kindEffect("rbtn_javit", "1101").javitas);
        QVERIFY(ReportLineRules::kindEffect("rbtn_torol", "1101").torles);
    }
};

int runRuleTests(int argc, char **argv)
{
    TestRules t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_rules.moc"
