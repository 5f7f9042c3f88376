#pragma once

#include "sync/CalendarServer.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <functional>

// A calendar collection held in memory, answering as a CalDAV server would: ETags, a sync
// token that moves with each change, If-Match and If-None-Match (412), a UID at a second href
// refused (409), and faults on demand.
class MemoryServer : public CalendarServer {
public:
    explicit MemoryServer(const QUrl& collection);

    struct Event {
        QByteArray etag;
        QByteArray body;
    };
    const QMap<QString, Event>& events() const { return m_events; }
    const QUrl& collection() const { return m_collection; }

    // What a phone does, bypassing the faults: its href for the event.
    QString phoneAdd(const QByteArray& body);
    void phoneEdit(const QString& href, const QByteArray& body);
    void phoneRemove(const QString& href);

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

    std::optional<State> state(const QUrl& collection) override;
    std::optional<QHash<QString, QByteArray>> etags(const QUrl& collection) override;
    std::optional<Changes> changesSince(const QUrl& collection, const QString& token) override;
    std::optional<QHash<QString, Fetched>> fetch(const QUrl& collection,
                                                 const QStringList& hrefs) override;
    Write put(const QUrl& collection, const QString& href, const QByteArray& body,
              const QByteArray& etag, QByteArray* newEtag) override;
    Write remove(const QUrl& collection, const QString& href, const QByteArray& etag) override;
    std::optional<QUrl> discover(const QUrl& url, QStringList* candidates) override;
    int requests() const override { return m_requests; }
    const QString& error() const override { return m_error; }

    // The UID of an event's body, lines unfolded.
    static QString uidOf(const QByteArray& body);

private:
    // Counts a request about collection; false (error() saying why) when it must fail.
    bool begin(const QUrl& collection);
    // Whether the answer of a write that was done reaches the client.
    bool answered();
    void store(const QString& href, const QByteArray& body);
    void drop(const QString& href);
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
    QString m_error;
};
