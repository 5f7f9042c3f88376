#include "CalDavServer.h"

#include "TestFiles.h"
#include "sync/HttpClient.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

} // namespace

CalDavServer* CalDavServer::shared(Kind kind, QString* reason)
{
    // Each kind is started once; a failure is told again without a second try.
    static std::map<Kind, std::pair<std::unique_ptr<CalDavServer>, QString>> servers;
    const auto [it, first] = servers.try_emplace(kind);
    auto& [server, failure] = it->second;
    if (first) {
        server.reset(new CalDavServer(kind));
        if (!server->start(&failure))
            server.reset();
    }
    *reason = failure;
    return server.get();
}

CalDavServer::CalDavServer(Kind kind)
    : m_kind(kind)
{
}

CalDavServer::~CalDavServer()
{
    resume();
    m_process.kill();
}

bool CalDavServer::start(QString* reason)
{
    const QString name = m_kind == Kind::Radicale ? "radicale" : "xandikos";
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) {
        *reason = name + " is not installed (scripts/setup.sh installs it)";
        return false;
    }
    m_port = freePort();
    QStringList args;
    if (m_kind == Kind::Radicale) {
        TestFiles::writeBytes(m_dir.filePath("users"), QByteArray(kUser) + ':' + kPassword + '\n');
        args = {"--storage-filesystem-folder=" + m_dir.filePath("store"),
                "--server-hosts=127.0.0.1:" + QString::number(m_port),
                "--auth-type=htpasswd",
                "--auth-htpasswd-filename=" + m_dir.filePath("users"),
                "--auth-htpasswd-encryption=plain",
                "--auth-delay=0"};
    } else {
        args = {"--defaults", "-d", m_dir.filePath("store"), "-l",
                "127.0.0.1",  "-p", QString::number(m_port)};
    }
    if (!m_process.start(program, args)) {
        *reason = m_process.error();
        return false;
    }
    const QDeadlineTimer patience(20000);
    while (m_process.running() && !accepts(m_port) && !patience.hasExpired())
        QThread::msleep(50);
    if (!accepts(m_port)) {
        *reason = name + " did not start";
        return false;
    }
    return true;
}

QString CalDavServer::root() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

QString CalDavServer::newCalendar(const QString& name)
{
    const QString url =
        root() + (m_kind == Kind::Radicale ? QStringLiteral("%1/").arg(kUser) : "user/calendars/") +
        name + u'/';
    HttpClient http(account(url), SyncOptions{});
    return http.request("MKCALENDAR", url).status == 201 ? url : QString();
}

SyncAccount CalDavServer::account(const QString& url, const QString& password) const
{
    return {url, kUser, password};
}

void CalDavServer::pause()
{
    if (m_process.pid() > 0)
        ::kill(m_process.pid(), SIGSTOP);
}

void CalDavServer::resume()
{
    if (m_process.pid() > 0)
        ::kill(m_process.pid(), SIGCONT);
}
