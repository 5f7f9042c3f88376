// Times typed into the editor's From and until fields: which forms read as which time, what
// the fields show and save in both formats and languages, and that what is no time is refused.
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

// Leaving a field takes a typed time; text that is no time stays until OK refuses it.
TEST_F(TypedTimeTest, TypedTimesShowInTheFormatAndSaveOrAreRefusedInEitherLanguage)
{
    const struct {
        const char* format;
        const char* field;
        const char* typed;
        const char* shown; // From-until after leaving the field
        const char* saved; // nullptr: refused
    } rows[] = {{"24h", "text_zeit_von", "10:10", "10:10-11:40", "10:10-11:40"},
                {"24h", "text_zeit_bis", "1015", "09:00-10:15", "09:00-10:15"},
                {"24h", "text_zeit_bis", "10.10 pm", "09:00-22:10", "09:00-22:10"},
                {"24h", "text_zeit_bis", "0:00", "09:00-24:00", "09:00-24:00"},
                {"24h", "text_zeit_von", "25:00", "25:00-10:30", nullptr},
                {"12h", "text_zeit_von", "10:10 pm", "10:10 pm-11:40 pm", "22:10-23:40"},
                {"12h", "text_zeit_bis", "1:05 PM", "09:00 am-01:05 pm", "09:00-13:05"},
                {"12h", "text_zeit_bis", "12:00 am", "09:00 am-12:00 am", "09:00-24:00"},
                {"12h", "text_zeit_von", "9:5", "9:5-10:30 am", nullptr},
                {"12h", "text_zeit_bis", "13:00 pm", "09:00 am-13:00 pm", nullptr}};
    inBothLanguages([&](bool german) {
        for (const auto& row : rows) {
            SCOPED_TRACE(
                QStringLiteral("%1 %2 %3").arg(german).arg(row.format, row.typed).toStdString());
            settings.setTimeFormat(row.format);
            DirectEditor e(*appointment(), settings); // 09:00 to 10:30
            Editor& ed = e.editor;
            const QString before = ed.field(row.field).text();
            ed.typeInto(row.field, row.typed);
            EXPECT_EQ(ed.field("text_zeit_von").text() + "-" + ed.field("text_zeit_bis").text(),
                      row.shown);
            ed.ok();
            EXPECT_EQ(e.dialog.isVisible(), !row.saved);
            if (row.saved) {
                EXPECT_EQ(hmText(e.record().StartTime()) + "-" + hmText(e.record().EndTime()),
                          row.saved);
                EXPECT_TRUE(ed.messages.isEmpty());
                continue;
            }
            EXPECT_EQ(ed.field(row.field).text(), before) << "back to the time it had";
            EXPECT_EQ(hmText(e.record().StartTime()) + "-" + hmText(e.record().EndTime()),
                      "09:00-10:30");
            const QString example = row.format == QLatin1String("24h") ? "14:30" : "02:30 pm";
            const QString typed = QString(row.typed);
            EXPECT_EQ(ed.messages,
                      QStringList("Norvane: " +
                                  (german ? QString::fromUtf8("„%1“ ist keine Uhrzeit. Bitte "
                                                              "geben Sie eine Uhrzeit wie %2 ein.")
                                          : QString("\"%1\" is not a time of day. Please type a "
                                                    "time such as %2."))
                                      .arg(typed, example)));
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
