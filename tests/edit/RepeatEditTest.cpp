// The editor's Recurring page: the rule its controls make on OK, a record's rule or kind shown
// on opening, the days that follow the appointment's date, and what it refuses, in both
// languages.
#include "FormEditDriver.h"

#include <QRadioButton>
#include <QSpinBox>

namespace {

using namespace FormEditDriver;

class RepeatEditTest : public FormEditTest {
protected:
    static QSpinBox& spin(Editor& e, const char* name) { return e.child<QSpinBox>(name); }

    // Acts on the page as a user would, word by word: "k2" the kind, "e3" every 3, "w14" clicks
    // Monday's and Thursday's boxes, "n" the nth weekday ("n:last" with that entry), "d" the
    // day, "f1.7.2003" the first day typed, "u31.12.2003" the last, "c5" after 5 times, and
    // "a8.7.2003" the appointment's date typed with the recurrence box unticked meanwhile.
    static void act(Editor& e, const QString& script)
    {
        const auto option = [&](const char* name) {
            auto& button = e.child<QRadioButton>(name); // it reacts on its indicator
            QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(8, button.height() / 2));
        };
        for (const QString& word : script.split(' ', Qt::SkipEmptyParts)) {
            const QString arg = word.mid(1);
            e.showPage(2);
            switch (word[0].toLatin1()) {
            case 'k':
                e.combo("combo_recur").setCurrentIndex(arg.toInt());
                break;
            case 'e':
                spin(e, "spin_recur_every").setValue(arg.toInt());
                break;
            case 'w':
                for (const QChar day : arg)
                    e.tick(QStringLiteral("check_recur_weekday_") + day);
                break;
            case 'n':
                option("option_recur_nth");
                if (!arg.isEmpty())
                    e.combo("combo_recur_nth").setCurrentText(arg.mid(1));
                break;
            case 'd':
                option("option_recur_day");
                break;
            case 'f':
                e.typeInto("text_recur_von", arg);
                break;
            case 'u':
                e.typeInto("text_recur_bis", arg);
                break;
            case 'c':
                e.combo("combo_recur_end").setCurrentIndex(2);
                spin(e, "spin_recur_count").setValue(arg.toInt());
                break;
            case 'a':
                e.tick("check_recur");
                e.showPage(0);
                e.typeInto("text_am", arg);
                e.showPage(2);
                e.tick("check_recur");
                break;
            }
        }
    }

    // What the page shows, its visible controls only: kind | every | weekdays or day | end |
    // first day.
    static QString shown(Editor& e)
    {
        QStringList parts{e.combo("combo_recur").currentText(),
                          spin(e, "spin_recur_every").text() + ' ' +
                              e.label("label_recur_unit").text()};
        QStringList days;
        for (int day = 1; day <= 7; ++day) {
            QCheckBox& box = e.check(QStringLiteral("check_recur_weekday_%1").arg(day));
            if (box.isVisible() && box.isChecked())
                days << box.text();
        }
        if (!days.isEmpty())
            parts << days.join(',');
        if (e.child<QRadioButton>("option_recur_nth").isVisible())
            parts << (e.child<QRadioButton>("option_recur_nth").isChecked()
                          ? e.combo("combo_recur_nth").currentText() + ' ' +
                                e.combo("combo_recur_weekday").currentText() + ' ' +
                                e.label("label_recur_month").text()
                          : e.child<QRadioButton>("option_recur_day").text());
        parts << e.combo("combo_recur_end").currentText() + ' ' +
                     (e.field("text_recur_bis").isVisible() ? e.field("text_recur_bis").text()
                                                            : spin(e, "spin_recur_count").text());
        return (parts << e.field("text_recur_von").text()).join(" | ");
    }

    // The rule and its start, the original keys' range and the kind's code.
    static QString saved(const ClassTermin& r)
    {
        const auto day = [](const QDate& date) { return date.toString("d.M.yyyy"); };
        return (r.Rule() ? r.Rule()->rrule() + " @" + day(r.Rule()->start) : "none") + ' ' +
               day(r.RecurringStartDate()) + '-' + day(r.RecurringEndDate()) + ' ' +
               r.Recurring_code;
    }

    // A new appointment on date with the recurrence box ticked.
    std::unique_ptr<DirectEditor> newSeries(const QDate& date)
    {
        auto a = appointment();
        a->setDatum(date);
        auto d = std::make_unique<DirectEditor>(*a, settings, true);
        d->editor.showPage(2);
        d->editor.tick("check_recur");
        return d;
    }
};

TEST_F(RepeatEditTest, TheControlsMakeTheRuleAndTheOriginalKeysOnOk)
{
    const struct {
        QDate date;
        const char* script;
        const char* caption; // of the kind chosen
        const char* saved;
    } rows[] = {
        {QDate(2003, 7, 4), "e2 w145", "weekly",
         "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH @4.7.2003 4.7.2003-31.12.2200 wd"},
        {QDate(2003, 7, 8), "k2 n", "monthly",
         "FREQ=MONTHLY;BYDAY=2TU @8.7.2003 8.7.2003-31.12.2200 m"},
        {QDate(2003, 7, 25), "k2 n:last", "monthly",
         "FREQ=MONTHLY;BYDAY=-1FR @25.7.2003 25.7.2003-31.12.2200 m"},
        {QDate(2003, 7, 31), "k2 e3", "monthly",
         "FREQ=MONTHLY;INTERVAL=3 @31.7.2003 31.7.2003-31.12.2200 m"},
        {QDate(2003, 11, 27), "k3 n", "yearly",
         "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH @27.11.2003 27.11.2003-31.12.2200 y"},
        {QDate(2003, 7, 4), "k0 c5", "every day",
         "FREQ=DAILY;COUNT=5 @4.7.2003 4.7.2003-8.7.2003 d"},
        {QDate(2003, 7, 4), "", "every Friday",
         "FREQ=WEEKLY;BYDAY=FR @4.7.2003 4.7.2003-31.12.2200 wd"},
        {QDate(2003, 7, 4), "u31.12.2003", "every Friday",
         "FREQ=WEEKLY;BYDAY=FR;UNTIL=20031231 @4.7.2003 4.7.2003-31.12.2003 wd"},
        // A first day set by hand: the rule starts on the first 11th from it on.
        {QDate(2003, 7, 11), "k2 f1.7.2003", "every 11 day in month",
         "FREQ=MONTHLY @11.7.2003 1.7.2003-31.12.2200 m"},
        // The date typed starts the series, unless the user chose its first day before.
        {QDate(2003, 7, 10), "a8.7.2003", "every Tuesday",
         "FREQ=WEEKLY;BYDAY=TU @8.7.2003 8.7.2003-31.12.2200 wd"},
        {QDate(2003, 7, 10), "f1.8.2003 a8.7.2003", "every Tuesday",
         "FREQ=WEEKLY;BYDAY=TU @1.8.2003 1.8.2003-31.12.2200 wd"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        const auto d = newSeries(row.date);
        act(d->editor, row.script);
        EXPECT_EQ(d->editor.combo("combo_recur").currentText(), row.caption);
        d->editor.ok();
        EXPECT_FALSE(d->dialog.isVisible()) << d->editor.messages.join('\n').toStdString();
        EXPECT_TRUE(d->record().IsRecurring());
        EXPECT_EQ(saved(d->record()).toStdString(), row.saved);
    }
}

// A series' rule shows in the controls and OK keeps it; a series without one shows its kind
// on its date's weekday or day, and its range.
TEST_F(RepeatEditTest, OpeningShowsTheRuleOrTheKindAndOkKeepsTheRule)
{
    const QDate kOld(2002, 1, 1); // a range an older copy left beside a rule
    const struct {
        const char* path;
        QDate date;
        const char* rrule; // starting on date; nullptr: an older series from 1 July
        QDate until;       // the range's end as it was stored
        bool recurring;    // false: one occurrence, edited alone
        const char* shown;
        const char* saved;
    } rows[] = {
        {"recurring/wd5/a.nv3", QDate(2003, 7, 3),
         "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20031231", kOld, true,
         "weekly | 2 weeks | Mo,Th | until 31.12.2003 | 03.07.2003",
         "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20031231 @3.7.2003 3.7.2003-31.12.2003 wd"},
        {"y2003/m7/d25/a.nv3", QDate(2003, 7, 25), "FREQ=MONTHLY;BYDAY=-1FR;COUNT=5", kOld, true,
         "monthly | 1 month | last Friday of the month | after 5 | 25.07.2003",
         "FREQ=MONTHLY;BYDAY=-1FR;COUNT=5 @25.7.2003 25.7.2003-28.11.2003 m"},
        {"y2003/m11/d27/a.nv3", QDate(2003, 11, 27), "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", kOld,
         false, "yearly | 1 year | fourth Thursday in November | no end no end | 27.11.2003",
         nullptr},
        {"recurring/d29/a.nv3", QDate(2003, 8, 29), "FREQ=MONTHLY;BYDAY=5FR", kOld, true,
         "monthly | 1 month | fifth Friday of the month | no end no end | 29.08.2003",
         "FREQ=MONTHLY;BYDAY=5FR @29.8.2003 29.8.2003-31.12.2200 m"},
        {"recurring/d11/a.nv3", QDate(2003, 7, 11), nullptr, QDate(2003, 12, 31), true,
         "every 11 day in month | 1 month | on day 11 | until 31.12.2003 | 01.07.2003",
         "FREQ=MONTHLY;UNTIL=20031231 @11.7.2003 1.7.2003-31.12.2003 m"},
        {"recurring/wd6/a.nv3", QDate(2003, 7, 4), nullptr, kLastFileDate, true,
         "every Friday | 1 week | Fr | no end no end | 01.07.2003",
         "FREQ=WEEKLY;BYDAY=FR @1.7.2003 1.7.2003-31.12.2200 wd"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        auto a = appointment();
        a->setFilename(folder + row.path);
        a->setDatum(row.date);
        a->setIsRecurring(row.recurring);
        a->setRecurringStartDate(row.rrule ? kOld : QDate(2003, 7, 1));
        a->setRecurringEndDate(row.until);
        if (row.rrule)
            a->setRule(RepeatRule::fromRRule(QString(row.rrule), row.date));
        DirectEditor d(*a, settings);
        d.editor.showPage(2);
        EXPECT_EQ(d.editor.check("check_recur").isChecked(), row.recurring);
        EXPECT_EQ(shown(d.editor).toStdString(), row.shown);
        d.editor.ok();
        if (row.recurring)
            EXPECT_EQ(saved(d.record()).toStdString(), row.saved);
        else // the occurrence keeps the series' rule and stays one-time
            EXPECT_EQ(d.record().Rule(), a->Rule());
    }
}

// Until the user sets them, the first day, a lone weekday and the nth weekday offered follow
// the appointment's date.
TEST_F(RepeatEditTest, TheFirstDayAndTheWeekdaysFollowTheDateUntilTheUserSetsThem)
{
    const struct {
        const char* script;
        const char* shown;
    } steps[] = {
        {"", "every Friday | 1 week | Fr | no end no end | 04.07.2003"},
        {"a8.7.2003", "every Tuesday | 1 week | Tu | no end no end | 08.07.2003"},
        {"k2 n", "monthly | 1 month | second Tuesday of the month | no end no end | 08.07.2003"},
        {"d f1.7.2003 a31.7.2003 n",
         "monthly | 1 month | last Thursday of the month | no end no end | 01.07.2003"},
        {"k1 w1 a1.8.2003", "weekly | 1 week | Mo,Th | no end no end | 01.07.2003"},
    };
    // One-time, with a range a year either side as the day column makes it.
    DirectEditor d(*appointment(), settings);
    d.editor.showPage(2);
    d.editor.tick("check_recur");
    for (const auto& step : steps) {
        act(d.editor, step.script);
        EXPECT_EQ(shown(d.editor).toStdString(), step.shown) << step.script;
    }
}

TEST_F(RepeatEditTest, RefusalsAndTextsInBothLanguages)
{
    const struct {
        QDate date;
        const char* script;
        const char* english;
        const char* german;
    } refusals[] = {
        {QDate(2003, 7, 4), "w5", "The appointment must recur on at least one weekday.",
         "Der Termin muss an mindestens einem Wochentag wiederkehren."},
        {QDate(2003, 7, 4), "c0", "The appointment must take place at least once.",
         "Der Termin muss mindestens einmal stattfinden."},
        {QDate(2003, 7, 4), "u1.7.2003",
         "The last day of the recurrence must not be before its first day.",
         "Der letzte Tag der Wiederholung darf nicht vor ihrem ersten Tag liegen."},
        {QDate(2003, 7, 31), "k2 f1.8.2003 u30.8.2003",
         "The recurrence falls on no day from 01.08.2003 to 30.08.2003.",
         "Die Wiederholung fällt auf keinen Tag vom 01.08.2003 bis 30.08.2003."},
    };
    const struct {
        const char* script;
        const char* name;
        const char* english;
        const char* german;
    } texts[] = {
        {"k2 e2", "label_recur_unit", "months", "Monate"},
        {"k2", "option_recur_day", "on day 4", "am 4. des Monats"},
        {"k3", "option_recur_day", "on 4 July", "am 4. Juli"},
        {"k3", "label_recur_month", "in July", "im Juli"},
        {"k1", "combo_recur", "weekly", "Termin wöchentlich wiederholen"},
        {"c3", "label_recur_times", "times", "Mal"},
    };
    inBothLanguages([&](bool german) {
        for (const auto& row : refusals) {
            const auto d = newSeries(row.date);
            act(d->editor, row.script);
            if (d->editor.messages.isEmpty()) // the weekday box refuses at once
                d->editor.ok();
            EXPECT_TRUE(d->dialog.isVisible());
            EXPECT_EQ(
                d->editor.messages,
                QStringList("Norvane: " + QString::fromUtf8(german ? row.german : row.english)));
            EXPECT_TRUE(d->editor.check("check_recur_weekday_5").isChecked() ||
                        row.date.dayOfWeek() != 5);
        }
        const auto d = newSeries(QDate(2003, 7, 4));
        for (const auto& text : texts) {
            act(d->editor, text.script);
            EXPECT_EQ(d->editor.child<QObject>(text.name).property("currentText").isValid()
                          ? d->editor.combo(text.name).currentText()
                          : d->editor.child<QObject>(text.name).property("text").toString(),
                      QString::fromUtf8(german ? text.german : text.english))
                << text.name;
        }
    });
}

} // namespace
