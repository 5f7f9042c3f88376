#pragma once

#include "sync/CalendarServer.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <functional>

// A calendar collection held in memory, answering as a CalDAV server would: ETags, a sync
// token that moves with each change, If-Match and If-None-Match (412), a UID at a second href
// refused (409), and faults on demand. Header only: one test program uses it.
class MemoryServer : public CalendarServer {
public:
    explicit MemoryServer(const QUrl& collection)
        : m_collection(collection)
    {
    }

    struct Event {
        QByteArray etag;
        QByteArray body;
    };
    const QMap<QString, Event>& events() const { return m_events; }
    const QUrl& collection() const { return m_collection; }

    // What a phone does, bypassing the faults: its href for the event.
    QString phoneAdd(const QByteArray& body)
    {
        const QString href =
            m_collection.path() + QUuid::createUuid().toString(QUuid::WithoutBraces) + ".ics";
        store(href, body);
        return href;
    }
    void phoneEdit(const QString& href, const QByteArray& body)
    {
        if (m_events.contains(href))
            store(href, body);
    }
    void phoneRemove(const QString& href)
    {
        if (m_events.contains(href))
            drop(href);
    }

    // The write after `skip` more is done, but its answer is lost: the client sees a failure.
    void loseNextAnswer(int skip = 0) { m_loseAnswer = skip; }
    // The request after `skip` more fails without doing anything.
    void failNextRequest(int skip = 0) { m_failNext = skip; }
    // The sync dies: at the request after `skip` more, before it is done, or once the write
    // after `skip` more is done, its answer never read. It ends by throwing Killed.
    struct Killed {};
    void killBeforeRequest(int skip) { m_killBefore = skip; }
    void killAfterWrite(int skip) { m_killAfter = skip; }
    // Before the request after `skip` more, act runs once: a colleague's save between two
    // steps of the sync.
    void actBeforeRequest(int skip, std::function<void()> act)
    {
        m_actAt = skip;
        m_act = std::move(act);
    }
    // The user may only read the calendar: the state says so, and a write is refused.
    void setReadOnly(bool on) { m_readOnly = on; }
    // How many PUT and DELETE requests came.
    int writes() const { return m_writes; }
    void clearFaults()
    {
        m_loseAnswer = m_failNext = m_killBefore = m_killAfter = m_actAt = -1;
        m_act = {};
    }
    // How many writes were done whose answer was lost, and how many syncs were killed.
    int answersLost() const { return m_answersLost; }
    // How many requests or writes come before the pending fault.
    int faultDistance() const
    {
        return std::max({m_loseAnswer, m_failNext, m_killBefore, m_killAfter, m_actAt});
    }

    std::optional<State> state(const QUrl& collection) override
    {
        if (!begin(collection))
            return std::nullopt;
        return State{token(), token(), !m_readOnly};
    }
    std::optional<QHash<QString, QByteArray>> etags(const QUrl& collection) override
    {
        if (!begin(collection))
            return std::nullopt;
        QHash<QString, QByteArray> all;
        for (auto it = m_events.cbegin(); it != m_events.cend(); ++it)
            all.insert(it.key(), it->etag);
        return all;
    }
    std::optional<Changes> changesSince(const QUrl& collection, const QString& since) override
    {
        if (!begin(collection))
            return std::nullopt;
        bool number = false;
        const qsizetype from =
            since.startsWith(QLatin1String("tok-")) ? since.mid(4).toLongLong(&number) : -1;
        if (!number || from < 0 || from > m_log.size()) {
            m_error = "403 Forbidden: valid-sync-token";
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
    std::optional<QHash<QString, Fetched>> fetch(const QUrl& collection,
                                                 const QStringList& hrefs) override
    {
        if (!begin(collection))
            return std::nullopt;
        QHash<QString, Fetched> fetched;
        for (const QString& href : hrefs)
            if (const auto it = m_events.constFind(href); it != m_events.cend())
                fetched.insert(href, {it->etag, it->body});
        return fetched;
    }
    Write put(const QUrl& collection, const QString& href, const QByteArray& body,
              const QByteArray& etag, QByteArray* newEtag) override
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
    Write remove(const QUrl& collection, const QString& href, const QByteArray& etag) override
    {
        if (!begin(collection) || refused())
            return Write::Failed;
        const auto current = m_events.constFind(href);
        if (current == m_events.cend())
            return Write::Done;
        if (!etag.isEmpty() && current->etag != etag)
            return Write::Changed;
        drop(href);
        return answered() ? Write::Done : Write::Failed;
    }
    std::optional<QUrl> discover(const QUrl& url, QStringList*) override
    {
        if (!begin(url))
            return std::nullopt;
        return m_collection;
    }
    int requests() const override { return m_requests; }
    const QString& error() const override { return m_error; }

    // The UID of an event's body, lines unfolded.
    static QString uidOf(const QByteArray& body)
    {
        QByteArray unfolded = body;
        unfolded.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "");
        static const QRegularExpression uid("(?:^|\\n)UID:([^\\r\\n]*)");
        const QRegularExpressionMatch match = uid.match(QString::fromUtf8(unfolded));
        return match.hasMatch() ? match.captured(1) : QString();
    }

private:
    // Counts a request about collection; false (error() saying why) when it must fail.
    bool begin(const QUrl& collection)
    {
        if (m_actAt >= 0 && m_actAt-- == 0)
            std::exchange(m_act, {})();
        if (m_killBefore >= 0 && m_killBefore-- == 0) {
            ++m_answersLost; // what the sync did before is not noted: as if unanswered
            throw Killed{};
        }
        ++m_requests;
        if (m_failNext >= 0 && m_failNext-- == 0) {
            m_error = "503 Service Unavailable";
            return false;
        }
        if (collection != m_collection) {
            m_error = QStringLiteral("404 Not Found: ") + collection.toString();
            return false;
        }
        return true;
    }
    // A write counted; true, error() saying why, when the calendar takes none.
    bool refused()
    {
        ++m_writes;
        m_error = m_readOnly ? "403 Forbidden" : m_error;
        return m_readOnly;
    }
    // Whether the answer of a write that was done reaches the client.
    bool answered()
    {
        if (m_killAfter >= 0 && m_killAfter-- == 0) {
            ++m_answersLost;
            throw Killed{};
        }
        if (m_loseAnswer < 0 || m_loseAnswer-- > 0)
            return true;
        ++m_answersLost;
        m_error = "504 Gateway Timeout";
        return false;
    }
    void store(const QString& href, const QByteArray& body)
    {
        m_events.insert(href, {QByteArray("\"e") + QByteArray::number(++m_etags) + '"', body});
        m_log << href;
    }
    void drop(const QString& href)
    {
        m_events.remove(href);
        m_log << href;
    }
    QString token() const { return QStringLiteral("tok-%1").arg(m_log.size()); }

    QUrl m_collection;
    QMap<QString, Event> m_events;
    QList<QString> m_log; // the href of each change, in order: the token counts them
    int m_etags = 0;
    int m_requests = 0;
    int m_loseAnswer = -1; // -1: no fault pending
    int m_failNext = -1;
    int m_killBefore = -1;
    int m_killAfter = -1;
    int m_actAt = -1;
    std::function<void()> m_act;
    int m_answersLost = 0;
    bool m_readOnly = false;
    int m_writes = 0;
    QString m_error;
};
