// The appointment editor: its fields, pickers and colour panel, what OK, Cancel and the close
// box leave on disk, its texts in both languages, and EditMe with and without the editor.
#include "FormEditDriver.h"

#include "StalledShare.h"
#include "TestFiles.h"
#include "edit/LoginsCompleter.h"
#include "service/StoreService.h"
#include "ui/ClassMonthDD.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QListWidget>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

using namespace FormEditDriver;

TEST_F(FormEditTest, ANewAppointmentGetsARandomNameInItsDayAndLaterChangesReachItsFile)
{
    ClassTermin a = *appointment();
    a.setText(QString());
    auto result = editThroughFiling(a, [&](Editor& e) {
        QTest::keyClicks(&e.text(), "Board");
        QTest::keyClick(&e.text(), Qt::Key_Return);
        QTest::keyClicks(&e.text(), "meeting");
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    const QStringList files = appointmentFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(R"(^y2003/m7/d4/\d{1,9}\.nv3$)").match(files[0]).hasMatch())
        << qPrintable(files[0]);

    result = editThroughFiling(a, [&](Editor& e) {
        EXPECT_EQ(e.label("label_file").text(), a.filename());
        e.click(e.field("text_color"));
        e.click(e.label("label_color_array_4"));
        e.showPage(1);
        e.combo("combo_remind").setCurrentIndex(6);
        e.combo("combo_users").setCurrentIndex(1);
        e.tick("check_email");
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(appointmentFiles(), files);
    store.clearCaches();
    const TerminPtr onDisk = store.LoadAppointment(a.filename(), kFriday);
    EXPECT_EQ(onDisk->Text(), "Board\r\nmeeting");
    EXPECT_EQ(onDisk->ColorCode(), 5);
    EXPECT_EQ(onDisk->RemindMinutes(), 60);
    EXPECT_TRUE(onDisk->ReminderAll());
    EXPECT_TRUE(onDisk->EmailEnable());
}

TEST_F(FormEditTest, ALastDayLaterThanItsDayMakesOneFileADayLinkedAsOneSpan)
{
    ClassTermin a = *appointment();
    a.setText("Trip");
    const auto result = editThroughFiling(a, [&](Editor& e) {
        EXPECT_EQ(e.field("text_endday").text(), "04.07.2003");
        e.pickDate("text_endday", kFriday.addDays(2));
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    store.clearCaches();
    QStringList days;
    for (const QString& file : appointmentFiles()) {
        const TerminPtr day = store.LoadAppointment(folder + file, {});
        days << file.section('/', 0, 2) + ' ' + day->Text() + ' ' +
                    day->SpanUntil().toString("dd.MM.");
    }
    days.sort();
    EXPECT_EQ(days, (QStringList{"y2003/m7/d4 Trip (day 1 of 3) 06.07.",
                                 "y2003/m7/d5 Trip (day 2 of 3) 06.07.",
                                 "y2003/m7/d6 Trip (day 3 of 3) 06.07."}));
}

TEST_F(FormEditTest, CancelEscapeAndTheCloseBoxLeaveTheRecordAndTheFilesAsTheyWere)
{
    const struct {
        bool stored;
        std::function<void(Editor&)> editAndClose;
    } rows[] = {{true,
                 [](Editor& e) {
                     e.check("check_recur").click();
                     e.cancel();
                 }},
                {false,
                 [](Editor& e) {
                     QTest::keyClicks(&e.text(), " typed");
                     e.d.close();
                 }},
                {true,
                 [](Editor& e) {
                     e.pickDate("text_am", QDate(2003, 7, 8));
                     e.d.close();
                 }},
                {true, [](Editor& e) {
                     e.stepTime("text_zeit_bis", "*");
                     QTest::keyClick(&e.text(), Qt::Key_Escape);
                 }}};
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        auto a = row.stored ? stored() : appointment();
        const QStringList filesBefore = appointmentFiles();
        const QByteArray bytes = a->isNew() ? QByteArray() : TestFiles::readBytes(a->filename());
        const auto result = editThroughFiling(*a, row.editAndClose);
        EXPECT_TRUE(result.cancelled);
        EXPECT_FALSE(result.saved);
        EXPECT_EQ(a->Text(), "Budget");
        EXPECT_FALSE(a->IsRecurring());
        EXPECT_EQ(a->datum(), kFriday);
        EXPECT_EQ(a->EndTime(), hm(10, 30));
        EXPECT_EQ(appointmentFiles(), filesBefore);
        EXPECT_EQ(a->isNew() ? QByteArray() : TestFiles::readBytes(a->filename()), bytes);
    }
}

TEST_F(FormEditTest, AnotherUsersChangeMeanwhileIsNeverOverwrittenWithoutAsking)
{
    enum Meanwhile { kNothing, kChanged, kDeleted };
    const struct {
        Meanwhile meanwhile;
        int answer;
        const char* question; // its start, empty when nothing is asked
        const char* onDisk;   // the text saved at the end, empty when there is no file
    } rows[] = {{kNothing, 0, "", "Mine"},
                {kChanged, form_edit::kOverwrite, "This appointment was changed by anna", "Mine"},
                {kChanged, form_edit::kKeepOther, "This appointment was changed by anna", "Theirs"},
                {kDeleted, form_edit::kOverwrite, "This appointment was deleted", "Mine"},
                {kDeleted, form_edit::kKeepOther, "This appointment was deleted", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        auto a = stored();
        const QString path = a->filename();
        QStringList asked;
        editThroughFiling(*a, [&](Editor& e) {
            e.d.setConflictQuestion([&](QWidget*, const QString& text, const QStringList&,
                                        const std::function<void(int)>& answered) {
                asked << text;
                answered(row.answer);
            });
            e.text().selectAll();
            QTest::keyClicks(&e.text(), "Mine");
            if (row.meanwhile == kChanged) {
                TestFiles::writeBytes(path, "[AppointmentSettings]\r\nText=Theirs\r\n"
                                            "Producer=anna\r\nDateYear=2003\r\n");
                TestFiles::setModified(path, QDateTime::currentDateTime().addSecs(5));
            } else if (row.meanwhile == kDeleted) {
                QFile::remove(path);
            }
            e.ok();
            if (e.d.isVisible()) // back in the editor: leave it
                e.cancel();
        });
        EXPECT_EQ(asked.size(), *row.question ? 1 : 0);
        EXPECT_TRUE(asked.isEmpty() || asked[0].startsWith(row.question))
            << asked.join('|').toStdString();
        store.clearCaches();
        const QStringList files = appointmentFiles();
        ASSERT_EQ(files.size(), *row.onDisk ? 1 : 0);
        EXPECT_EQ(files.isEmpty() ? QString()
                                  : store.LoadAppointment(folder + files[0], kFriday)->Text(),
                  row.onDisk);
        for (const QString& file : files)
            QFile::remove(folder + file);
    }
}

TEST_F(FormEditTest, OkShowsSavingUntilTheStoreAnswersAndAFailedSaveKeepsTheEditorAndItsText)
{
    HeldFiler held;
    AppointmentEditing slow(held, form_edit::editorFor(settings, kLogin));
    std::optional<AppointmentEditing::Result> result;
    slow.EditMe(*appointment(), true, [&](const AppointmentEditing::Result& r) { result = r; });
    form_edit* dialog = openEditor();
    ASSERT_NE(dialog, nullptr);
    Editor e(*dialog);
    e.waitUntilReady();
    e.text().selectAll();
    QTest::keyClicks(&e.text(), "Typed");
    const QPushButton& ok = e.child<QPushButton>("command_ok");
    const auto resting = [&] {
        return QString::number(ok.isEnabled()) +
               QString::number(e.child<QPushButton>("command_cancel").isEnabled()) +
               QString::number(e.text().isEnabled()) +
               QString::number(e.field("text_zeit_von").isEnabled()) + ' ' + ok.text();
    };
    const WriteOutcome full =
        WriteOutcome::failed(WriteOutcome::Cause::System, "/data/1.nv3", "No space left on device");
    for (const bool fails : {true, false}) {
        SCOPED_TRACE(fails ? "fails" : "goes");
        e.ok();
        EXPECT_EQ(resting(), "0000 Saving...");
        e.d.close();
        EXPECT_TRUE(e.d.isVisible()) << "no closing while the save is on its way";
        ASSERT_TRUE(held.waiting);
        EXPECT_EQ(held.sent.last().Text(), "Typed");
        held.answer(fails ? full : WriteOutcome::done());
        EXPECT_EQ(e.d.isVisible(), fails);
        EXPECT_EQ(result.has_value(), !fails);
        if (fails) {
            EXPECT_EQ(resting(), "1111 OK");
            EXPECT_EQ(e.text().toPlainText(), "Typed");
            EXPECT_EQ(e.messages,
                      QStringList("Norvane: " + AppointmentEditing::failureMessage(full)));
        }
    }
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->saved);
    EXPECT_EQ(result->appointment.Text(), "Typed");
    EXPECT_EQ(result->appointment.filename(), "/data/y2003/m7/d4/1.nv3");
    EXPECT_EQ(held.sent.size(), 2);
}

TEST_F(FormEditTest, ARefusedSaveKeepsTheEditorOpenWithTheTypedTextAndWritesNothing)
{
    enum Refusal { kNotAnswering, kUnreadable, kVanished, kConflict };
    const struct {
        Refusal refusal;
        bool isNew;
        const char* told; // part of the message or question
    } rows[] = {{kNotAnswering, false, "is not answering; nothing was written"},
                {kUnreadable, false, "is there but could not be read"},
                {kVanished, false, "cannot be reached"},
                {kVanished, true, "cannot be reached"},
                {kConflict, false, "This appointment was changed by anna"}};
    StalledShare share;
    StoreService::Options options;
    options.files = StalledFileAccess::maker(share);
    options.notAnsweringAfterMs = 100;
    options.watchFolders = false;
    StoreService service(options);
    service.setFolder(folder, 60);
    AppointmentEditing viaService(service, form_edit::editorFor(settings, kLogin));
    const QString away = data.path() + "-away";
    const auto onDisk = [&] {
        QStringList found;
        for (const QString& file : appointmentFiles())
            found << file + ": " + TestFiles::readBytes(folder + file);
        return found;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        auto a = row.isNew ? appointment() : stored();
        const QString path = a->filename();
        if (row.refusal == kConflict) {
            TestFiles::writeBytes(path,
                                  "[AppointmentSettings]\r\nText=Theirs\r\nProducer=anna\r\n");
            TestFiles::setModified(path, QDateTime::currentDateTime().addSecs(5));
        }
        const QStringList before = onDisk();
        const auto result = editThroughFiling(
            *a,
            [&](Editor& e) {
                // Only "Back to the editor" may keep it open.
                e.d.setConflictQuestion([&](QWidget*, const QString& text, const QStringList&,
                                            const std::function<void(int)>& answered) {
                    e.messages << text;
                    answered(row.refusal == kConflict ? form_edit::kBackToEditor
                                                      : form_edit::kKeepOther);
                });
                e.text().selectAll();
                QTest::keyClicks(&e.text(), "Typed");
                if (row.refusal == kNotAnswering) {
                    share.stall();
                    service.changeSinceLoaded(*a, {}); // the heartbeat's look, stuck
                    ASSERT_TRUE(eventually([&] { return !service.answering(); }));
                } else if (row.refusal == kUnreadable) {
                    files.failing.insert(path);
                    store.clearCaches();
                } else if (row.refusal == kVanished) {
                    ASSERT_TRUE(QDir().rename(data.path(), away));
                }
                e.ok();
                EXPECT_TRUE(e.d.isVisible());
                EXPECT_EQ(e.text().toPlainText(), "Typed");
                EXPECT_EQ(e.child<QPushButton>("command_ok").text(), "OK");
                ASSERT_EQ(e.messages.size(), 1);
                EXPECT_TRUE(e.messages[0].contains(row.told)) << e.messages[0].toStdString();
                if (e.d.isVisible())
                    e.cancel();
            },
            row.refusal == kNotAnswering ? &viaService : nullptr);
        EXPECT_TRUE(result.cancelled);
        EXPECT_TRUE(row.refusal != kVanished || !QDir(data.path()).exists())
            << "the folder is not made anew";
        share.resume();
        files.failing.clear();
        QDir().rename(away, data.path());
        ASSERT_TRUE(eventually([&] { return service.idle(); }));
        EXPECT_EQ(onDisk(), before);
    }
}

TEST_F(FormEditTest, AStartNotBeforeTheEndIsRefusedAndATextOverTheLimitIsCutUntilTheNextOk)
{
    auto a = stored(); // 09:00 to 10:30
    const QString pasted = QString(ClassTermin::kMaxTextBytes / 2 - 1, QChar(0x00FC)) + "€!";
    const QString cut = pasted.left(pasted.size() - 2); // the euro sign whole or not at all
    const auto result = editThroughFiling(*a, [&](Editor& e) {
        for (const auto& [steps, end] :
             {std::pair{"------", "09:00"}, {"-", "08:45"}, {"*****", "13:45"}}) {
            e.stepTime("text_zeit_bis", steps);
            EXPECT_EQ(e.field("text_zeit_bis").text(), end);
            if (*steps == '*')
                e.text().setPlainText(pasted);
            e.ok();
            ASSERT_TRUE(e.d.isVisible()) << "not saved yet";
        }
        EXPECT_EQ(e.text().toPlainText(), cut);
        ASSERT_EQ(e.messages.size(), 3);
        EXPECT_EQ(e.messages.mid(0, 2), QStringList(2, "Norvane: " + kStartMessage));
        EXPECT_TRUE(e.messages[2].contains("longer than 64 KiB"));
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    store.clearCaches();
    const TerminPtr onDisk = store.LoadAppointment(a->filename(), kFriday);
    EXPECT_EQ(onDisk->EndTime(), hm(13, 45));
    EXPECT_EQ(onDisk->Text(), cut);
}

TEST_F(FormEditTest, DateAndRecurrenceChangesMoveTheFileUnderItsOldName)
{
    // A new file offers the weekly entry, a backslash path its kind.
    for (const auto& [path, index] :
         {std::pair{"", 1}, {"..\\share\\recurring\\every\\17.nv3", 0}}) {
        auto fresh = appointment();
        fresh->setFilename(path);
        EXPECT_EQ(DirectEditor(*fresh, settings).editor.combo("combo_recur").currentIndex(), index)
            << path;
    }
    auto a = stored();
    const QString name = a->filename().section('/', -1);
    // One edit after the other, each opening on the date the one before saved. The entry
    // offered is the one the file's directory tells; a kind chosen before the date changes
    // stays chosen, and the entries name the new date, which the series is filed under.
    const struct {
        QDate date; // picked when valid, with the recurrence box unticked
        int kind;   // -1: not recurring
        int offered;
        const char* chosen; // the entry selected at OK
        const char* dir;
    } edits[] = {{QDate(2003, 7, 8), -1, 1, "every Tuesday", "y2003/m7/d8/"},
                 {QDate(2003, 7, 10), 1, 1, "every Thursday", "recurring/wd5/"},
                 {QDate(), 0, 1, "every day", "recurring/every/"},
                 {QDate(2003, 7, 11), 2, 0, "every 11 day in month", "recurring/d11/"},
                 {QDate(), 3, 2, "every year (birthdays)", "recurring/m7/d11/"},
                 {QDate(), -1, 3, "every year (birthdays)", "y2003/m7/d11/"}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.dir);
        const auto result = editThroughFiling(*a, [&](Editor& e) {
            QComboBox& kinds = e.combo("combo_recur");
            const auto setRecurring = [&](bool on) {
                if (e.check("check_recur").isChecked() != on)
                    e.tick("check_recur");
            };
            e.showPage(2);
            EXPECT_EQ(kinds.currentIndex(), edit.offered);
            if (edit.kind >= 0) {
                setRecurring(true);
                kinds.setCurrentIndex(edit.kind);
            }
            if (edit.date.isValid()) {
                setRecurring(false);
                ASSERT_TRUE(QTest::qWaitFor([&] { return e.field("text_am").isEnabled(); }));
                e.showPage(0);
                e.pickDate("text_am", edit.date);
                EXPECT_EQ(e.field("text_am").text(), edit.date.toString("dd.MM.yyyy"));
                e.showPage(2);
            }
            setRecurring(edit.kind >= 0);
            if (edit.kind == 0) { // the sheets open on the first day's month
                e.pickDate("text_recur_von", QDate(2003, 7, 1));
                e.pickDate("text_recur_bis", QDate(2003, 7, 31));
            }
            EXPECT_EQ(kinds.currentText().toStdString(), edit.chosen);
            e.ok();
        });
        ASSERT_TRUE(result.saved);
        EXPECT_EQ(a->IsRecurring(), edit.kind >= 0);
        EXPECT_EQ(appointmentFiles(), QStringList{edit.dir + name});
    }
    EXPECT_EQ(a->datum(), QDate(2003, 7, 11));
    EXPECT_EQ(a->RecurringStartDate(), QDate(2003, 7, 1));
    EXPECT_EQ(a->RecurringEndDate(), QDate(2003, 7, 31));
}

TEST_F(FormEditTest, RemindMinutesSelectTheirEntryAndOthersGetOneAndAreKept)
{
    const struct {
        int minutes;
        int entry;
        int saved;
        const char* text;
    } rows[] = {{5, 0, 5, "05 minutes before start"},   {10, 1, 10, "10 minutes before start"},
                {30, 5, 30, "30 minutes before start"}, {60, 6, 60, "60 minutes before start"},
                {45, 7, 45, "45 minutes before start"}, {120, 7, 120, "2 hours before start"},
                {1440, 7, 1440, "1 day before start"},  {2880, 7, 2880, "2 days before start"},
                {0, 0, 5, "05 minutes before start"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.minutes);
        auto a = appointment();
        a->setRemindMinutes(qint16(row.minutes));
        a->setReminderAll(row.minutes == 30);
        DirectEditor e(*a, settings);
        const QComboBox& remind = e.editor.combo("combo_remind");
        EXPECT_EQ(remind.currentIndex(), row.entry);
        EXPECT_EQ(remind.currentText(), row.text);
        EXPECT_EQ(e.editor.combo("combo_users").currentIndex(), row.minutes == 30 ? 1 : 0);
        e.editor.ok();
        EXPECT_EQ(e.record().RemindMinutes(), row.saved);
        EXPECT_EQ(e.record().ReminderAll(), row.minutes == 30);
    }
}

TEST_F(FormEditTest, OnlyAnotherUsersAppointmentCanBeTakenOverAndOnlyWithTheTick)
{
    const struct {
        const char* producer;
        bool tick;
        bool offered;
        const char* owner;
    } rows[] = {{"bert", false, false, "bert"},
                {"anna", true, true, "bert"},
                {"Bert", false, true, "Bert"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.producer); // letter case matters
        auto a = appointment();
        a->setProducer(row.producer);
        DirectEditor e(*a, settings);
        EXPECT_EQ(e.editor.check("check_owner").isEnabled(), row.offered);
        EXPECT_EQ(e.editor.label("label_producer").text(), row.producer);
        if (row.tick) {
            e.editor.showPage(3);
            e.editor.tick("check_owner");
        }
        e.editor.ok();
        EXPECT_EQ(e.record().Producer(), row.owner);
    }
}

// The field lists whom it is for as logins; the team's names complete the login being typed.
TEST_F(FormEditTest, WhomItIsForIsShownCompletedFromTheTeamAndSaved)
{
    settings.setTeamMembers(
        {{"anna", "Anna Meier", -1}, {"ben", "Ben Kurz", -1}, {"carla", {}, -1}});
    auto a = appointment();
    a->setForUsers({"anna"});
    DirectEditor e(*a, settings);
    QLineEdit& field = e.editor.field("text_for");
    EXPECT_EQ(field.text(), "anna");
    EXPECT_EQ(field.accessibleName(), "For (login names, separated by commas)");
    e.editor.showPage(3);
    field.setFocus();
    field.setText("anna, ");
    QTest::keyClicks(&field, "kur");
    auto* completer = field.findChild<LoginsCompleter*>();
    ASSERT_NE(completer, nullptr);
    EXPECT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->completionModel()->index(0, 0).data().toString(), "Ben Kurz (ben)");
    EXPECT_EQ(completer->currentCompletion(), "anna, ben");
    field.setText("anna, ben anna,  carla");
    e.editor.ok();
    EXPECT_EQ(e.record().ForUsers(), QStringList({"anna", "ben", "carla"}));
}

// Where it takes place, on the first page below the text, one line.
TEST_F(FormEditTest, TheLocationIsShownBelowTheTextAndSavedAsOneLine)
{
    auto a = appointment();
    a->setLocation("Hall 2");
    DirectEditor e(*a, settings);
    QLineEdit& field = e.editor.field("text_location");
    EXPECT_EQ(field.text(), "Hall 2");
    EXPECT_EQ(field.accessibleName(), "Location");
    const QWidget& text = e.editor.text();
    EXPECT_EQ(field.parentWidget(), text.parentWidget());
    EXPECT_GE(field.y(), text.geometry().bottom());
    EXPECT_LE(field.geometry().bottom(), field.parentWidget()->height());
    field.setText("  Room\t9 ");
    e.editor.ok();
    EXPECT_EQ(e.record().Location(), "Room 9");
}

// A flight at 09:00 New York: the times are typed in its zone and filed as the team's
// (Berlin, 6 hours ahead in July) beside the zone's, which the editor shows again.
TEST_F(FormEditTest, TimesTypedInAZoneOfItsOwnAreFiledAsTheTeamsBesideTheZones)
{
    auto a = appointment();
    DirectEditor e(*a, settings);
    QComboBox& zone = e.editor.combo("combo_zone");
    EXPECT_EQ(zone.currentText(), "Team's time");
    EXPECT_EQ(zone.accessibleName(), "Time zone of the date and times");
    zone.setCurrentIndex(zone.findData("America/New_York"));
    EXPECT_EQ(e.editor.field("text_zeit_von").text(), "03:00") << "the same moment there";
    e.editor.typeInto("text_zeit_von", "09:00");
    e.editor.ok();
    const ClassTermin& filed = e.record();
    EXPECT_EQ(std::pair(filed.StartTime(), filed.EndTime()), std::pair(hm(15, 0), hm(16, 30)));
    EXPECT_EQ(filed.TimeZoneId(), "America/New_York");
    EXPECT_EQ(filed.ZoneStart(), QDateTime(kFriday, QTime(9, 0), Qt::UTC));

    DirectEditor again(filed, settings);
    EXPECT_EQ(again.editor.combo("combo_zone").currentData(), "America/New_York");
    EXPECT_EQ(again.editor.field("text_zeit_bis").text(), "10:30");
    again.editor.combo("combo_zone").setCurrentIndex(0);
    EXPECT_EQ(again.editor.field("text_zeit_von").text(), "15:00");
    again.editor.ok();
    EXPECT_FALSE(again.record().hasOwnZone());
}

// The rooms it books, completed from the team's list with its notes; a name the list lacks
// is booked all the same.
TEST_F(FormEditTest, TheRoomsItBooksAreShownCompletedFromTheTeamsListAndSaved)
{
    settings.setTeamRooms({{"Room 2", "12 seats"}, {"Beamer", "in the cupboard"}});
    auto a = appointment();
    a->setRooms({"Room 2"});
    DirectEditor e(*a, settings);
    QLineEdit& field = e.editor.field("text_rooms");
    EXPECT_EQ(field.text(), "Room 2");
    EXPECT_EQ(field.accessibleName(), "Rooms and equipment (separated by semicolons)");
    e.editor.showPage(3);
    field.setFocus();
    QTest::keyClicks(&field, "; cup");
    auto* completer = field.findChild<LoginsCompleter*>();
    ASSERT_NE(completer, nullptr);
    EXPECT_EQ(completer->completionModel()->index(0, 0).data().toString(),
              "Beamer (in the cupboard)");
    EXPECT_EQ(completer->currentCompletion(), "Room 2; Beamer");
    field.setText("Room 2; beamer;; room 2 ; Room 9");
    QStringList offered;
    e.dialog.setRoomOffer([&](QWidget*, const QStringList& rooms) { offered = rooms; });
    e.editor.ok();
    EXPECT_EQ(e.record().Rooms(), QStringList({"Room 2", "beamer", "Room 9"}));
    // Saved all the same; a note that waits for nobody offers the name the list lacks.
    QMessageBox* note = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "note_unknown_rooms" && window->isVisible())
            note = qobject_cast<QMessageBox*>(window);
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isModal());
    EXPECT_EQ(note->text(), "Room 9 is not in the team's list. Add it?");
    for (QAbstractButton* button : note->buttons())
        if (button->text() == "Add to the list")
            button->click();
    EXPECT_EQ(offered, QStringList("Room 9"));
}

// An event's organizer and attendees are shown, never edited, and an edit keeps them.
TEST_F(FormEditTest, AnEventsOrganizerAndAttendeesAreShownReadOnlyAndAnEditKeepsThem)
{
    auto a = appointment();
    EXPECT_TRUE(DirectEditor(*a, settings).editor.field("text_people").isHidden());
    a->setOrganizer("ORGANIZER;CN=Anna:mailto:anna@example.org");
    a->setAttendees({"ATTENDEE;CN=Ben;PARTSTAT=TENTATIVE:mailto:ben@example.org"});
    DirectEditor e(*a, settings);
    QLineEdit& field = e.editor.field("text_people");
    EXPECT_TRUE(!field.isHidden() && field.isReadOnly() &&
                field.geometry().bottom() < field.parentWidget()->height());
    EXPECT_EQ(field.text(), "Organizer: Anna; Attendees: Ben (tentative)");
    EXPECT_EQ(field.accessibleName(), "Organizer and attendees");
    e.editor.text().setPlainText("Budget moved");
    e.editor.ok();
    EXPECT_EQ(e.record().Text(), "Budget moved");
    EXPECT_TRUE(e.record().Organizer() == a->Organizer() &&
                e.record().Attendees() == a->Attendees());
}

// The team's categories and the appointment's own, a check box each; a name keeps its spelling.
TEST_F(FormEditTest, TheCategoriesPageChecksTheTeamsListAndKeepsNamesTheListLacks)
{
    settings.setTeamCategories({{"Board", 255}, {"Travel", -1}});
    auto a = appointment();
    a->setCategories({"travel", "Food"});
    DirectEditor e(*a, settings);
    auto& list = e.editor.child<QListWidget>("list_categories");
    QStringList rows;
    for (int row = 0; row < list.count(); ++row)
        rows << list.item(row)->text() + "=" + QString::number(list.item(row)->checkState());
    EXPECT_EQ(rows, QStringList({"Board=0", "Travel=2", "Food=2"}));
    list.item(0)->setCheckState(Qt::Checked);
    list.item(2)->setCheckState(Qt::Unchecked);
    e.editor.ok();
    EXPECT_EQ(e.record().Categories(), QStringList({"Board", "travel"}));
}

TEST_F(FormEditTest, TheStartPickerKeepsTheLengthStoppingAt2330AndTheEndPickerMovesOnlyTheEnd)
{
    const struct {
        const char* field;
        QString steps;
        QString times;
    } rows[] = {{"text_zeit_von", "**+", "11:15-12:45"},
                {"text_zeit_von", QString(14, '*'), "23:00-23:30"},
                {"text_zeit_bis", "+*", "09:00-11:45"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.steps.toStdString());
        DirectEditor e(*appointment(), settings); // 09:00 to 10:30
        e.editor.stepTime(row.field, row.steps);
        EXPECT_EQ(e.editor.field("text_zeit_von").text() + "-" +
                      e.editor.field("text_zeit_bis").text(),
                  row.times);
        e.editor.ok();
        EXPECT_EQ(hmText(e.record().StartTime()) + "-" + hmText(e.record().EndTime()), row.times);
    }
}

TEST_F(FormEditTest, DropDownsOpenInsideTheWindowOverTheOtherControlsAndCloseBackToTheirField)
{
    DirectEditor e(*appointment(), settings);
    for (const char* name : {"text_am", "text_color", "text_zeit_von", "text_zeit_bis",
                             "text_endday", "text_recur_von", "text_recur_bis"}) {
        SCOPED_TRACE(name);
        QLineEdit& field = e.editor.field(name);
        if (!field.isEnabled()) {
            e.editor.showPage(2);
            e.editor.tick("check_recur");
        }
        const QString shown = field.text();
        if (QString(name).startsWith("text_zeit")) { // they take typed text: F4 or Alt+Down
            field.setFocus();
            if (QString(name).endsWith("von"))
                QTest::keyClick(&field, Qt::Key_F4);
            else
                QTest::keyClick(&field, Qt::Key_Down, Qt::AltModifier);
        } else {
            e.editor.click(field);
        }
        PictureBox& picture = e.editor.dropDownOf(name);
        ASSERT_TRUE(picture.isVisible());
        const QRect at = picture.geometry();
        EXPECT_TRUE(e.dialog.rect().contains(at));
        QWidget* onTop = e.dialog.childAt(at.center());
        EXPECT_TRUE(onTop == &picture || picture.isAncestorOf(onTop)) << "over what lies there";
        EXPECT_FALSE(at.intersects({field.mapTo(&e.dialog, QPoint(0, 0)), field.size()}))
            << "the field stays in sight";
        QTest::keyClick(&picture, Qt::Key_Escape);
        EXPECT_FALSE(picture.isVisible());
        EXPECT_TRUE(e.dialog.isVisible()) << "Escape closes only the drop-down";
        EXPECT_TRUE(field.hasFocus()) << "the focus returns to the field";
        EXPECT_EQ(field.text(), shown) << "nothing is typed into the field";
    }
}

TEST_F(FormEditTest, TheFirstPageTabsOnePageAtATimeTimesInTheFormatAndTheBoxesSwitchControls)
{
    auto a = stored();
    a->setText("Budget meeting\r\nRoom 4, bring the figures");
    a->setProducer("anna");
    a->setEndTime(hm(13, 45));
    a->setFileDate(QDateTime(QDate(2003, 7, 1), QTime(14, 5)));
    settings.setTimeFormat("12h");
    DirectEditor e(*a, settings);
    EXPECT_EQ(e.editor.tabs().SelectedIndex(), 0);
    for (int page : {0, 2, 1, 3, 0}) { // a press on the page shown changes nothing
        e.editor.showPage(page);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(e.editor.child<QFrame>(QStringLiteral("frame_display_%1").arg(i)).isVisible(),
                      i == page)
                << page << " " << i;
    }
    EXPECT_EQ(e.editor.text().toPlainText(), "Budget meeting\nRoom 4, bring the figures");
    EXPECT_EQ(e.editor.field("text_zeit_von").text(), "09:00 am");
    EXPECT_EQ(e.editor.field("text_zeit_bis").text(), "01:45 pm");
    EXPECT_EQ(e.editor.label("label_lastupdate").text(), "01.07.2003 02:05 pm");

    // The boxes switch their controls and colour their headers. Whether the reminder and
    // recurrence headers are red, then whether each control is enabled.
    Editor& ed = e.editor;
    const QColor red(255, 0, 0);
    const auto states = [&] {
        QString shown = QString::number(ed.tabs().Colour(1) == red) +
                        QString::number(ed.tabs().Colour(2) == red) + ' ';
        for (const char* name : {"combo_remind", "combo_users", "check_email", "combo_recur",
                                 "text_recur_von", "text_recur_bis", "text_am"})
            shown += ed.child<QWidget>(name).isEnabled() ? '1' : '0';
        return shown;
    };
    EXPECT_EQ(states(), "10 1110001"); // reminder on, not recurring
    ed.showPage(1);
    ed.tick("check_remind");
    ed.showPage(2);
    ed.tick("check_recur");
    EXPECT_EQ(states(), "01 0001110");
    // The date of a recurring appointment does not open while the box is ticked.
    ed.showPage(0);
    ed.click(ed.field("text_am"));
    EXPECT_FALSE(ed.picture("pic_datum").isVisible());
}

TEST_F(FormEditTest, TheColourPanelListsTheColoursAndAClickPicksOne)
{
    auto a = appointment();
    a->setColorCode(3);
    settings.setColor(5, 0x00ff00); // green, red in the low byte
    DirectEditor e(*a, settings);
    QLineEdit& colour = e.editor.field("text_color");
    PictureBox& panel = e.editor.picture("pic_colors");
    const auto shownColour = [](QWidget& w, int inset) {
        return w.grab().toImage().pixelColor(w.width() - inset, w.height() / 2);
    };
    EXPECT_EQ(colour.text(), "Colour 3");
    for (int i = 0; i < form_edit::kColorRows; ++i)
        EXPECT_EQ(e.editor.label(QStringLiteral("label_color_array_%1").arg(i)).text(),
                  QStringLiteral("Colour %1").arg(i + 1));
    // Enter on the colour it has and leaving change nothing (Escape: the drop-down test).
    colour.setFocus();
    QTest::keyClick(&colour, Qt::Key_Return);
    ASSERT_TRUE(panel.isVisible());
    QTest::keyClick(&panel, Qt::Key_Return);
    EXPECT_FALSE(panel.isVisible());
    e.editor.click(colour);
    e.editor.text().setFocus();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(colour.text(), "Colour 3");
    e.editor.click(colour);
    QLabel& green = e.editor.label("label_color_array_4");
    EXPECT_TRUE(Drawing::near(shownColour(green, 4), QColor(0, 255, 0)));
    e.editor.click(green);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(colour.text(), "Colour 5");
    EXPECT_TRUE(Drawing::near(shownColour(colour, 6), QColor(0, 255, 0)));
    EXPECT_TRUE(colour.hasFocus());
}

QString textOf(Editor& e, const char* name, int index)
{
    if (!*name)
        return e.d.windowTitle();
    QObject& control = e.child<QObject>(name);
    if (auto* combo = qobject_cast<QComboBox*>(&control))
        return combo->itemText(index);
    if (auto* tabs = qobject_cast<ClassTabs*>(&control))
        return tabs->Caption(index);
    if (auto* picker = qobject_cast<ClassMonthDD*>(&control))
        return picker->langcode();
    return control.property("text").toString();
}

TEST_F(FormEditTest, TextsInBothLanguages)
{
    const struct {
        const char* name;
        int index;
        const char* english;
        const char* german;
    } texts[] = {
        {"", 0, "Add appointment", "Termin anlegen"},
        {"tabs", 0, "Appointment", "Termin"},
        {"tabs", 1, "[!] Reminder", "[!] Erinnerung"},
        {"command_cancel", 0, "Cancel", "Abbrechen"},
        {"combo_remind", 0, "05 minutes before start", "05 Minuten vor Beginn erinnern"},
        {"combo_remind", 7, "1 day before start", "1 Tag vor Beginn erinnern"},
        {"combo_users", 0, "remind only the owner of this appointment",
         "Nur den Besitzer des Termines erinnern"},
        {"combo_users", 1, "remind all users", "Alle Benutzer erinnern"},
        {"combo_recur", 1, "every Friday", "Termin jeden Freitag wiederholen"},
        {"combo_recur", 2, "every 4 day in month", "Termin jeden 4 Tag in Monat wiederholen"},
        {"label_info_file", 0, "Appointment-file:", "Termin-Datei:"},
        {"check_owner", 0, "I am new owner", "Besitz übernehmen"},
        {"datumswahl", 0, "en", "de"}};
    using C = WriteOutcome::Cause;
    const struct {
        WriteOutcome outcome;
        const char* english;
        const char* german;
    } causes[] = {
        {WriteOutcome::failed(C::FolderUnreachable, "/srv/team/"),
         "The appointment could not be saved.\r\nThe data folder /srv/team/ cannot be reached.",
         "Der Termin konnte nicht gespeichert werden.\r\nDer Datenordner /srv/team/ ist nicht "
         "erreichbar."},
        {WriteOutcome::failed(C::Unreadable, "/srv/1.nv3", "Input/output error"),
         "The appointment could not be saved.\r\n/srv/1.nv3 is there but could not be read; it "
         "was left as it is.\r\n\r\nInput/output error",
         "Der Termin konnte nicht gespeichert werden.\r\n/srv/1.nv3 ist vorhanden, konnte aber "
         "nicht gelesen werden; die Datei bleibt, wie sie ist.\r\n\r\nInput/output error"},
        {WriteOutcome::failed(C::System, "/srv/1.nv3", "No space left on device"),
         "The appointment could not be saved.\r\nPlease ensure the accessibility of the "
         "datasource folder and check your privileges.\r\n\r\nNo space left on device",
         "Der Termin konnte nicht gespeichert werden.\r\nBitte prüfen Sie die Verfügbarkeit des "
         "Datenordners und Ihre Zugriffsrechte.\r\n\r\nNo space left on device"}};
    inBothLanguages([&](bool german) {
        auto a = appointment();
        a->setEndTime(a->StartTime());
        a->setRemindMinutes(24 * 60);
        DirectEditor e(*a, settings, true);
        for (const auto& text : texts)
            EXPECT_EQ(textOf(e.editor, text.name, text.index),
                      QString::fromUtf8(german ? text.german : text.english))
                << text.name << " " << text.index;
        EXPECT_EQ(DirectEditor(*a, settings, false).dialog.windowTitle(),
                  german ? "Termin bearbeiten" : "Edit appointment");
        EXPECT_EQ(form_edit::tr("Saving..."), german ? "Speichern..." : "Saving...");
        for (const auto& c : causes) // of a failed save
            EXPECT_EQ(AppointmentEditing::failureMessage(c.outcome),
                      QString::fromUtf8(german ? c.german : c.english));
        e.editor.ok();
        EXPECT_EQ(e.editor.messages,
                  QStringList("Norvane: " +
                              (german ? QString::fromUtf8("Die Startzeit des Termines muss vor "
                                                          "der Endzeit liegen.")
                                      : kStartMessage)));
        e.editor.cancel();
    });
}

TEST_F(FormEditTest, ANewAppointmentGoesIntoTheCalendarChosenAndAnOldOneOffersNone)
{
    auto team = std::make_shared<HeldFiler>();
    const QList<EditHandOver::Calendar> calendars{
        {"Mine", std::shared_ptr<Filer>(&filing, [](Filer*) {})}, {"Team", team}};
    for (const bool isNew : {true, false}) {
        SCOPED_TRACE(isNew ? "new" : "old");
        ClassTermin a = *appointment();
        if (!isNew) {
            ASSERT_TRUE(filing.File(a).ok);
        }
        std::optional<AppointmentEditing::Result> result;
        editing.EditMe(
            a, true, [&](const AppointmentEditing::Result& r) { result = r; }, filing, calendars);
        ASSERT_NE(openEditor(), nullptr);
        Editor e(*openEditor());
        e.waitUntilReady();
        auto* choice = openEditor()->findChild<QComboBox*>("combo_calendar");
        ASSERT_EQ(choice != nullptr, isNew);
        if (isNew) {
            EXPECT_EQ(e.label("label_calendar").text(), "Calendar:");
            ASSERT_EQ(choice->count(), 2);
            EXPECT_EQ(choice->itemText(1), "Team");
            choice->setCurrentIndex(1);
        }
        e.ok();
        if (isNew) {
            ASSERT_EQ(team->sent.size(), 1) << "filed into the folder chosen";
            team->answer(WriteOutcome::done());
        }
        ASSERT_TRUE(result && result->saved);
        EXPECT_EQ(appointmentFiles().size(), isNew ? 0 : 1) << "the new one went elsewhere";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(FormEditTest, EditMeFilesOnOkWithTheEditorAtOnceWithoutItAndSaysWhyASaveFailed)
{
    enum Way { kNoEditor, kOk, kCancel };
    for (const Way way : {kNoEditor, kOk, kCancel}) {
        SCOPED_TRACE(way);
        ClassTermin a;
        a.setDatum(QDate(2003, 7, 4));
        a.setText(QStringLiteral("Budget"));
        ASSERT_TRUE(filing.File(a).ok);
        const QByteArray before = TestFiles::readBytes(a.filename());
        editing.setEditor([way](std::shared_ptr<EditHandOver> h) {
            EXPECT_FALSE(h->EditIsNew);
            h->appointment.setText(QStringLiteral("changed in the editor"));
            if (way == kCancel)
                return h->finished(false);
            h->filer->file(h->appointment,
                           [h](const WriteOutcome& outcome, const ClassTermin& filed) {
                               h->appointment = filed;
                               h->finished(outcome.ok);
                           });
        });
        QList<AppointmentEditing::Result> results;
        editing.EditMe(a, way != kNoEditor,
                       [&](const AppointmentEditing::Result& r) { results << r; });
        ASSERT_EQ(results.size(), 1);
        EXPECT_EQ(results[0].saved, way != kCancel);
        EXPECT_EQ(results[0].cancelled, way == kCancel);
        EXPECT_TRUE(results[0].failure.isEmpty());
        EXPECT_EQ(results[0].appointment.Text(), way == kOk ? "changed in the editor" : "Budget");
        EXPECT_EQ(TestFiles::readBytes(a.filename()) == before, way != kOk);
    }
    // A failed save without the editor comes back with the reason.
    ASSERT_TRUE(TestFiles::writeBytes(settings.GetDataFolder() + "y2004", "not a directory"));
    ClassTermin a;
    a.setDatum(QDate(2004, 7, 4));
    std::optional<AppointmentEditing::Result> result;
    editing.EditMe(a, false, [&](const AppointmentEditing::Result& r) { result = r; });
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->saved);
    EXPECT_TRUE(result->failure.startsWith("The appointment could not be saved.\r\n"));
}

TEST_F(FormEditTest, FindATimeAsksTheWindowWithWhatTheControlsHoldAndTakesTheTimeFound)
{
    auto a = appointment();
    a->setForUsers({"anna"});
    EXPECT_EQ(DirectEditor(*a, settings).dialog.findChild<QPushButton*>("command_find_time"),
              nullptr)
        << "none where no window answers";
    std::optional<FindTimeAsk> asked;
    auto handOver = std::make_shared<EditHandOver>(EditHandOver{
        *a, false, nullptr, {}, {}, [&asked](const FindTimeAsk& ask) { asked = ask; }});
    form_edit dialog(handOver, settings, kLogin);
    Editor e(dialog);
    dialog.show();
    e.waitUntilReady();
    e.typeInto("text_zeit_bis", "11:00");
    e.click(e.child<QPushButton>("command_find_time"));
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->editor, &dialog);
    EXPECT_EQ(asked->draft.EndTime(), hm(11, 0));
    EXPECT_EQ(asked->draft.ForUsers(), QStringList{"anna"});
    asked->take(QDate(2003, 7, 8), hm(14, 0), hm(16, 0), {"ben", "carla"}, {"Blue"});
    EXPECT_EQ(e.field("text_am").text(), "08.07.2003");
    EXPECT_EQ(e.field("text_zeit_von").text(), "14:00");
    EXPECT_EQ(e.field("text_zeit_bis").text(), "16:00");
    e.ok();
    EXPECT_EQ(handOver->appointment.datum(), QDate(2003, 7, 8));
    EXPECT_EQ(handOver->appointment.EndTime(), hm(16, 0));
    EXPECT_EQ(handOver->appointment.ForUsers(), (QStringList{"ben", "carla"}));
    EXPECT_EQ(handOver->appointment.Rooms(), QStringList{"Blue"});
}

} // namespace
