// The main window's search as a user meets it: words typed into the side panel's field find
// appointments folded (muller finds Müller), the keys choose one and the view goes to its day
// with it selected, a typed date offers going there, and what the index holds is checked
// against the folder before it is trusted.
#include "FormMainFixture.h"
#include "settings/Language.h"
#include "views/AgendaView.h"
#include "views/Calendar.h"
#include "views/SearchPanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace {

class FormMainSearchTest : public FormMainTest {
public:
    FormMainSearchTest()
        : FormMainTest(false, true)
    {
    }

    QLineEdit* field() { return child<QLineEdit>("text_search"); }
    const AgendaView& results() { return window().search().results(); }
    QString note() { return window().search().note().text(); }
    // The results as "date time text" lines, in order.
    QStringList shown()
    {
        QStringList lines;
        for (const AgendaLayout::Group& group : results().groups())
            for (const AgendaLayout::Line& line : group.lines)
                lines << group.date.toString(Qt::ISODate) + ' ' + line.time + ' ' + line.text;
        return lines;
    }
    void type(const QString& text)
    {
        field()->clear();
        QTest::keyClicks(field(), text);
    }
    void press(Qt::Key key)
    {
        QTest::keyClick(field(), key);
        settle();
    }
};

TEST_F(FormMainSearchTest, FindsFoldedWordsAndGoesToTheChosenDay)
{
    put({2003, 7, 15}, 9, 10, "Müller dentist");
    put({2003, 8, 1}, 14, 15, "Lunch Straße 5");
    put({2003, 8, 2}, 8, 9, "Dentist again");
    put({2009, 1, 1}, 8, 9, "Dentist far ahead");
    settings.setDateFormat("dd.mm.yyyy");
    window();
    EXPECT_EQ(child<QAction>("mnu_edit_find")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));

    const struct {
        const char* typed;
        int range; // the entry of the range field
        QStringList found;
    } searches[] = {
        {"muller", 0, {"2003-07-15 09:00 - 10:00 Müller dentist"}},
        {"STRASSE", 0, {"2003-08-01 14:00 - 15:00 Lunch Straße 5"}},
        {"dent",
         0,
         {"2003-07-15 09:00 - 10:00 Müller dentist", "2003-08-02 08:00 - 09:00 Dentist again"}},
        {"dentist again", 0, {"2003-08-02 08:00 - 09:00 Dentist again"}},
        {"entist",
         0,
         {"2003-07-15 09:00 - 10:00 Müller dentist", "2003-08-02 08:00 - 09:00 Dentist again"}},
        {"en", 0, {}},  // two letters match from a word's start
        {"far", 0, {}}, // beyond two years ahead
        {"far", 2, {"2009-01-01 08:00 - 09:00 Dentist far ahead"}},
    };
    for (const auto& search : searches) {
        SCOPED_TRACE(search.typed);
        child<QComboBox>("combo_search_range")->setCurrentIndex(search.range);
        type(search.typed);
        // The index is made in the background: the search asks again until it is complete.
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == search.found; }, 15000))
            << shown().join(" | ").toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !note().contains("still"); }, 15000))
            << note().toStdString();
    }
    child<QComboBox>("combo_search_range")->setCurrentIndex(0);
    type("dent");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown().size() == 2; }, 15000));
    EXPECT_EQ(note(), "2 appointments found.");
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Enter);
    EXPECT_FALSE(window().search().shown());
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 8, 2));
    ASSERT_TRUE(window().selectedAppointment());
    EXPECT_EQ(window().selectedAppointment()->Text(), "Dentist again");
    EXPECT_EQ(labelTexts(), QStringList{"Dentist again"});

    // A date typed offers going there; Enter goes when no result is picked.
    type("1.8.2003");
    auto* goTo = child<QPushButton>("button_search_goto");
    EXPECT_TRUE(goTo->isVisibleTo(&window()));
    EXPECT_EQ(goTo->text(), "Go to 01.08.2003");
    press(Qt::Key_Return);
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 8, 1));

    // Escape closes the results; the text stays for the next time.
    type("lunch");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().search().shown(); }, 5000));
    press(Qt::Key_Escape);
    EXPECT_FALSE(window().search().shown());
    EXPECT_EQ(field()->text(), "lunch");
}

// On a folder of twenty files the note that the folder is still being read goes once the
// crawl is done, while the list stays open.
TEST_F(FormMainSearchTest, TheNoteThatTheFolderIsStillBeingReadGoesWhenTheCrawlIsDone)
{
    for (int i = 0; i < 20; ++i)
        put(QDate(2003, 7, 1).addDays(i * 3), 9, 10, "Teambesprechung");
    window();
    type("besprechung");
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown().size() == 20; }, 15000))
        << shown().join(" | ").toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return note() == "20 appointments found."; }, 15000))
        << note().toStdString();
}

TEST_F(FormMainSearchTest, ChecksWhatTheIndexFoundAgainstTheFolder)
{
    // Beyond the view and both calendars: no pass of the window reads their days.
    const QString gone = put({2003, 10, 15}, 9, 10, "Audit Müller");
    put({2003, 10, 16}, 9, 10, "Audit Meier");
    window();
    type("audit");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown().size() == 2; }, 15000))
        << shown().join(" | ").toStdString();
    // Another machine removes one, unseen by any pass of the views.
    ASSERT_TRUE(QFile::remove(gone));
    type("audi");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return shown() == QStringList{"2003-10-16 09:00 - 10:00 Audit Meier"}; }, 15000))
        << shown().join(" | ").toStdString();
    EXPECT_EQ(note().section('\n', 0, 0), "One appointment found.");

    const auto english = qScopeGuard([] { Language::apply("en"); });
    settings.setLangCode("de");
    Language::apply("de");
    window().SetLanguageTexts();
    EXPECT_EQ(field()->placeholderText(), "Suchen (Strg+F)");
    type("niemand");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return note().startsWith("Keine Termine gefunden."); }, 15000))
        << note().toStdString();
}

} // namespace
