// The calendars of an account as a server lists them (name, colour, whether the user may only
// read them), and the settings that pair them with data folders.
#include "profile/ProfileCache.h"
#include "sync/CalDavClient.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray privileges(const QByteArray& names)
{
    QByteArray set = "<d:current-user-privilege-set>";
    for (const QByteArray& name : names.split(' '))
        set += "<d:privilege><d:" + name + "/></d:privilege>";
    return set + "</d:current-user-privilege-set>";
}

TEST(CalendarListing, NameColourAndPrivilegesOfEachCalendar)
{
    const QByteArray cal = "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>";
    const QByteArray todo = "<c:supported-calendar-component-set><c:comp name=\"VTODO\"/>";
    const QByteArray end = "</c:supported-calendar-component-set>";
    const QByteArray color = "<ic:calendar-color>";
    const std::pair<QByteArray, QString> rows[] = {
        {cal + "<d:displayname>Team</d:displayname>" + color + "#FF8800FF</ic:calendar-color>" +
             privileges("read write"),
         "Team #ff8800 rw"},
        {cal + "<d:displayname>Holidays</d:displayname>" +
             privileges("read read-current-user-privilege-set"),
         "Holidays  ro"},
        {cal + privileges("write-content"), "  rw"},
        {cal + color + "red</ic:calendar-color>", "  rw"},
        {cal + "<d:displayname>A&#9;B</d:displayname>", "A\uFFFDB  rw"},
        {cal + todo + "<c:comp name=\"VEVENT\"/>" + end, "  rw"},
        {cal + todo + end, "no events"},
        {"<d:resourcetype><d:collection/><a:addressbook/></d:resourcetype>", "no events"},
    };
    for (const auto& [props, expected] : rows) {
        SCOPED_TRACE(props.constData());
        const auto responses = DavXml::parseMultistatus(
            "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
            "xmlns:c=\"urn:ietf:params:xml:ns:caldav\" xmlns:ic=\"http://apple.com/ns/ical/\" "
            "xmlns:a=\"urn:ietf:params:xml:ns:carddav\"><d:response><d:href>/cal/</d:href>"
            "<d:propstat><d:prop>" +
            props +
            "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
            "</d:multistatus>");
        ASSERT_TRUE(responses && responses->size() == 1);
        const ServerCalendar found = CalDavClient::calendarOf(responses->first());
        EXPECT_EQ(CalDavClient::holdsEvents(responses->first())
                      ? found.name + ' ' + found.color + (found.readOnly ? " ro" : " rw")
                      : "no events",
                  expected);
    }
}

TEST(SyncSettings, PairsRoundTripAndTheAccountsUrlAloneIsOnePair)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Norvane4.ini");
    // What the file holds once settings are written over before, and what it reads as.
    const auto written = [&](const QByteArray& before, const std::optional<SyncSettings>& sync) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        f.close();
        ProfileCache profiles(ThreadFileAccess());
        if (sync) {
            EXPECT_TRUE(writeSyncSettings(profiles, file, *sync, nullptr));
        }
        ProfileCache fresh(ThreadFileAccess());
        return std::pair(readSyncSettings(fresh, file),
                         f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    };
    SyncSettings two;
    two.url = "https://dav.test/";
    two.pairs = {{two.url + "work/", "/share/work/", false, "Work"},
                 {two.url + "holidays/", {}, true, "Holidays"}};
    const auto [read, bytes] = written({}, two);
    EXPECT_EQ(read.pairs, two.pairs);
    EXPECT_TRUE(bytes.contains("CalendarCount=2\r\n") && bytes.contains("Calendar2ReadOnly=1\r\n"))
        << bytes.constData();

    // Back to one calendar with the active folder: the keys of before, and nothing else.
    SyncSettings one;
    one.url = two.url + "work/";
    one.pairs = {SyncPair::asEver(one.url)};
    const auto [again, plain] = written(bytes, one);
    EXPECT_EQ(again.pairs, one.pairs);
    EXPECT_FALSE(plain.contains("Calendar")) << plain.constData();

    // A file of before the pairs: its URL is the one pair.
    const QByteArray old = "[CalDAV]\r\nUrl=" + one.url.toUtf8() + "\r\nUser=anna\r\n";
    EXPECT_EQ(written(old, {}).first.pairs, one.pairs);
}

} // namespace
