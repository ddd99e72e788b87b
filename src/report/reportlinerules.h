#pragma once

#include "personrules.h"

#include <QDate>
#include <QString>
#include <QStringList>

// A date typed into a masked field: nothing typed, not a real date, or a date.
struct MaskDate {
    enum State { Empty, Invalid, Valid };
    State state = Empty;
    QDate date;

    static MaskDate read(const QString &maskText);
    bool isEmpty() const { return state == Empty; }
    bool isValid() const { return state == Valid; }
};

// What the entry window knows of the line being entered besides the typed dates.
struct LineContext {
    QDate today;
    int yearLength = 365;
    QDate foundation;       // the employer's start
    QString titleCode;      // trimmed
    QString titleValidFrom; // ERV_KEZD of the title, date text or empty
    QString titleValidTo;   // ERV_VEGE of the title, date text or empty
    QString earlierStart;   // start of the relation on record
    QString earlierEnd;     // its end (titles other than 1101)
    QString earlierSuspensionEnd;
    bool lateMarking = false;
    bool provisionalTaj = false;
    bool pendingDuplicate = false; // a pending line with this TAJ, title and start exists
    bool startEditable = true;
    bool type08 = false;
};

// The date fields and benefit values of the line, as the mask edits show them.
struct LineDates {
    QString start, end;
    QString suspensionStart, suspensionEnd;
    QString benefitCode, benefitStart, benefitEnd;
    QString benefitValidFrom; // ERV_KEZD of the chosen benefit
    QString birth;
};

// What a field rule decided.
struct Verdict {
    QStringList messages;         // to show, in order
    bool refocus = false;         // the focus goes back into the field
    bool clear = false;           // the field is emptied
    bool enableAdd = false;       // the line is complete
    bool askRequired = false;     // a required date is empty: ask whether to give one
    bool clearEnd = false;        // relation end: the end is emptied (provisional TAJ)
    bool closeSuspension = false; // relation end: the suspension end takes the relation end
    enum class Benefit { Keep, Open, Skip } benefit = Benefit::Keep;

    bool refused() const { return refocus; }
};

// The choices of the "gomb" page of the question dialog and what each does to the entry page.
struct KindChoices {
    QStringList disabled;
    bool showLateAgency = false;
};

struct KindEffect {
    enum class Field { Keep, ReadOnly, Open, OpenCleared };
    bool lockJavitas = false, javitas = false, torles = false;
    bool clearEarlierEnd = false, clearEarlierSuspensionEnd = false;
    bool lateMarking = false;
    bool checksOff = false;
    bool enableAdd = false;
    bool untickCareerStarter = false;
    bool focusSuspension = false;
    Field start = Field::Keep, end = Field::Keep, suspension = Field::Keep;
    Field benefitCode = Field::Keep, benefitDates = Field::Keep, hours = Field::Keep,
          occupation = Field::Keep;
    QString message;
};

// The field rules of a report line: each takes the window's values and says what to show,
// what to clear and where the focus goes. No widgets and no tables.
namespace ReportLineRules
{

inline const QString InvalidDate = PersonRules::InvalidDate;

// 366 while today is after 2011.03.01 and before 2012.03.01, else 365.
int yearLength(const QDate &today);

Verdict relationStart(const LineContext &c, const LineDates &d);
Verdict relationEnd(const LineContext &c, const LineDates &d);
Verdict suspensionStart(const LineContext &c, const LineDates &d);
Verdict suspensionEnd(const LineContext &c, const LineDates &d);
Verdict benefitStart(const LineContext &c, const LineDates &d);
Verdict benefitEnd(const LineContext &c, const LineDates &d);
Verdict birthDate(const LineContext &c, const LineDates &d);
// Whether the add button may be on for these weekly hours (blanks and digits).
bool hoursAllowAdd(const QString &hours);

KindChoices kindChoices(const QString &titleCode, bool earlierEndHeld, bool suspensionEnabled);
// The effect of a radio button of the "gomb" page (its object name).
KindEffect kindEffect(const QString &choice, const QString &titleCode);

// Provisional TAJ number of a base of 8 digits: the base and its TAJ check digit; empty when
// the base does not have 8 digits.
QString provisionalTaj(qint64 base);
// The base that follows the highest provisional number found (empty: none yet).
qint64 nextProvisionalBase(const QString &highest);

} // namespace ReportLineRules
