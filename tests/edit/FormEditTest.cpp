// The appointment editor: what it shows of an appointment, how its pickers and colour panel
// change the fields, what OK, Cancel and the close box leave in the record and on disk, and
// its German texts.
#include "form_edit.h"

#include "AppointmentFiling.h"
#include "ClassMonthDD.h"
#include "ClassTabs.h"
#include "Common.h"
#include "DataAccess.h"
#include "Language.h"
#include "PictureBox.h"
#include "Screenshots.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

const QString kLogin = QStringLiteral("bert");
const QString kStartMessage = QStringLiteral("The start time must be prior to the end time.");
const QDate kFriday(2003, 7, 4);

TimeOfDay hm(int hour, int minute)
{
    return TimeOfDay::fromHourMinute(hour, minute);
}

QPoint pixelAt(int xTwips, int yTwips)
{
    return {PictureBox::toPixels(xTwips), PictureBox::toPixels(yTwips)};
}

// The centre of a day's cell on a month sheet, in twips, as the sheet lays the month out.
QPoint dayCentre(const QDate& date, int firstday)
{
    const QDate first(date.year(), date.month(), 1);
    const int slot = (Weekday(first) - firstday + 7) % 7 + date.day() - 1;
    const int row = slot / 7 + 1;
    const int column = slot % 7 + 1;
    return {(column - 1) * 380 + 30 + 190, (row + 1) * 300 + 60 + 150};
}

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

struct Message {
    QString title;
    QString text;
};

// Drives one open editor the way a user would.
class Editor {
public:
    explicit Editor(form_edit& dialog)
        : d(dialog)
    {
        d.setMessageShower([this](QWidget*, const QString& title, const QString& text) {
            messages.push_back({title, text});
        });
    }

    // The window is up and the text field has taken the focus; pickers opened from here on
    // keep theirs.
    void waitUntilReady()
    {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        ASSERT_TRUE(QTest::qWaitFor([this] { return text().hasFocus(); }));
    }

    template <typename T> T& child(const char* name)
    {
        T* found = d.findChild<T*>(QLatin1String(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return *found;
    }
    QLineEdit& field(const char* name) { return child<QLineEdit>(name); }
    QCheckBox& check(const char* name) { return child<QCheckBox>(name); }
    QComboBox& combo(const char* name) { return child<QComboBox>(name); }
    QLabel& label(const char* name) { return child<QLabel>(name); }
    PictureBox& picture(const char* name) { return child<PictureBox>(name); }
    QPlainTextEdit& text() { return child<QPlainTextEdit>("text_text"); }
    ClassTabs& tabs() { return child<ClassTabs>("tabs"); }

    void click(QWidget& widget) { QTest::mouseClick(&widget, Qt::LeftButton); }
    // A check box reacts on its indicator.
    void tick(const char* name)
    {
        QCheckBox& box = check(name);
        QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box.height() / 2));
    }
    void ok() { click(child<QPushButton>("command_ok")); }
    void cancel() { click(child<QPushButton>("command_cancel")); }

    void showPage(int index)
    {
        const ClassTabs::HeaderSpan span = tabs().Span(index);
        PictureBox& strip = picture("pic_tabs");
        QTest::mouseClick(
            &strip, Qt::LeftButton, Qt::NoModifier,
            QPoint(PictureBox::toPixels((span.left + span.right) / 2), strip.height() / 2));
    }
    bool pageShown(int index)
    {
        const QString name = QStringLiteral("frame_display_%1").arg(index);
        return !child<QFrame>(name.toLatin1().constData()).isHidden();
    }

    // Opens the date picker of a field and clicks a day of the month shown.
    void pickDate(const char* fieldName, const char* pictureName, const QDate& date, int firstday)
    {
        click(field(fieldName));
        PictureBox& sheet = picture(pictureName);
        ASSERT_TRUE(sheet.isVisible()) << pictureName;
        const QPoint cell = dayCentre(date, firstday);
        QTest::mouseClick(&sheet, Qt::LeftButton, Qt::NoModifier, pixelAt(cell.x(), cell.y()));
        EXPECT_FALSE(sheet.isVisible()) << "a picked day closes the sheet";
    }

    // Opens a time picker and types its step characters ('*' hour later, '+' one interval...).
    void stepTime(const char* fieldName, const char* pictureName, const QString& steps)
    {
        click(field(fieldName));
        PictureBox& clock = picture(pictureName);
        ASSERT_TRUE(clock.isVisible()) << pictureName;
        for (QChar c : steps)
            QTest::keyClick(&clock, c.toLatin1());
        QTest::keyClick(&clock, Qt::Key_Escape);
    }

    form_edit& d;
    std::vector<Message> messages;
};

class FormEditTest : public ::testing::Test {
protected:
    FormEditTest()
    {
        settings.setActiveFolder(data.path());
        folder = settings.GetDataFolder();
        settings.setTimeFormat("24h");
        settings.setDateFormat("dd.mm.yyyy");
        settings.setGrid15Minutes(true);
        settings.setFirstWeekday(2);
        const QStringList names = {"Yellow", "Rose",  "Cyan", "Sky",  "Mint",  "Grey",   "Window",
                                   "Lemon",  "Coral", "Aqua", "Blue", "Green", "Silver", "Plain"};
        for (int n = 1; n <= Settings::kColorCount; ++n)
            settings.setColorText(n, names[n - 1]);
    }

    // 4 July 2003, 09:00 to 10:30, made by the current user.
    static std::shared_ptr<ClassTermin> appointment()
    {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(kFriday);
        a->setStartTime(hm(9, 0));
        a->setEndTime(hm(10, 30));
        a->setColorCode(1);
        a->setProducer(kLogin);
        a->setIsReminder(true);
        a->setRemindMinutes(5);
        a->setText("Budget");
        // As the day column makes it: a year either side.
        a->setRecurringStartDate(QDate(2002, 7, 4));
        a->setRecurringEndDate(QDate(2004, 7, 4));
        return a;
    }

    std::shared_ptr<ClassTermin> stored()
    {
        auto a = appointment();
        EXPECT_TRUE(filing.File(*a).saved);
        return a;
    }

    // Opens the real editor through the filing and lets drive act in it; drive must end it.
    AppointmentEditing::Result editThroughFiling(ClassTermin& a,
                                                 const std::function<void(Editor&)>& drive)
    {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            form_edit* dialog = openEditor();
            if (!dialog) {
                ADD_FAILURE() << "the editor did not open";
                return;
            }
            Editor editor(*dialog);
            editor.waitUntilReady();
            drive(editor);
            driven = true;
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the editor is still open";
                dialog->reject();
            }
        });
        const AppointmentEditing::Result result = editing.EditMe(a, true);
        EXPECT_TRUE(driven);
        return result;
    }

    static form_edit* openEditor()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<form_edit*>(w); dialog && dialog->isVisible())
                return dialog;
        return nullptr;
    }

    QStringList appointmentFiles() const
    {
        QStringList files;
        QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(folder.size());
        return files;
    }

    static QString baseName(const QString& path) { return path.section('/', -1); }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    AppointmentFiling filing{store, settings};
    AppointmentEditing editing{filing, form_edit::editorFor(settings, kLogin)};
    QString folder;
};

// An editor opened directly on a record, for what needs no file.
class DirectEditor {
public:
    DirectEditor(ClassTermin& a, Settings& settings, bool isNew = false,
                 const QString& login = kLogin)
        : handOver{&a, isNew, false}
        , dialog(handOver, settings, login)
        , editor(dialog)
    {
    }

    void show()
    {
        dialog.show();
        editor.waitUntilReady();
    }

    EditHandOver handOver;
    form_edit dialog;
    Editor editor;
};

TEST_F(FormEditTest, TheWindowHasItsSizeAndShowsTheAppointmentPageFirst)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    EXPECT_EQ(e.dialog.size(), QSize(437, 314));
    EXPECT_TRUE(e.editor.pageShown(0));
    for (int page = 1; page < 4; ++page)
        EXPECT_FALSE(e.editor.pageShown(page)) << page;
    EXPECT_EQ(e.editor.tabs().GetHeadercount(), 4);
    const QTimer& check = e.editor.child<QTimer>("timer_check");
    EXPECT_TRUE(check.isActive());
    EXPECT_EQ(check.interval(), 100);
    EXPECT_EQ(e.editor.tabs().Caption(2), QString::fromUtf8("[»] Recurring"));
}

TEST_F(FormEditTest, ANewAppointmentIsCreatedWithARandomNameInItsDayDirectory)
{
    ClassTermin a = *appointment();
    a.setText(QString());
    QString title;
    const auto result = editThroughFiling(a, [&](Editor& e) {
        title = e.d.windowTitle();
        QTest::keyClicks(&e.text(), "Board meeting");
        e.ok();
    });
    EXPECT_EQ(title, "Add appointment");
    ASSERT_TRUE(result.saved);
    const QStringList files = appointmentFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(R"(^y2003/m7/d4/\d{1,9}\.nv3$)").match(files[0]).hasMatch())
        << qPrintable(files[0]);
    store.clearCaches();
    EXPECT_EQ(store.LoadAppointment(a.filename(), kFriday)->Text(), "Board meeting");
}

TEST_F(FormEditTest, ChangesToAStoredAppointmentReachItsFile)
{
    auto a = stored();
    QString title;
    QString shownFile;
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        title = e.d.windowTitle();
        shownFile = e.label("label_file").text();
        e.click(e.field("text_color"));
        e.click(e.child<QLabel>("label_color_array_4"));
        e.showPage(1);
        e.combo("combo_remind").setCurrentIndex(6);
        e.combo("combo_users").setCurrentIndex(1);
        e.tick("check_email");
        e.ok();
    });
    EXPECT_EQ(title, "Edit appointment");
    EXPECT_EQ(shownFile, a->filename());
    ASSERT_TRUE(result.saved);
    store.clearCaches();
    const TerminPtr onDisk = store.LoadAppointment(a->filename(), kFriday);
    EXPECT_EQ(onDisk->ColorCode(), 5);
    EXPECT_EQ(onDisk->RemindMinutes(), 60);
    EXPECT_TRUE(onDisk->ReminderAll());
    EXPECT_TRUE(onDisk->EmailEnable());
    EXPECT_EQ(onDisk->Text(), "Budget");
}

TEST_F(FormEditTest, CancelLeavesTheRecordAndTheFileAsTheyWere)
{
    auto a = stored();
    const QByteArray before = TestFiles::readBytes(a->filename());
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        QTest::keyClicks(&e.text(), " changed");
        e.showPage(2);
        e.tick("check_recur");
        e.cancel();
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(a->Text(), "Budget");
    EXPECT_FALSE(a->IsRecurring());
    EXPECT_EQ(TestFiles::readBytes(a->filename()), before);
}

TEST_F(FormEditTest, TheCloseBoxCancelsANewAppointment)
{
    ClassTermin a = *appointment();
    const auto result = editThroughFiling(a, [&](Editor& e) {
        QTest::keyClicks(&e.text(), " typed");
        e.d.close();
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(appointmentFiles().isEmpty());
    EXPECT_EQ(a.Text(), "Budget");
}

TEST_F(FormEditTest, TheCloseBoxLeavesAStoredFileUnchanged)
{
    auto a = stored();
    const QByteArray before = TestFiles::readBytes(a->filename());
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        e.pickDate("text_am", "pic_datum", QDate(2003, 7, 8), 2);
        e.d.close();
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(appointmentFiles(), QStringList{"y2003/m7/d4/" + baseName(a->filename())});
    EXPECT_EQ(TestFiles::readBytes(a->filename()), before);
}

TEST_F(FormEditTest, StartEqualToEndIsRefusedAndNothingIsWritten)
{
    auto a = stored();
    a->setEndTime(hm(9, 30));
    ASSERT_TRUE(filing.File(*a).saved);
    const QByteArray before = TestFiles::readBytes(a->filename());
    std::vector<Message> messages;
    bool stayedOpen = false;
    QString shownEnd;
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        e.stepTime("text_zeit_bis", "pic_zeit_bis", "--");
        shownEnd = e.field("text_zeit_bis").text();
        e.ok();
        messages = e.messages;
        stayedOpen = e.d.isVisible();
        e.cancel();
    });
    EXPECT_EQ(shownEnd, "09:00");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Norvane");
    EXPECT_EQ(messages[0].text, kStartMessage);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(a->EndTime(), hm(9, 30));
    EXPECT_EQ(TestFiles::readBytes(a->filename()), before);
}

TEST_F(FormEditTest, StartAfterEndIsRefusedAndTheWindowStaysOpen)
{
    auto a = appointment();
    a->setStartTime(hm(10, 15));
    a->setEndTime(hm(10, 0));
    DirectEditor e(*a, settings);
    e.show();
    e.editor.ok();
    ASSERT_EQ(e.editor.messages.size(), 1u);
    EXPECT_EQ(e.editor.messages[0].text, kStartMessage);
    EXPECT_TRUE(e.dialog.isVisible());
    EXPECT_EQ(e.dialog.result(), QDialog::Rejected) << "not accepted";
    EXPECT_FALSE(e.handOver.EditCancelled);
    // Fixing the end lets OK through.
    e.editor.stepTime("text_zeit_bis", "pic_zeit_bis", "*");
    e.editor.ok();
    EXPECT_EQ(e.editor.messages.size(), 1u);
    EXPECT_FALSE(e.dialog.isVisible());
    EXPECT_EQ(a->EndTime(), hm(11, 0));
}

TEST_F(FormEditTest, MovingToAnotherDayMovesTheFileUnderItsOldName)
{
    auto a = stored();
    const QString name = baseName(a->filename());
    QString shownDate;
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        e.pickDate("text_am", "pic_datum", QDate(2003, 7, 8), 2);
        shownDate = e.field("text_am").text();
        e.ok();
    });
    EXPECT_EQ(shownDate, "08.07.2003");
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(a->datum(), QDate(2003, 7, 8));
    EXPECT_EQ(appointmentFiles(), QStringList{"y2003/m7/d8/" + name});
}

TEST_F(FormEditTest, EachRecurrenceKindMovesTheFileAndUntickingBringsItBack)
{
    auto a = stored();
    const QString name = baseName(a->filename());
    const QList<std::pair<int, QString>> kinds = {{0, "recurring/every/"},
                                                  {1, "recurring/wd6/"},
                                                  {2, "recurring/d4/"},
                                                  {3, "recurring/m7/d4/"}};
    int previous = 2; // a one-time appointment offers the monthly entry
    for (const auto& [index, dir] : kinds) {
        int offered = -1;
        const auto result = editThroughFiling(*a, [&](Editor& e) {
            e.showPage(2);
            offered = e.combo("combo_recur").currentIndex();
            if (!e.check("check_recur").isChecked())
                e.tick("check_recur");
            e.combo("combo_recur").setCurrentIndex(index);
            e.ok();
        });
        ASSERT_TRUE(result.saved) << qPrintable(dir);
        EXPECT_EQ(offered, previous) << "the entry the file's directory tells, " << index;
        EXPECT_EQ(appointmentFiles(), QStringList{dir + name});
        previous = index;
    }
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        e.showPage(2);
        e.tick("check_recur");
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    EXPECT_FALSE(a->IsRecurring());
    EXPECT_EQ(appointmentFiles(), QStringList{"y2003/m7/d4/" + name});
}

TEST_F(FormEditTest, TheWeeklyEntryKeepsItsTextButTheFileFollowsTheNewDate)
{
    auto a = stored();
    const QString name = baseName(a->filename());
    QString offered;
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        e.pickDate("text_am", "pic_datum", QDate(2003, 7, 8), 2); // a Tuesday
        e.showPage(2);
        e.tick("check_recur");
        e.combo("combo_recur").setCurrentIndex(1);
        offered = e.combo("combo_recur").currentText();
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(offered, "every Friday");
    EXPECT_EQ(appointmentFiles(), QStringList{"recurring/wd3/" + name});
}

TEST_F(FormEditTest, UnknownRemindMinutesOpenAsFiveAndAreSavedAsFive)
{
    auto a = appointment();
    a->setRemindMinutes(45);
    DirectEditor e(*a, settings);
    QComboBox& minutes = e.editor.combo("combo_remind");
    EXPECT_EQ(minutes.currentIndex(), 0);
    EXPECT_EQ(minutes.currentText(), "05 minutes before start");
    ASSERT_EQ(minutes.count(), 7);
    EXPECT_EQ(minutes.itemText(6), "60 minutes before start");
    e.editor.ok();
    EXPECT_EQ(a->RemindMinutes(), 5);
}

TEST_F(FormEditTest, KnownRemindMinutesSelectTheirEntry)
{
    auto a = appointment();
    a->setRemindMinutes(30);
    a->setReminderAll(true);
    DirectEditor e(*a, settings);
    EXPECT_EQ(e.editor.combo("combo_remind").currentIndex(), 5);
    EXPECT_EQ(e.editor.combo("combo_users").currentIndex(), 1);
    EXPECT_EQ(e.editor.combo("combo_users").currentText(), "remind all users");
}

TEST_F(FormEditTest, TheRecurrenceEntryIsPreselectedFromThePath)
{
    const QList<std::pair<QString, int>> cases = {
        {"recurring/m7/d4/17.nv3", 3},
        {"recurring/d4/17.nv3", 2},
        {"y2003/m7/d4/17.nv3", 2},
        {"recurring/every/17.nv3", 0},
        {"recurring/wd6/17.nv3", 1},
        {"", 2},
        {"..\\share\\recurring\\every\\17.nv3", 0},
    };
    for (const auto& [path, index] : cases) {
        auto a = appointment();
        if (!path.isEmpty())
            a->setFilename(path.contains('\\') ? path : folder + path);
        DirectEditor e(*a, settings);
        EXPECT_EQ(e.editor.combo("combo_recur").currentIndex(), index) << qPrintable(path);
    }
}

TEST_F(FormEditTest, TheRecurrenceEntriesNameTheWeekdayAndDayOfTheDateAtOpening)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    QComboBox& kinds = e.editor.combo("combo_recur");
    ASSERT_EQ(kinds.count(), 4);
    EXPECT_EQ(kinds.itemText(0), "every day");
    EXPECT_EQ(kinds.itemText(1), "every Friday");
    EXPECT_EQ(kinds.itemText(2), "every 4 day in month");
    EXPECT_EQ(kinds.itemText(3), "every year (birthdays)");
}

TEST_F(FormEditTest, TheOwnAppointmentCannotBeTakenOver)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    EXPECT_FALSE(e.editor.check("check_owner").isEnabled());
    EXPECT_EQ(e.editor.label("label_producer").text(), kLogin);
}

TEST_F(FormEditTest, TickingTakeOverMakesTheCurrentUserTheOwner)
{
    auto a = appointment();
    a->setProducer("anna");
    DirectEditor e(*a, settings);
    e.show();
    EXPECT_TRUE(e.editor.check("check_owner").isEnabled());
    e.editor.showPage(3);
    e.editor.tick("check_owner");
    e.editor.ok();
    EXPECT_EQ(a->Producer(), kLogin);
}

TEST_F(FormEditTest, WithoutTheTickTheOwnerStays)
{
    auto a = appointment();
    a->setProducer("Bert"); // case matters: not the current user
    DirectEditor e(*a, settings);
    EXPECT_TRUE(e.editor.check("check_owner").isEnabled());
    e.editor.ok();
    EXPECT_EQ(a->Producer(), "Bert");
}

TEST_F(FormEditTest, MovingTheStartPastTheEveningStopsTheEndAt2330)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    e.editor.stepTime("text_zeit_von", "pic_zeit_von", QString(14, '*'));
    EXPECT_EQ(e.editor.field("text_zeit_von").text(), "23:00");
    EXPECT_EQ(e.editor.field("text_zeit_bis").text(), "23:30");
    e.editor.ok();
    EXPECT_EQ(a->StartTime(), hm(23, 0));
    EXPECT_EQ(a->EndTime(), hm(23, 30));
}

TEST_F(FormEditTest, MovingTheStartKeepsTheLength)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    e.editor.stepTime("text_zeit_von", "pic_zeit_von", "**+");
    EXPECT_EQ(e.editor.field("text_zeit_von").text(), "11:15");
    EXPECT_EQ(e.editor.field("text_zeit_bis").text(), "12:45");
    e.editor.ok();
    EXPECT_EQ(a->StartTime(), hm(11, 15));
    EXPECT_EQ(a->EndTime(), hm(12, 45));
}

TEST_F(FormEditTest, TheEndPickerMovesOnlyTheEnd)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    e.editor.stepTime("text_zeit_bis", "pic_zeit_bis", "+*");
    EXPECT_EQ(e.editor.field("text_zeit_von").text(), "09:00");
    EXPECT_EQ(e.editor.field("text_zeit_bis").text(), "11:45");
}

TEST_F(FormEditTest, TimeFieldsShowTheTimeFormatAndOpenOnAnyCharacter)
{
    settings.setTimeFormat("12h");
    auto a = appointment();
    a->setEndTime(hm(13, 45));
    DirectEditor e(*a, settings);
    e.show();
    QLineEdit& end = e.editor.field("text_zeit_bis");
    EXPECT_EQ(e.editor.field("text_zeit_von").text(), "09:00 am");
    EXPECT_EQ(end.text(), "01:45 pm");
    end.setFocus();
    QTest::keyClick(&end, 'x');
    PictureBox& clock = e.editor.picture("pic_zeit_bis");
    EXPECT_TRUE(clock.isVisible());
    EXPECT_EQ(end.text(), "01:45 pm") << "nothing is typed into the field";
    Screenshots::save(&e.dialog, "editor_time_picker");
    QTest::keyClick(&clock, Qt::Key_Escape);
    EXPECT_FALSE(clock.isVisible());
    EXPECT_TRUE(end.hasFocus()) << "the focus returns to the field";
}

TEST_F(FormEditTest, DropDownsOpenBelowTheirFieldAboveTheOtherControls)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    QLineEdit& date = e.editor.field("text_am");
    e.editor.click(date);
    PictureBox& sheet = e.editor.picture("pic_datum");
    ASSERT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.geometry().top(), date.mapTo(&e.dialog, QPoint(0, date.height())).y());
    EXPECT_TRUE(e.dialog.rect().contains(sheet.geometry()));
    // The sheet covers the text field below it, so it is what the user sees and clicks there.
    const QPoint middle = sheet.geometry().center();
    EXPECT_EQ(e.dialog.childAt(middle), &sheet);
    const QImage window = e.dialog.grab().toImage();
    EXPECT_TRUE(near(window.pixelColor(middle.x(), sheet.geometry().top() + 2), Qt::white));
    Screenshots::save(&e.dialog, "editor_date_picker");
    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_TRUE(date.hasFocus());
}

TEST_F(FormEditTest, RecurrenceDatesArePickedAndSaved)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    e.editor.showPage(2);
    e.editor.tick("check_recur");
    EXPECT_EQ(e.editor.field("text_recur_von").text(), "04.07.2002");
    // No room below or above: the sheet opens beside its field, inside the window.
    QLineEdit& until = e.editor.field("text_recur_bis");
    e.editor.click(until);
    PictureBox& untilSheet = e.editor.picture("pic_recur_bis");
    ASSERT_TRUE(untilSheet.isVisible());
    EXPECT_TRUE(e.dialog.rect().contains(untilSheet.geometry()));
    EXPECT_FALSE(untilSheet.geometry().intersects(
        QRect(until.mapTo(&e.dialog, QPoint(0, 0)), until.size())));
    Screenshots::save(&e.dialog, "editor_recurring_picker");
    QTest::keyClick(&untilSheet, Qt::Key_Escape);
    // Each sheet opens on the month of its field.
    e.editor.pickDate("text_recur_von", "pic_recur_von", QDate(2002, 7, 1), 2);
    e.editor.pickDate("text_recur_bis", "pic_recur_bis", QDate(2004, 7, 31), 2);
    EXPECT_EQ(e.editor.field("text_recur_von").text(), "01.07.2002");
    EXPECT_EQ(e.editor.field("text_recur_bis").text(), "31.07.2004");
    e.editor.combo("combo_recur").setCurrentIndex(1);
    e.editor.ok();
    EXPECT_TRUE(a->IsRecurring());
    EXPECT_EQ(a->Recurring_code, "wd");
    EXPECT_EQ(a->RecurringStartDate(), QDate(2002, 7, 1));
    EXPECT_EQ(a->RecurringEndDate(), QDate(2004, 7, 31));
}

TEST_F(FormEditTest, TheBoxesSwitchTheirControlsAndColourTheirHeaders)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    Editor& ed = e.editor;
    const auto headerHasRed = [&](int index) {
        const QImage strip = ed.picture("pic_tabs").image();
        const ClassTabs::HeaderSpan span = ed.tabs().Span(index);
        for (int x = PictureBox::toPixels(span.left); x < PictureBox::toPixels(span.right); ++x)
            for (int y = 0; y < strip.height(); ++y) {
                const QColor c = strip.pixelColor(x, y);
                if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                    return true;
            }
        return false;
    };

    EXPECT_TRUE(headerHasRed(1)) << "the reminder is on";
    EXPECT_FALSE(headerHasRed(2));
    EXPECT_TRUE(ed.combo("combo_remind").isEnabled());
    EXPECT_FALSE(ed.combo("combo_recur").isEnabled());
    EXPECT_FALSE(ed.field("text_recur_von").isEnabled());
    EXPECT_TRUE(ed.field("text_am").isEnabled());

    ed.showPage(1);
    ed.tick("check_remind");
    ed.showPage(2);
    ed.tick("check_recur");
    EXPECT_FALSE(headerHasRed(1));
    EXPECT_TRUE(headerHasRed(2));
    EXPECT_EQ(ed.tabs().Colour(2), QColor(255, 0, 0));
    EXPECT_FALSE(ed.combo("combo_remind").isEnabled());
    EXPECT_FALSE(ed.combo("combo_users").isEnabled());
    EXPECT_FALSE(ed.check("check_email").isEnabled());
    EXPECT_TRUE(ed.combo("combo_recur").isEnabled());
    EXPECT_TRUE(ed.field("text_recur_bis").isEnabled());
    EXPECT_FALSE(ed.field("text_am").isEnabled());
    EXPECT_EQ(ed.tabs().Caption(2), QString::fromUtf8("[»] Recurring")) << "caption kept";

    // The date of a recurring appointment does not open while the box is ticked.
    ed.showPage(0);
    ed.click(ed.field("text_am"));
    EXPECT_FALSE(ed.picture("pic_datum").isVisible());
}

TEST_F(FormEditTest, TabsShowOnePageAtATime)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    e.show();
    for (int page : {2, 1, 3, 0}) {
        e.editor.showPage(page);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(e.editor.pageShown(i), i == page) << page << " " << i;
    }
}

TEST_F(FormEditTest, TheColourPanelListsTheColoursAndPicksOne)
{
    auto a = appointment();
    settings.setColor(5, 0x00ff00); // green, red in the low byte
    DirectEditor e(*a, settings);
    e.show();
    QLineEdit& colour = e.editor.field("text_color");
    EXPECT_EQ(colour.text(), "Yellow");
    EXPECT_TRUE(near(colour.grab().toImage().pixelColor(colour.width() - 6, colour.height() / 2),
                     QColor(255, 255, 223)));

    e.editor.click(colour);
    PictureBox& panel = e.editor.picture("pic_colors");
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.geometry().top(), colour.mapTo(&e.dialog, QPoint(0, colour.height())).y());
    for (int i = 0; i < 14; ++i) {
        QLabel& row = e.editor.child<QLabel>(
            QStringLiteral("label_color_array_%1").arg(i).toLatin1().constData());
        EXPECT_EQ(row.text(), settings.ColorText(i + 1));
    }
    QLabel& green = e.editor.child<QLabel>("label_color_array_4");
    EXPECT_TRUE(near(green.grab().toImage().pixelColor(green.width() - 4, green.height() / 2),
                     QColor(0, 255, 0)));
    Screenshots::save(&e.dialog, "editor_color_panel");

    e.editor.click(green);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(colour.text(), "Mint");
    EXPECT_TRUE(near(colour.grab().toImage().pixelColor(colour.width() - 6, colour.height() / 2),
                     QColor(0, 255, 0)));
    EXPECT_TRUE(colour.hasFocus());
    e.editor.ok();
    EXPECT_EQ(a->ColorCode(), 5);
}

TEST_F(FormEditTest, EnterOrEscapeInTheColourPanelKeepTheColour)
{
    auto a = appointment();
    a->setColorCode(3);
    DirectEditor e(*a, settings);
    e.show();
    QLineEdit& colour = e.editor.field("text_color");
    PictureBox& panel = e.editor.picture("pic_colors");
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        colour.setFocus();
        QTest::keyClick(&colour, Qt::Key_Return);
        ASSERT_TRUE(panel.isVisible());
        QTest::keyClick(&panel, key);
        EXPECT_FALSE(panel.isVisible());
        EXPECT_EQ(colour.text(), "Cyan");
    }
    e.editor.click(colour);
    ASSERT_TRUE(panel.isVisible());
    e.editor.text().setFocus();
    EXPECT_FALSE(panel.isVisible()) << "losing the focus closes it";
    EXPECT_TRUE(e.dialog.isVisible()) << "Escape in the panel does not cancel the editor";
    e.editor.ok();
    EXPECT_EQ(a->ColorCode(), 3);
}

TEST_F(FormEditTest, TheTextEditsWithPlainLineBreaksAndTheRecordKeepsCrLf)
{
    auto a = appointment();
    a->setText("first\r\nsecond");
    DirectEditor e(*a, settings);
    e.show();
    QPlainTextEdit& text = e.editor.text();
    EXPECT_EQ(text.toPlainText(), "first\nsecond");
    text.moveCursor(QTextCursor::End);
    QTest::keyClick(&text, Qt::Key_Return);
    QTest::keyClicks(&text, "third");
    e.editor.ok();
    EXPECT_EQ(a->Text(), "first\r\nsecond\r\nthird");
}

TEST_F(FormEditTest, TheInfoPageShowsFileOwnerAndLastChange)
{
    auto a = stored();
    a->setFileDate(QDateTime(QDate(2003, 7, 1), QTime(14, 5)));
    DirectEditor e(*a, settings);
    EXPECT_EQ(e.editor.label("label_file").text(), a->filename());
    EXPECT_EQ(e.editor.label("label_producer").text(), kLogin);
    EXPECT_EQ(e.editor.label("label_lastupdate").text(), "01.07.2003 14:05");
    EXPECT_EQ(e.editor.label("label_info_file").text(), "Appointment-file:");
}

TEST_F(FormEditTest, GermanTexts)
{
    Language::apply("de");
    struct Restore {
        ~Restore() { Language::apply("en"); }
    } restore;
    settings.setLangCode("de");
    auto a = appointment();
    a->setStartTime(hm(10, 0));
    a->setEndTime(hm(10, 0));
    DirectEditor e(*a, settings, true);
    e.show();
    Editor& ed = e.editor;
    EXPECT_EQ(e.dialog.windowTitle(), "Termin anlegen");
    EXPECT_EQ(ed.tabs().Caption(0), "Termin");
    EXPECT_EQ(ed.tabs().Caption(1), "[!] Erinnerung");
    EXPECT_EQ(ed.tabs().Caption(2), QString::fromUtf8("[»] Wiederkehrend"));
    EXPECT_EQ(ed.label("label_header_bis").text(), "Bis:");
    EXPECT_EQ(ed.child<QPushButton>("command_cancel").text(), "Abbrechen");
    EXPECT_EQ(ed.combo("combo_remind").itemText(0), "05 Minuten vor Beginn erinnern");
    EXPECT_EQ(ed.combo("combo_users").itemText(0), "Nur den Besitzer des Termines erinnern");
    EXPECT_EQ(ed.combo("combo_recur").itemText(0), QString::fromUtf8("Termin täglich wiederholen"));
    EXPECT_EQ(ed.combo("combo_recur").itemText(1), "Termin jeden Freitag wiederholen");
    EXPECT_EQ(ed.combo("combo_recur").itemText(2), "Termin jeden 4 Tag in Monat wiederholen");
    EXPECT_EQ(ed.label("label_info_change").text(), QString::fromUtf8("Letzte Änderung:"));
    EXPECT_EQ(ed.check("check_owner").text(), QString::fromUtf8("Besitz übernehmen"));
    EXPECT_EQ(ed.child<ClassMonthDD>("datumswahl").langcode(), "de");
    Screenshots::save(&e.dialog, "editor_german");
    ed.showPage(2);
    Screenshots::save(&e.dialog, "editor_german_recurring");

    ed.ok();
    ASSERT_EQ(ed.messages.size(), 1u);
    EXPECT_EQ(ed.messages[0].title, "Norvane");
    EXPECT_EQ(ed.messages[0].text, "Die Startzeit des Termines muss vor der Endzeit liegen.");
    ed.cancel();
}

TEST_F(FormEditTest, EditingInGermanSaysTerminBearbeiten)
{
    Language::apply("de");
    struct Restore {
        ~Restore() { Language::apply("en"); }
    } restore;
    auto a = appointment();
    DirectEditor e(*a, settings, false);
    EXPECT_EQ(e.dialog.windowTitle(), "Termin bearbeiten");
}

TEST_F(FormEditTest, ScreenshotsOfEachPage)
{
    auto a = stored();
    a->setText("Budget meeting\r\nRoom 4, bring the figures");
    a->setProducer("anna");
    a->setIsRecurring(true);
    a->setRecurringStartDate(QDate(2003, 7, 1));
    a->setRecurringEndDate(QDate(2003, 12, 31));
    a->setFileDate(QDateTime(QDate(2003, 7, 1), QTime(14, 5)));
    DirectEditor e(*a, settings);
    e.show();
    const QStringList names = {"editor_appointment", "editor_reminder", "editor_recurring",
                               "editor_info"};
    for (int page = 0; page < 4; ++page) {
        e.editor.showPage(page);
        ASSERT_TRUE(e.editor.pageShown(page));
        EXPECT_FALSE(Screenshots::save(&e.dialog, names[page]).isEmpty());
    }
    e.dialog.reject();
    EXPECT_TRUE(e.handOver.EditCancelled);
}

} // namespace
