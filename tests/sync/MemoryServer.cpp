#include "MemoryServer.h"

#include <QRegularExpression>
#include <QSet>
#include <QUuid>

MemoryServer::MemoryServer(const QUrl& collection)
    : m_collection(collection)
{
}

QString MemoryServer::uidOf(const QByteArray& body)
{
    QByteArray unfolded = body;
    unfolded.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "");
    static const QRegularExpression uid(QStringLiteral("(?:^|\\n)UID:([^\\r\\n]*)"));
    const QRegularExpressionMatch match = uid.match(QString::fromUtf8(unfolded));
    return match.hasMatch() ? match.captured(1) : QString();
}

QString MemoryServer::phoneAdd(const QByteArray& body)
{
    const QString href = m_collection.path() + QUuid::createUuid().toString(QUuid::WithoutBraces) +
                         QStringLiteral(".ics");
    store(href, body);
    return href;
}

void MemoryServer::phoneEdit(const QString& href, const QByteArray& body)
{
    if (m_events.contains(href))
        store(href, body);
}

void MemoryServer::phoneRemove(const QString& href)
{
    if (m_events.contains(href))
        drop(href);
}

void MemoryServer::store(const QString& href, const QByteArray& body)
{
    m_events.insert(href, {QByteArray("\"e") + QByteArray::number(++m_etags) + '"', body});
    m_log << href;
}

void MemoryServer::drop(const QString& href)
{
    m_events.remove(href);
    m_log << href;
}

bool MemoryServer::begin(const QUrl& collection)
{
    if (m_actAt >= 0 && m_actAt-- == 0)
        std::exchange(m_act, {})();
    if (m_killBefore >= 0 && m_killBefore-- == 0) {
        ++m_answersLost; // what the sync did before is not noted: as if unanswered
        throw Killed{};
    }
    ++m_requests;
    if (m_failNext >= 0 && m_failNext-- == 0) {
        m_error = QStringLiteral("503 Service Unavailable");
        return false;
    }
    if (collection != m_collection) {
        m_error = QStringLiteral("404 Not Found: ") + collection.toString();
        return false;
    }
    return true;
}

bool MemoryServer::answered()
{
    if (m_killAfter >= 0 && m_killAfter-- == 0) {
        ++m_answersLost;
        throw Killed{};
    }
    if (m_loseAnswer < 0 || m_loseAnswer-- > 0)
        return true;
    ++m_answersLost;
    m_error = QStringLiteral("504 Gateway Timeout");
    return false;
}

std::optional<CalendarServer::State> MemoryServer::state(const QUrl& collection)
{
    if (!begin(collection))
        return std::nullopt;
    return State{token(), token()};
}

std::optional<QHash<QString, QByteArray>> MemoryServer::etags(const QUrl& collection)
{
    if (!begin(collection))
        return std::nullopt;
    QHash<QString, QByteArray> all;
    for (auto it = m_events.cbegin(); it != m_events.cend(); ++it)
        all.insert(it.key(), it->etag);
    return all;
}

std::optional<CalendarServer::Changes> MemoryServer::changesSince(const QUrl& collection,
                                                                  const QString& since)
{
    if (!begin(collection))
        return std::nullopt;
    bool number = false;
    const qsizetype from =
        since.startsWith(QLatin1String("tok-")) ? since.mid(4).toLongLong(&number) : -1;
    if (!number || from < 0 || from > m_log.size()) {
        m_error = QStringLiteral("403 Forbidden: valid-sync-token");
        return std::nullopt;
    }
    Changes changes;
    const QSet<QString> touched(m_log.cbegin() + from, m_log.cend());
    for (const QString& href : touched) {
        if (m_events.contains(href))
            changes.changed.insert(href, m_events.value(href).etag);
        else
            changes.removed << href;
    }
    changes.token = token();
    return changes;
}

std::optional<QHash<QString, CalendarServer::Fetched>> MemoryServer::fetch(const QUrl& collection,
                                                                           const QStringList& hrefs)
{
    if (!begin(collection))
        return std::nullopt;
    QHash<QString, Fetched> fetched;
    for (const QString& href : hrefs)
        if (const auto it = m_events.constFind(href); it != m_events.cend())
            fetched.insert(href, {it->etag, it->body});
    return fetched;
}

CalendarServer::Write MemoryServer::put(const QUrl& collection, const QString& href,
                                        const QByteArray& body, const QByteArray& etag,
                                        QByteArray* newEtag)
{
    if (!begin(collection))
        return Write::Failed;
    const auto current = m_events.constFind(href);
    const bool exists = current != m_events.cend();
    if (etag.isEmpty() ? exists : (!exists || current->etag != etag))
        return Write::Changed;
    const QString uid = uidOf(body);
    for (auto it = m_events.cbegin(); it != m_events.cend(); ++it) {
        if (it.key() != href && uidOf(it->body) == uid) {
            m_error = QStringLiteral("409 Conflict: UID %1 is at %2").arg(uid, it.key());
            return Write::Failed;
        }
    }
    store(href, body);
    if (!answered())
        return Write::Failed;
    if (newEtag)
        *newEtag = m_events.value(href).etag;
    return Write::Done;
}

CalendarServer::Write MemoryServer::remove(const QUrl& collection, const QString& href,
                                           const QByteArray& etag)
{
    if (!begin(collection))
        return Write::Failed;
    const auto current = m_events.constFind(href);
    if (current == m_events.cend())
        return Write::Done;
    if (!etag.isEmpty() && current->etag != etag)
        return Write::Changed;
    drop(href);
    return answered() ? Write::Done : Write::Failed;
}

std::optional<QUrl> MemoryServer::discover(const QUrl& url, QStringList*)
{
    if (!begin(url))
        return std::nullopt;
    return m_collection;
}
