#include "reportlinerules.h"

#include "datetext.h"
#include "personrules.h"

MaskDate MaskDate::read(const QString &maskText)
{
    MaskDate m;
    if (DateText::isEmpty(maskText)) return m;
    m.date = DateText::parse(maskText.trimmed());
    m.state = m.date.isValid() ? Valid : Invalid;
    return m;
}

namespace ReportLineRules
{

namespace
{

const QString T2720 = QStringLiteral("2720");
const QString T1202 = QStringLiteral("1202");
const QString T1101 = QStringLiteral("1101");

Verdict refuse(const QString &message, bool clear = true)
{
    Verdict v;
    v.messages << message;
    v.refocus = true;
    v.clear = clear;
    return v;
}

Verdict invalid()
{
    return refuse(InvalidDate);
}

Verdict pass(bool enableAdd = false)
{
    Verdict v;
    v.enableAdd = enableAdd;
    return v;
}

QDate dateOf(const QString &text)
{
    return DateText::parse(text.trimmed());
}

QString titleMessage(const QString &code, const QString &date, const QString &tail,
                     const QString &second)
{
    return QStringLiteral("A(z) ") + code + QStringLiteral(" jogcím ") + date + tail +
           QStringLiteral("\r\n") + second;
}

} // namespace

int yearLength(const QDate &today)
{
    return today > QDate(2011, 3, 1) && today < QDate(2012, 3, 1) ? 366 : 365;
}

Verdict relationStart(const LineContext &c, const LineDates &d)
{
    const MaskDate s = MaskDate::read(d.start);
    if (s.isEmpty()) {
        Verdict v;
        v.askRequired = true;
        return v;
    }
    if (!s.isValid()) return invalid();
    if (s.date > c.today.addDays(c.yearLength))
        return refuse(QStringLiteral("Nem lehet nagyobb a biztosítás kezdete \r\nmint az aktuális "
                                     "dátum +1 év  !"));
    if (c.foundation.isValid() && s.date < c.foundation)
        return refuse(QStringLiteral("Nem lehet kisebb a biztosítás kezdete, \r\nmint a bejelentő "
                                     "alakulásának kezdete  !"));
    const QDate earlierEnd = dateOf(c.earlierEnd);
    if (earlierEnd.isValid() && DateText::isEmpty(c.earlierSuspensionEnd) && !c.lateMarking) {
        if (s.date >= earlierEnd) return pass(true);
        return refuse(QStringLiteral("Van erre az időszakra jogviszonya \r\na biztosítottnak ennél "
                                     "a bejelentőnél  !"),
                      false);
    }
    if (c.pendingDuplicate) {
        Verdict v;
        v.messages << QStringLiteral("Van már előkészített jelentés !");
        v.refocus = c.startEditable;
        return v;
    }
    if (c.titleCode == T2720) return pass(true);
    if (c.titleCode == T1202) {
        const QDate earlierStart = dateOf(c.earlierStart);
        if (earlierStart.isValid() && s.date >= earlierStart)
            return refuse(QStringLiteral("Nem lehet nagyobb/egyenlő a biztosítás kezdete,\r\nmint "
                                         "az előző 1202-es jogviszony kezdete !"));
        return pass(true);
    }
    const QDate validTo = dateOf(c.titleValidTo);
    if (validTo.isValid() && validTo < s.date)
        return refuse(titleMessage(c.titleCode, c.titleValidTo,
                                   QStringLiteral("-tól érvénytelen !"),
                                   QStringLiteral("Már nem lehet ilyet jelenteni !")));
    if (s.date < c.today.addDays(-1825))
        return refuse(QStringLiteral("Nem lehet kisebb a kezdet dátum, mint a mai nap - 5 év!"));
    const QDate validFrom = dateOf(c.titleValidFrom);
    if (validFrom.isValid() && validFrom > s.date)
        return refuse(
            titleMessage(c.titleCode, c.titleValidFrom, QStringLiteral("-tól érvényes !"),
                         QStringLiteral("Csak attól a dátumtól lehet ilyet jelenteni !")));
    return pass(true);
}

Verdict relationEnd(const LineContext &c, const LineDates &d)
{
    Verdict v;
    MaskDate e = MaskDate::read(d.end);
    if (!c.titleCode.isEmpty() && c.provisionalTaj && !e.isEmpty()) {
        v.messages << QStringLiteral("Képzett TAJ-nál a jogosultság vége dátumot \r\nnem lehet "
                                     "kitölteni !  ");
        v.clearEnd = true;
        e = MaskDate();
    }
    if (e.isEmpty()) {
        if (c.titleCode == T2720) {
            v.messages << QStringLiteral(
                "Ennél a jogcímnél kötelező a jogosultság végének kitöltése !");
            v.refocus = true;
        }
        return v;
    }
    if (!e.isValid()) return invalid();
    const MaskDate s = MaskDate::read(d.start);
    if (s.isValid() && e.date < s.date)
        return refuse(QStringLiteral("Nem lehet kisebb a jogosultság vége \r\na biztosítás kezdete "
                                     "dátumánál  !"));
    if (c.titleCode != T2720 && e.date > c.today.addDays(1825))
        return refuse(QStringLiteral("Nem lehet nagyobb a jogosultság vége \r\nmint a mai nap + 5 "
                                     "év  !"));
    if (c.titleCode == T2720) {
        if (s.isValid() && e.date > s.date.addDays(c.yearLength))
            return refuse(QStringLiteral("Ennél a jogcímnél nem lehet nagyobb a \r\njogosultság "
                                         "vége, mint a jogosultság kezdete + 1 év  !"));
        return v;
    }
    if (c.titleCode == T1202) {
        const QDate earlierStart = dateOf(c.earlierStart);
        if (earlierStart.isValid() && c.lateMarking && e.date > earlierStart)
            return refuse(QStringLiteral("Nem lehet nagyobb a jogosultság vége,\r\nmint az előző "
                                         "1202-es jogosultság kezdete!"));
        return v;
    }
    if (!DateText::isEmpty(d.suspensionStart) && DateText::isEmpty(d.suspensionEnd)) {
        v.messages << QStringLiteral("Volt nyitott szüneteltetése a biztosítottnak !\r\nA "
                                     "jelentésben azt is le kell zárni !");
        v.closeSuspension = true;
    }
    const QDate validTo = dateOf(c.titleValidTo);
    if (validTo.isValid() && validTo < e.date)
        v.messages << titleMessage(c.titleCode, c.titleValidTo,
                                   QStringLiteral("-tól érvénytelen !"), QStringLiteral(" "));
    return v;
}

Verdict suspensionStart(const LineContext &c, const LineDates &d)
{
    const MaskDate s = MaskDate::read(d.suspensionStart);
    if (s.isEmpty()) return {};
    if (!s.isValid()) return invalid();
    const MaskDate start = MaskDate::read(d.start);
    const MaskDate end = MaskDate::read(d.end);
    if (end.isValid()) {
        if ((start.isValid() && s.date < start.date) || s.date > end.date)
            return refuse(
                QStringLiteral("A szüneteltetés kezdete nem \r\neshet erre az időszakra  !"));
    } else if (start.isValid() && s.date < start.date) {
        return refuse(QStringLiteral("A szüneteltetés kezdete nem lehet nagyobb\r\na biztosítás "
                                     "kezdete dátumnál  !"));
    }
    const QDate earlier = dateOf(c.earlierSuspensionEnd);
    if (earlier.isValid() && earlier > s.date)
        return refuse(QStringLiteral("Az új szüneteltetés kezdete nem lehet kisebb,\r\nmint az "
                                     "előző szüneteltetés vége !!\r\nElőző vége : ") +
                      c.earlierSuspensionEnd + QStringLiteral(" !!"));
    return {};
}

Verdict suspensionEnd(const LineContext &c, const LineDates &d)
{
    const MaskDate e = MaskDate::read(d.suspensionEnd);
    if (e.isEmpty()) {
        if (c.lateMarking)
            return refuse(
                QStringLiteral("Az elmaradt szüneteltetésnél a végét is kötelező kitölteni !"),
                false);
        Verdict v;
        if (!(c.type08 && !DateText::isEmpty(d.suspensionStart)))
            v.benefit = Verdict::Benefit::Skip;
        return v;
    }
    if (!e.isValid()) return invalid();
    const MaskDate s = MaskDate::read(d.suspensionStart);
    const QString earlierMessage =
        QStringLiteral("Nem lehet kisebb a szüneteltetés vége \r\nmint a "
                       "szüneteltetés kezdete  !");
    if (s.isValid() && e.date < s.date) return refuse(earlierMessage);
    const MaskDate end = MaskDate::read(d.end);
    const QDate earlier = dateOf(c.earlierSuspensionEnd);
    if (end.isValid()) {
        if (e.date > end.date)
            return refuse(QStringLiteral("Nem lehet nagyobb a szüneteltetés vége \r\na biztosítás "
                                         "vége dátumánál  !"));
        if (earlier.isValid() && e.date < earlier)
            return refuse(QStringLiteral("Az új szüneteltetés vége nem lehet kisebb,\r\nmint az "
                                         "előző szüneteltetés vége !!\r\nElőző vége : ") +
                          c.earlierSuspensionEnd + QStringLiteral(" !!"));
    } else if (e.date > c.today) {
        return refuse(QStringLiteral("Nem lehet nagyobb a szüneteltetés vége \r\nmint az aktuális "
                                     "dátum  !"));
    }
    Verdict v;
    if (!end.isValid() || !earlier.isValid()) v.benefit = Verdict::Benefit::Open;
    return v;
}

Verdict benefitStart(const LineContext &c, const LineDates &d)
{
    const MaskDate s = MaskDate::read(d.benefitStart);
    if (s.isEmpty() || d.benefitCode.trimmed().isEmpty())
        return refuse(QStringLiteral("Kötelező megadni a kezdet dátumot !"), false);
    if (!s.isValid()) return invalid();
    if (s.date >= c.today.addDays(c.yearLength))
        return refuse(QStringLiteral("Nem lehet nagyobb az ellátás kezdete \r\nmint az aktuális "
                                     "dátum + 1 év  !"));
    const QDate validFrom = dateOf(d.benefitValidFrom);
    if (validFrom.isValid() && s.date <= validFrom)
        return refuse(QStringLiteral("Nem lehet kisebb az ellátás kezdete \r\nmint az érvényesség "
                                     "kezdete  !"));
    return pass(true);
}

Verdict benefitEnd(const LineContext &c, const LineDates &d)
{
    const MaskDate e = MaskDate::read(d.benefitEnd);
    if (e.isEmpty()) return {};
    if (!e.isValid()) return invalid();
    const MaskDate s = MaskDate::read(d.benefitStart);
    if (s.isValid() && e.date < s.date)
        return refuse(QStringLiteral("Nem lehet kisebb az ellátás vége \r\naz ellátás kezdete "
                                     "dátumánál  !"));
    if (e.date >= c.today.addDays(1825))
        return refuse(
            QStringLiteral("Nem lehet nagyobb az ellátás vége \r\naz aktuális dátum + 5 év !"));
    if (d.benefitCode.trimmed() == QStringLiteral("2110") && s.isValid() &&
        e.date > s.date.addDays(90))
        return refuse(QStringLiteral("Nem lehet több a passzív ellátás mint az\r\nellátás kezdete  "
                                     "+ 90 nap  !"));
    return {};
}

Verdict birthDate(const LineContext &c, const LineDates &d)
{
    const MaskDate b = MaskDate::read(d.birth);
    if (b.isEmpty()) return {};
    if (!b.isValid()) return invalid();
    if (const QString refusal = PersonRules::birthDateBounds(b.date, c.today); !refusal.isEmpty())
        return refuse(refusal);
    return {};
}

bool hoursAllowAdd(const QString &hours)
{
    QString digits = hours;
    digits.remove(u' ');
    return digits.toInt() <= 60;
}

KindChoices kindChoices(const QString &titleCode, bool earlierEndHeld, bool suspensionEnabled)
{
    KindChoices k;
    if (!earlierEndHeld && titleCode != T1101) k.disabled << QStringLiteral("rbtn_uj");
    k.showLateAgency = titleCode == T1202;
    if (!k.showLateAgency) k.disabled << QStringLiteral("rbtn_eljog");
    if (!suspensionEnabled)
        k.disabled << QStringLiteral("rbtn_szunet") << QStringLiteral("rbtn_elmaradt");
    return k;
}

KindEffect kindEffect(const QString &choice, const QString &titleCode)
{
    using F = KindEffect::Field;
    KindEffect k;
    if (choice == u"rbtn_elmaradt") {
        k.lockJavitas = true;
        k.clearEarlierEnd = k.clearEarlierSuspensionEnd = true;
        k.start = k.end = F::ReadOnly;
        k.suspension = F::OpenCleared;
        k.benefitCode = k.hours = k.benefitDates = F::Open;
        k.occupation = F::OpenCleared;
        k.lateMarking = true;
    } else if (choice == u"rbtn_javit") {
        k.lockJavitas = k.javitas = true;
        k.clearEarlierEnd = k.clearEarlierSuspensionEnd = true;
        k.start = k.end = k.suspension = k.benefitCode = k.hours = k.benefitDates = F::Open;
        k.occupation = F::OpenCleared;
    } else if (choice == u"rbtn_valtozas") {
        k.lockJavitas = true;
        k.start = F::ReadOnly;
        k.checksOff = true;
        k.enableAdd = true;
    } else if (choice == u"rbtn_uj" || choice == u"rbtn_eljog") {
        k.lockJavitas = true;
        k.start = k.end = k.suspension = F::OpenCleared;
        k.benefitCode = k.occupation = k.hours = k.benefitDates = F::OpenCleared;
        k.untickCareerStarter = true;
        if (choice == u"rbtn_eljog" && titleCode == T1202) {
            k.lateMarking = true;
            k.message =
                QStringLiteral("Figyelem !\n\rAz elmaradt megbízásos jogviszony "
                               "jelentésénél\n\ra biztosítás végét is kötelező kitölteni !");
        } else {
            k.clearEarlierSuspensionEnd = true;
        }
    } else if (choice == u"rbtn_szunet") {
        k.suspension = F::OpenCleared;
        k.focusSuspension = true;
        k.enableAdd = true;
    } else if (choice == u"rbtn_torol") {
        k.torles = true;
        k.enableAdd = true;
    }
    return k;
}

QString provisionalTaj(qint64 base)
{
    if (base < 10000000 || base > 99999999) return {};
    const QString digits = QString::number(base);
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += digits[i].digitValue() * (i % 2 == 0 ? 3 : 7);
    return digits + QString::number(sum % 10);
}

qint64 nextProvisionalBase(const QString &highest)
{
    if (highest.trimmed().isEmpty()) return 90000001;
    return highest.left(8).toLongLong() + 1;
}

} // namespace ReportLineRules
