// The sync's HTTP against a hostile server of the test's own: it sends the client to a second
// port in every way it can, trickles, slows every answer, or never ends one; the login must
// never reach the second port. Its calendar /names/ has names to percent-encode and tells changes
// in parts.
#include "sync/CalDavClient.h"
#include "sync/DavXml.h"
#include "sync/HttpClient.h"
#include "sync/SyncRecord.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

class HostileServer {
public:
    HostileServer()
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(kPython, {NORVANE_HOSTILE_SERVER, m_dir.filePath("log")});
        while (!m_process.canReadLine() && m_process.waitForReadyRead(20000))
            ;
        if (m_process.canReadLine()) {
            const QList<QByteArray> ports = m_process.readLine().trimmed().split(' ');
            m_first = ports.value(0).toInt();
            m_second = ports.value(1).toInt();
        }
    }
    ~HostileServer()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    bool running() const { return m_first > 0 && m_second > 0; }
    QString first() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_first); }
    QString second() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_second); }
    int firstPort() const { return m_first; }

    // Requests each port has seen since the last call, and how many of them carried a login.
    struct Seen {
        int requests = 0;
        int logins = 0;
    };
    QMap<QString, Seen> seen()
    {
        QMap<QString, Seen> ports;
        for (const QJsonObject& line : requests()) {
            Seen& port = ports[line.value("port").toString()];
            ++port.requests;
            port.logins += line.value("auth").toBool();
        }
        return ports;
    }
    // The requests since the last call, as logged.
    QList<QJsonObject> requests()
    {
        QFile log(m_dir.filePath("log"));
        QList<QJsonObject> lines;
        if (!log.open(QIODevice::ReadOnly))
            return lines;
        log.seek(m_logRead);
        while (!log.atEnd())
            lines << QJsonDocument::fromJson(log.readLine()).object();
        m_logRead = log.pos();
        return lines;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_first = 0;
    int m_second = 0;
    qint64 m_logRead = 0;
};

SyncAccount account(const QString& url)
{
    return {url, QStringLiteral("alice"), QStringLiteral("secret")};
}

SyncOptions shortOptions(int deadlineSeconds)
{
    SyncOptions options;
    options.connectTimeout = std::chrono::seconds(5);
    options.stallTimeout = std::chrono::seconds(5);
    options.requestDeadline = std::chrono::seconds(deadlineSeconds);
    return options;
}

// norvane-cli sync of folder with the calendar at url as alice: its exit code and error output.
std::pair<int, QString> cliSync(const QString& folder, const QString& url,
                                const QStringList& more = {})
{
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("NORVANE_SYNC_PASSWORD", "secret");
    cli.setProcessEnvironment(env);
    cli.start(NORVANE_CLI_PATH,
              QStringList{"sync", "--folder", folder, "--url", url, "--user", "alice"} + more);
    EXPECT_TRUE(cli.waitForFinished(60000)) << qPrintable(url);
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardError())};
}

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(kPython))
            GTEST_SKIP() << "python3 is not installed";
        static HostileServer server;
        if (!server.running())
            GTEST_SKIP() << "the hostile server did not start";
        m_server = &server;
        m_server->seen();
    }
    QString expected(const char* text) const
    {
        return QString::fromUtf8(text).replace("{second}", m_server->second());
    }

    HostileServer* m_server = nullptr;
};

struct Row {
    const char* name;
    const char* path; // on the first port
    const char* expected;
    int deadlineSeconds = 30;
};

const Row kRows[] = {
    {"RedirectToTheSecondPort", "/redirect/", "on to {second}/calendar/, another server"},
    {"PrincipalOnTheSecondPort", "/principal/", "on to {second}/p/, another server"},
    {"CalendarHomeOnTheSecondPort", "/home/", "on to {second}/calendars/, another server"},
    {"CalendarOnTheSecondPort", "/calendar/", "on to {second}/cal/, another server"},
    {"EventOnTheSecondPort", "/event/", "on to {second}/event.ics, another server"},
    {"RedirectToAFile", "/redirect-scheme/", "does not follow: file:///etc/passwd"},
    {"PrincipalOfAnotherScheme", "/scheme/", "does not follow: ftp://"},
    {"HrefWithAControlCharacter", "/control/",
     "does not follow: /control/a\xEF\xBF\xBD"
     "b/"},
    {"OverlongHref", "/long/", "does not follow: /xxxx"},
    {"AnswerWithoutEnd", "/endless/", "answered more than 64 MB"},
    {"TricklingAnswer", "/trickle/", "did not finish its answer within 2 seconds", 2},
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.path;
}

class HostileCase : public TransportTest, public ::testing::WithParamInterface<Row> {};

TEST_P(HostileCase, EndsWithAMessageAndNoLoginElsewhere)
{
    const Row& row = GetParam();
    const QString url = m_server->first() + QString::fromUtf8(row.path);
    HttpClient http(account(url), shortOptions(row.deadlineSeconds));
    // What a sync asks first: the collection, its state, its members; the first failure's text.
    CalDavClient dav(http);
    QStringList candidates;
    const std::optional<QUrl> collection = dav.discover(QUrl(url), &candidates);
    const bool reached = collection && dav.state(*collection) && dav.etags(*collection);
    const QString error = reached ? QString() : dav.error();
    EXPECT_TRUE(error.contains(expected(row.expected))) << qPrintable(error);
    EXPECT_TRUE(error.contains(m_server->first()) || error.contains(m_server->second()))
        << "names the server: " << qPrintable(error);
    const auto seen = m_server->seen();
    EXPECT_GT(seen.value("first").logins, 0) << "the login was in play";
    EXPECT_EQ(seen.value("second").logins, 0);
}

INSTANTIATE_TEST_SUITE_P(Server, HostileCase, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransportTest, HttpsNeverGoesOnOverHttpAndTheCommandLineStopsWithTheReason)
{
    const QString https = QStringLiteral("https://127.0.0.1:%1/").arg(m_server->firstPort());
    HttpClient http(account(https), shortOptions(30));
    const HttpClient::Response response = http.request("PROPFIND", m_server->first() + "/x/");
    EXPECT_EQ(response.status, 0);
    EXPECT_TRUE(response.error.contains("without encryption")) << qPrintable(response.error);
    EXPECT_EQ(m_server->seen().value("first").requests, 0) << "nothing went over http";

    // What the user of the command line sees: the exit code and the message, and no lock left.
    const std::pair<const char*, const char*> cases[] = {
        {"/redirect/", "{second}/calendar/"},
        {"/endless/", "answered more than 64 MB"},
    };
    for (const auto& [path, text] : cases) {
        QTemporaryDir folder;
        const auto [code, error] = cliSync(folder.path(), m_server->first() + path);
        EXPECT_EQ(code, 1) << path;
        EXPECT_TRUE(error.contains(expected(text))) << qPrintable(error);
        EXPECT_FALSE(QFile::exists(folder.filePath(SyncRecord::kDirectory + "/lock"))) << path;
        EXPECT_EQ(m_server->seen().value("second").logins, 0) << "no login elsewhere";
    }
}

TEST_F(TransportTest, ASyncSlowInEveryAnswerEndsByItsOwnDeadlineWithTheServerNamed)
{
    // Each answer takes seconds, within its limits; the command line's whole sync ends.
    QTemporaryDir folder;
    const auto [code, error] =
        cliSync(folder.path(), m_server->first() + "/slow/", {"--deadline", "5"});
    EXPECT_EQ(code, 1) << qPrintable(error);
    EXPECT_TRUE(error.contains("The sync with " + m_server->first() +
                               "/slow/ did not finish within 5 seconds"))
        << qPrintable(error);
    EXPECT_FALSE(QFile::exists(folder.filePath(SyncRecord::kDirectory + "/lock")));
}

// The calendar /names/ from scratch, a sync of a folder of its own with it.
class NamesTest : public TransportTest {
protected:
    void SetUp() override
    {
        TransportTest::SetUp();
        if (!IsSkipped())
            control("reset");
    }
    QString url() const { return m_server->first() + "/names/"; }
    void control(const char* what)
    {
        HttpClient http(account(url()), shortOptions(30));
        ASSERT_EQ(http.request("GET", url() + what).status, 204) << what;
        m_server->requests();
    }
    SyncResult sync()
    {
        const SyncResult result = runSync(m_folder.path() + u'/', account(url()), shortOptions(30));
        EXPECT_TRUE(result.ok()) << qPrintable(result.error);
        return result;
    }
    // The hrefs a calendar-multiget asked for and the tokens a sync-collection report gave,
    // since the last call; whether the collection was listed in full.
    struct Asked {
        QStringList fetched;
        QStringList tokens;
        bool listed = false;
    };
    Asked asked()
    {
        Asked asked;
        for (const QJsonObject& line : m_server->requests()) {
            for (const QJsonValue& href : line.value("hrefs").toArray())
                asked.fetched << href.toString();
            for (const QJsonValue& token : line.value("token").toArray())
                asked.tokens << token.toString();
            asked.listed =
                asked.listed || (line.value("method") == "PROPFIND" && line.value("depth") == "1");
        }
        asked.fetched.sort();
        return asked;
    }
    // The texts of the appointments in the folder.
    QStringList texts() const
    {
        QStringList texts;
        QDirIterator it(m_folder.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : file.readAll().split('\n'))
                if (line.startsWith("Text="))
                    texts << QString::fromUtf8(line.mid(5)).trimmed();
        }
        texts.sort();
        return texts;
    }

    QTemporaryDir m_folder;
};

TEST_F(NamesTest, EachEventIsAskedForUnderTheHrefItWasListedBy)
{
    EXPECT_EQ(sync().received, 4);
    const QStringList fetched{"/names/raw%20space.ics", "/names/semi%3Bcolon.ics",
                              "/names/sl%252Fash.ics", "/names/with%20space.ics"};
    EXPECT_EQ(asked().fetched, fetched);
    EXPECT_EQ(texts(), QStringList({"RawSpace", "Semicolon", "Slash", "Space"}));
    EXPECT_EQ(sync().received, 0) << "and the next sync goes through";
}

struct PartsRow {
    const char* name;
    const char* mode;   // of the calendar, from its start
    QStringList tokens; // the sync-collection reports, by the token each gave
    bool listedInFull;  // after the reports
};

class PartsCase : public NamesTest, public ::testing::WithParamInterface<PartsRow> {};

TEST_P(PartsCase, TakesEveryChange)
{
    control(GetParam().mode);
    sync();
    control("more");
    EXPECT_EQ(sync().received, 2);
    const Asked asked = this->asked();
    EXPECT_EQ(asked.tokens, GetParam().tokens);
    EXPECT_EQ(asked.fetched, QStringList({"/names/part%3Bone.ics", "/names/part%3Btwo.ics"}));
    EXPECT_EQ(asked.listed, GetParam().listedInFull);
    EXPECT_EQ(texts(),
              QStringList({"PartOne", "PartTwo", "RawSpace", "Semicolon", "Slash", "Space"}));
}

const PartsRow kParts[] = {
    {"TruncatedAnswerFollowedToItsEnd", "reset", {"n4", "n5"}, false},
    {"PartsWithoutEndGiveWayToAFullListing", "endless", {"n4"}, true},
};

INSTANTIATE_TEST_SUITE_P(Names, PartsCase, ::testing::ValuesIn(kParts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DavXmlTest, BombsAreNoAnswer)
{
    const QByteArray start = "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href>"
                             "<d:propstat><d:prop><d:x>";
    const QByteArray end = "</d:x></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
                           "</d:response></d:multistatus>";
    const QByteArray entities = "<?xml version=\"1.0\"?><!DOCTYPE d:multistatus ["
                                "<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>" +
                                start + "&b;" + end;
    EXPECT_FALSE(DavXml::parseMultistatus(entities));
    const QByteArray deep = QByteArray("<d:y>").repeated(100) + QByteArray("</d:y>").repeated(100);
    EXPECT_FALSE(DavXml::parseMultistatus(start + deep + end));
    const auto plain = DavXml::parseMultistatus(start + "text" + end);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->value(0).found.value(DavXml::name(DavXml::kDav, "x")).text, "text");
}

} // namespace
