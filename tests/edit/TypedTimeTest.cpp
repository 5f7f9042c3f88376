// Times typed into the editor's From and until fields: which forms read as which time, what
// they and the date fields show and save in both formats and languages, and what is refused.
#include "FormEditDriver.h"

#include "TestFiles.h"
#include "edit/TypedTime.h"

namespace {

using namespace FormEditDriver;

TEST(TypedTime, FormsReadAsTimesAndTheRestIsRefused)
{
    constexpr int kRefused = -1;
    const struct {
        const char* typed;
        int start; // minutes of the day as a start, and as an end
        int end;
    } rows[] = {
        // clang-format off
        {"10:10", 610, 610}, {"10.10", 610, 610}, {"1010", 610, 610}, {"910", 550, 550},
        {"0910", 550, 550}, {"9", 540, 540}, {"14", 840, 840}, {" 9:05 ", 545, 545},
        {"10:10 Uhr", 610, 610}, {"13:45", 825, 825}, // no day half: 24-hour in either format
        {"10:10 am", 610, 610}, {"10:10 pm", 1330, 1330}, {"10:10PM", 1330, 1330},
        {"10:10 p.m.", 1330, 1330}, {"10.10 a", 610, 610}, {"1010p", 1330, 1330},
        {"12:00 pm", 720, 720}, {"12:30 am", 30, 30},
        {"00:30 am", 30, 30}, // as the field shows the hour after midnight
        {"0:00", 0, 1440}, {"12:00 am", 0, 1440}, // an end at midnight is the end of the day
        {"24:00", kRefused, 1440},
        {"9:5", kRefused, kRefused}, // 09:05 or 09:50?
        {"0:30 pm", kRefused, kRefused}, {"13:00 pm", kRefused, kRefused},
        {"24:01", kRefused, kRefused}, {"25", kRefused, kRefused}, {"10:60", kRefused, kRefused},
        {"10:10:00", kRefused, kRefused}, {"10101", kRefused, kRefused},
        {"-1:00", kRefused, kRefused}, {"", kRefused, kRefused}, {"ten", kRefused, kRefused},
        {"\u0661\u0660:\u0661\u0660", kRefused, kRefused}, // digits of another script
        // clang-format on
    };
    const auto read = [](const char* typed, TypedTime::Role role) {
        const std::optional<TimeOfDay> time = TypedTime::parse(QString::fromUtf8(typed), role);
        return time ? time->minutes() : kRefused;
    };
    for (const auto& row : rows) {
        EXPECT_EQ(read(row.typed, TypedTime::Role::Start), row.start) << row.typed;
        EXPECT_EQ(read(row.typed, TypedTime::Role::End), row.end) << row.typed;
    }
}

class TypedTimeTest : public FormEditTest {};

// Leaving a field takes a typed time or date; text that is none stays until OK refuses it.
TEST_F(TypedTimeTest, TypedTimesAndDatesShowInTheFormatAndSaveOrAreRefusedInEitherLanguage)
{
    const struct {
        const char* format; // of times, or the date pattern
        const char* field;
        const char* typed;
        const char* shown; // From-until, or the date field, after leaving the field
        const char* saved; // From-until, or the field's date (ISO), at OK; nullptr: refused
    } rows[] = {{"24h", "text_zeit_von", "10:10", "10:10-11:40", "10:10-11:40"},
                {"24h", "text_zeit_bis", "1015", "09:00-10:15", "09:00-10:15"},
                {"24h", "text_zeit_bis", "10.10 pm", "09:00-22:10", "09:00-22:10"},
                {"24h", "text_zeit_bis", "0:00", "09:00-24:00", "09:00-24:00"},
                {"24h", "text_zeit_von", "25:00", "25:00-10:30", nullptr},
                {"12h", "text_zeit_von", "10:10 pm", "10:10 pm-11:40 pm", "22:10-23:40"},
                {"12h", "text_zeit_bis", "1:05 PM", "09:00 am-01:05 pm", "09:00-13:05"},
                {"12h", "text_zeit_bis", "12:00 am", "09:00 am-12:00 am", "09:00-24:00"},
                {"12h", "text_zeit_von", "9:5", "9:5-10:30 am", nullptr},
                {"12h", "text_zeit_bis", "13:00 pm", "09:00 am-13:00 pm", nullptr},
                {"dd.mm.yyyy", "text_am", "5.7.03", "05.07.2003", "2003-07-05"},
                {"mm/dd/yyyy", "text_am", "12/24", "12/24/2003", "2003-12-24"},
                {"dd.mm.yyyy", "text_recur_bis", "31.12.2005", "31.12.2005", "2005-12-31"},
                {"dd.mm.yyyy", "text_am", "31.4.2003", "31.4.2003", nullptr},
                {"mm/dd/yyyy", "text_recur_von", "soon", "soon", nullptr}};
    // What a refusal says of a time and of a date, in English and in German.
    const char* const refusals[2][2] = {
        {"\"%1\" is not a time of day. Please type a time such as %2.",
         "„%1“ ist keine Uhrzeit. Bitte geben Sie eine Uhrzeit wie %2 ein."},
        {"\"%1\" is not a date. Please type a date such as %2.",
         "„%1“ ist kein Datum. Bitte geben Sie ein Datum wie %2 ein."}};
    inBothLanguages([&](bool german) {
        for (const auto& row : rows) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(row.format, row.typed).toStdString());
            const QString field(row.field);
            const bool time = field.startsWith("text_zeit");
            time ? settings.setTimeFormat(row.format) : settings.setDateFormat(row.format);
            // 09:00 to 10:30 on 4 July 2003, a range from 2002 to 2004.
            DirectEditor e(*appointment(), settings);
            Editor& ed = e.editor;
            if (field.startsWith("text_recur")) {
                ed.showPage(2);
                ed.tick("check_recur");
            }
            const auto shown = [&] {
                return time ? ed.field("text_zeit_von").text() + "-" +
                                  ed.field("text_zeit_bis").text()
                            : ed.field(field).text();
            };
            const auto saved = [&] {
                const ClassTermin& r = e.record();
                return time                 ? hmText(r.StartTime()) + "-" + hmText(r.EndTime())
                       : field == "text_am" ? r.datum().toString(Qt::ISODate)
                       : field == "text_recur_von" ? r.RecurringStartDate().toString(Qt::ISODate)
                                                   : r.RecurringEndDate().toString(Qt::ISODate);
            };
            const QString before = ed.field(field).text(), savedBefore = saved();
            ed.typeInto(field, row.typed);
            EXPECT_EQ(shown(), row.shown);
            ed.ok();
            EXPECT_EQ(e.dialog.isVisible(), !row.saved);
            EXPECT_EQ(saved(), row.saved ? row.saved : savedBefore);
            if (row.saved) {
                EXPECT_TRUE(ed.messages.isEmpty());
                continue;
            }
            EXPECT_EQ(ed.field(field).text(), before) << "back to what it had";
            EXPECT_TRUE(ed.field(field).hasFocus());
            const QString example = !time                          ? before
                                    : row.format == QString("24h") ? "14:30"
                                                                   : "02:30 pm";
            EXPECT_EQ(
                ed.messages,
                QStringList("Norvane: " +
                            QString::fromUtf8(refusals[!time][german]).arg(row.typed, example)));
            ed.cancel();
        }
    });
}

// The digits on the open clock go to its field; Enter takes the time, or refuses what is none.
TEST_F(TypedTimeTest, ATimeTypedAfterTheClockOpenedIsSavedToTheMinute)
{
    auto a = stored(); // 09:00 to 10:30
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        QLineEdit& from = e.field("text_zeit_von");
        e.click(from);
        PictureBox& clock = e.dropDownOf("text_zeit_von");
        ASSERT_TRUE(clock.isVisible());
        QTest::keyClick(&clock, '1');
        EXPECT_FALSE(clock.isVisible());
        ASSERT_EQ(QApplication::focusWidget(), &from);
        QTest::keyClicks(&from, "010");
        e.typeInto("text_zeit_bis", "later", Qt::Key_Return);
        EXPECT_EQ(from.text() + "-" + e.field("text_zeit_bis").text(), "10:10-11:40");
        ASSERT_TRUE(e.d.isVisible());
        ASSERT_EQ(e.messages.size(), 1);
        EXPECT_TRUE(e.messages[0].contains("\"later\" is not a time"))
            << e.messages[0].toStdString();
        e.typeInto("text_zeit_bis", "11", Qt::Key_Return);
    });
    ASSERT_TRUE(result.saved);
    const QByteArray bytes = TestFiles::readBytes(a->filename());
    for (const char* line : {"StartTimeHour=10\r\n", "StartTimeMinute=10\r\n", "EndTimeHour=11\r\n",
                             "EndTimeMinute=0\r\n"})
        EXPECT_TRUE(bytes.contains(line)) << line << bytes.toStdString();
}

} // namespace
