// A calendar the server lets the user only read: synced down, never a PUT or a DELETE, and no
// change of the folder lost silently.
#include "MemorySync.h"
#include "TestDays.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kDay = kTestToday.addDays(3);

struct Folder {
    QTemporaryDir dir;
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store() { return DataAccess(profiles, StoreSource::fixed(dir.path())); }
    // The file of each of the day's appointments by its text.
    QMap<QString, QString> shown()
    {
        QMap<QString, QString> files;
        for (const TerminPtr& a : store().GetAppointmentsOfDay(kDay))
            files.insert(a->Text(), a->filename());
        return files;
    }
    // A new appointment with the text, or the one with the text `was` changed to it.
    void save(const QString& text, const QString& was = {})
    {
        ClassTermin a =
            was.isEmpty() ? ClassTermin() : *store().LoadAppointment(shown()[was], kDay);
        a.setText(text);
        a.setDatum(kDay);
        a.setStartTime(at(9));
        a.setEndTime(at(10));
        DataAccess s = store();
        ASSERT_TRUE(was.isEmpty() ? AppointmentFiling(s).File(a).ok : s.SaveAppointment(a).ok);
    }
};

QByteArray event(const QString& text)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:theirs@phone\r\nDTSTART:" +
           kDay.toString("yyyyMMdd").toUtf8() +
           "T140000\r\nDURATION:PT1H\r\nSUMMARY:" + text.toUtf8() +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

TEST(SyncReadOnlyTest, ChangesHereStayHereAndTheServersChangesComeDown)
{
    Folder here;
    MemorySync sync;
    MemoryServer& server = sync.server;
    server.setReadOnly(true);
    QString href;
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* shown; // the folder's texts after the sync
        int notSent;       // files the sync names as not sent
        bool told;         // whether its notes name a file
    };
    const auto phone = [&](const char* text) { server.phoneEdit(href, event(text)); };
    const Step steps[] = {
        {"new on both sides", [&] { here.save("Mine"), href = server.phoneAdd(event("Theirs")); },
         "Mine Theirs", 1, true},
        {"nothing new: told once", [] {}, "Mine Theirs", 1, false},
        {"changed here", [&] { here.save("Here", "Theirs"); }, "Here Mine", 2, true},
        {"and there: both kept", [&] { phone("There"); }, "Here(copy) Mine There", 2, true},
        {"deleted here", [&] { QFile::remove(here.shown()["There"]); }, "Here(copy) Mine", 3, true},
        {"changed there: it comes back", [&] { phone("Again"); }, "Again Here(copy) Mine", 2,
         false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const SyncResult result = sync(here.dir);
        EXPECT_EQ(here.shown().keys().join(' ').replace(" (conflict copy)", "(copy)"), step.shown);
        EXPECT_EQ(result.notSent.size(), step.notSent) << result.notSent.join(' ').toStdString();
        EXPECT_EQ(result.notes.join(' ').contains("was not sent"), step.told)
            << result.notes.join('\n').toStdString();
        EXPECT_EQ(server.writes(), 0);
    }
    // The user's own choice does as much for a calendar the server would take writes to.
    server.setReadOnly(false);
    SyncOptions downOnly;
    downOnly.readOnly = true;
    EXPECT_EQ(sync(here.dir, downOnly).notSent.size(), 2);
    EXPECT_EQ(server.writes(), 0);
    EXPECT_EQ(sync(here.dir).sent, 2) << "writable again, the changes go";
}

} // namespace
