#pragma once

// One case of the sync tests: a fresh data folder and a fresh calendar on a real CalDAV server,
// with what the program and a phone's calendar app (python3-caldav) see and change on each side.
#include "CalDavServer.h"
#include "TestDays.h"
#include "app/cli/SyncCommand.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/SeriesFiling.h"
#include "sync/Sync.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

inline const QDate kDay = kTestToday.addDays(3);
// An iCalendar time of day, as the phone is given it.
inline QString stamp(const QDate& day, int hour)
{
    return day.toString("yyyyMMdd") + QStringLiteral("T%1").arg(hour, 2, 10, QLatin1Char('0')) +
           "0000";
}

// One case: a fresh data folder and a fresh calendar.
class Case {
public:
    Case(CalDavServer& server, const QString& url)
        : m_server(server)
        , m_url(url)
        , m_folder(m_dir.path() + u'/')
    {
    }

    CalDavServer& server() { return m_server; }
    const QString& folder() const { return m_folder; }
    const QString& url() const { return m_url; }
    // The folder as a copy of the program opens it.
    DataAccess folderStore() const { return DataAccess(m_profiles, StoreSource::fixed(m_folder)); }

    SyncResult sync(SyncOptions options = {}) const
    {
        options.connectTimeout = std::chrono::seconds(5);
        options.stallTimeout = std::chrono::seconds(10);
        options.today = kTestToday;
        return runSync(m_folder, m_server.account(m_url), options);
    }
    // A sync that must finish.
    SyncResult synced() const
    {
        const SyncResult result = sync();
        EXPECT_TRUE(result.ok()) << qPrintable(result.error);
        return result;
    }

    // A new appointment of the folder; kind "wd" makes it weekly. Its path inside the folder.
    QString add(const QString& text, const QDate& day, int hour = 10, const QString& kind = {})
    {
        DataAccess store = folderStore();
        ClassTermin a;
        a.setDatum(day);
        a.setStartTime(TimeOfDay::fromHourMinute(hour, 0));
        a.setEndTime(TimeOfDay::fromHourMinute(hour + 1, 0));
        a.setText(text);
        a.setProducer("alice");
        if (!kind.isEmpty()) {
            a.setIsRecurring(true);
            a.Recurring_code = kind;
            a.setRecurringStartDate(day);
            a.setRecurringEndDate(day.addDays(60));
        }
        EXPECT_TRUE(AppointmentFiling(store).File(a).ok);
        return a.filename().mid(m_folder.size());
    }
    void edit(const QString& path, const QString& text)
    {
        ClassTermin a = *loaded(path);
        a.setText(text);
        EXPECT_TRUE(folderStore().SaveAppointment(a).ok);
    }
    void remove(const QString& path) { EXPECT_TRUE(QFile::remove(m_folder + path)); }
    // The occurrence on day of the series there, changed as the window changes it (change
    // given the record the editor would open on) or deleted.
    void changeSeries(const QDate& day, SeriesEdit::Scope scope,
                      const std::function<void(ClassTermin&)>& change = {})
    {
        DataAccess store = folderStore();
        AppointmentFiling filing(store);
        const TerminPtr part = store.GetAppointmentsOfDay(day).value(0);
        ASSERT_NE(part, nullptr);
        std::optional<ClassTermin> changed;
        if (change) {
            changed = SeriesEdit::recordFor(*part, day, scope);
            change(*changed);
        }
        EXPECT_TRUE(SeriesFiling(store, filing).apply({*part, day, scope, changed, {}}).ok());
    }

    // The weeks from kDay on that the folder shows, as "week@hour".
    QString shown(int weeks) const
    {
        DataAccess store = folderStore();
        QStringList days;
        for (int week = 0; week < weeks; ++week) {
            for (const TerminPtr& a : store.GetAppointmentsOfDay(kDay.addDays(7 * week)))
                days << QString("%1@%2").arg(week).arg(a->StartTime().hour());
        }
        return days.join(' ');
    }

    // Path inside the folder by first line of the text, of every appointment file.
    QMap<QString, QString> local() const
    {
        QMap<QString, QString> found;
        for (const QString& path : files()) {
            const QString text = loaded(path)->Text().section("\r\n", 0, 0);
            EXPECT_FALSE(found.contains(text)) << "twice: " << qPrintable(text);
            found.insert(text, path);
        }
        return found;
    }
    // Every appointment file, by its path inside the folder.
    QStringList files() const
    {
        QStringList found;
        for (QDirIterator it(m_folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            found << it.next().mid(m_folder.size());
        return found;
    }
    QStringList localTexts() const { return local().keys(); }
    // Both sides hold these texts.
    void expectTexts(const QStringList& texts)
    {
        EXPECT_EQ(localTexts(), texts);
        EXPECT_EQ(serverTexts(), texts);
    }

    // norvane-cli sync of the case's folder and calendar, in the machine's zone unless given.
    void startCli(QProcess& cli, const QStringList& more = {}, const QString& zone = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("NORVANE_SYNC_PASSWORD", CalDavServer::kPassword);
        if (!zone.isEmpty())
            env.insert("TZ", zone);
        cli.setProcessEnvironment(env);
        cli.start(NORVANE_CLI_PATH, QStringList{"sync", "--folder", m_folder, "--url", m_url,
                                                "--user", CalDavServer::kUser} +
                                        more);
    }
    QString textOf(const QString& path) const { return loaded(path)->Text(); }
    std::pair<int, int> timesOf(const QString& path) const
    {
        const TerminPtr a = loaded(path);
        return {a->StartTime().minutes(), a->EndTime().minutes()};
    }
    TerminPtr loaded(const QString& path) const
    {
        return folderStore().LoadAppointment(m_folder + path, {});
    }

    // The phone's view: each event by summary, with its uid, start, rule and parts.
    QMap<QString, QJsonObject> phoneEvents()
    {
        QMap<QString, QJsonObject> events;
        for (const QByteArray& line : phone({"list"}).split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            EXPECT_FALSE(events.contains(o["summary"].toString())) << line.constData();
            events.insert(o["summary"].toString(), o);
        }
        return events;
    }
    QStringList serverTexts() { return phoneEvents().keys(); }
    QString uidOn(const QString& summary) { return phoneEvents()[summary]["uid"].toString(); }
    QByteArray phone(const QStringList& args)
    {
        QProcess p;
        p.start("/usr/bin/python3", QStringList{QStringLiteral(NORVANE_PHONE), m_url,
                                                CalDavServer::kUser, CalDavServer::kPassword} +
                                        args);
        p.waitForFinished(60000);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
        return p.readAllStandardOutput();
    }

private:
    CalDavServer& m_server;
    QString m_url;
    QTemporaryDir m_dir;
    QString m_folder;
    mutable ProfileCache m_profiles{ThreadFileAccess()};
};
