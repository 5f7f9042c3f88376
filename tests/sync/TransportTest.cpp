// The sync's HTTP against a hostile server of the test's own: it sends the client to a second
// port in every way it can, trickles, or never ends its answer. The login must never reach the
// second port, and each case must end with a message that says what happened.
#include "CalDavClient.h"
#include "DavXml.h"
#include "HttpClient.h"
#include "SyncRecord.h"

#include <QFile>
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
        QFile log(m_dir.filePath("log"));
        QMap<QString, Seen> ports;
        if (!log.open(QIODevice::ReadOnly))
            return ports;
        log.seek(m_logRead);
        while (!log.atEnd()) {
            const QJsonObject line = QJsonDocument::fromJson(log.readLine()).object();
            Seen& port = ports[line.value("port").toString()];
            ++port.requests;
            port.logins += line.value("auth").toBool();
        }
        m_logRead = log.pos();
        return ports;
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

// What a sync asks first: the collection, its state, its members. The first failure's text.
QString reach(CalDavClient& dav, const QUrl& url)
{
    QStringList candidates;
    const std::optional<QUrl> collection = dav.discover(url, &candidates);
    if (collection && dav.state(*collection) && dav.etags(*collection))
        return {};
    return dav.error();
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
    // The second port saw no login, whatever the first did.
    void expectNoLoginElsewhere()
    {
        const auto seen = m_server->seen();
        EXPECT_EQ(seen.value("second").logins, 0);
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
    CalDavClient dav(http);
    const QString error = reach(dav, QUrl(url));
    EXPECT_TRUE(error.contains(expected(row.expected))) << qPrintable(error);
    EXPECT_TRUE(error.contains(m_server->first()) || error.contains(m_server->second()))
        << "names the server: " << qPrintable(error);
    const auto seen = m_server->seen();
    EXPECT_GT(seen.value("first").logins, 0) << "the login was in play";
    EXPECT_EQ(seen.value("second").logins, 0);
}

INSTANTIATE_TEST_SUITE_P(Server, HostileCase, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransportTest, HttpsAccountNeverContinuesOverHttp)
{
    const QString https = QStringLiteral("https://127.0.0.1:%1/").arg(m_server->firstPort());
    HttpClient http(account(https), shortOptions(30));
    const HttpClient::Response response = http.request("PROPFIND", m_server->first() + "/x/");
    EXPECT_EQ(response.status, 0);
    EXPECT_TRUE(response.error.contains("without encryption")) << qPrintable(response.error);
    EXPECT_EQ(m_server->seen().value("first").requests, 0) << "nothing went over http";
}

// What the user of the command line sees: the exit code and the message, and no lock left.
TEST_F(TransportTest, CommandLineSyncStopsWithTheReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/redirect/", "{second}/calendar/"},
        {"/endless/", "answered more than 64 MB"},
    };
    for (const auto& [path, text] : cases) {
        QTemporaryDir folder;
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("NORVANE_SYNC_PASSWORD", "secret");
        cli.setProcessEnvironment(env);
        cli.start(NORVANE_CLI_PATH, {"sync", "--folder", folder.path(), "--url",
                                     m_server->first() + path, "--user", "alice"});
        ASSERT_TRUE(cli.waitForFinished(60000)) << path;
        const QString error = QString::fromUtf8(cli.readAllStandardError());
        EXPECT_EQ(cli.exitCode(), 1) << path;
        EXPECT_TRUE(error.contains(expected(text))) << qPrintable(error);
        EXPECT_FALSE(QFile::exists(folder.filePath(SyncRecord::kDirectory + "/lock"))) << path;
        expectNoLoginElsewhere();
    }
}

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
