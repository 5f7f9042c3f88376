#pragma once

#include "remind/ReminderRoute.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QDBusConnection;
class QDBusMessage;
class QDBusServiceWatcher;

// The desktop's notification service, org.freedesktop.Notifications on the session bus, asked
// without ever waiting for it: every call answers later, through its callback or a signal.
// What the service offers is asked once, and again whenever another program takes it over.
// Its signals are heeded only from the connection that owns the service: any program on the
// bus can send one of that name.
class DesktopNotifications : public QObject {
    Q_OBJECT

public:
    // A service that takes longer to answer counts as absent.
    static constexpr int kAnswerMs = 3000;

    struct Notification {
        QString summary;
        QString body;
        QStringList actions; // key, label, key, label, ...
    };
    // The id the service gave the notification; nullopt where it did not take it.
    using Sent = std::function<void(std::optional<uint> id)>;

    // On the bus connection given (its name is kept: it must stay open while this lives).
    explicit DesktopNotifications(const QDBusConnection& bus, int answerMs = kAnswerMs,
                                  QObject* parent = nullptr);
    // On the session bus; absent where there is none.
    static std::unique_ptr<DesktopNotifications> onSessionBus();
    ~DesktopNotifications() override;

    ReminderRoute::Service service() const { return m_service; }
    // The service reads the body as markup: <, > and & must be written as entities.
    bool readsMarkup() const { return m_markup; }

    // sent runs once the service answered, unless context is gone by then.
    void notify(const Notification& notification, QObject* context, Sent sent);
    void close(uint id);

signals:
    void serviceChanged();
    // Another program took over the service, or it went: the notifications shown are gone.
    void notificationsLost();
    void actionInvoked(uint id, const QString& key);
    // reason as the service numbers it: ReminderRoute::Closed.
    void closed(uint id, uint reason);

private slots:
    void onActionInvoked(uint id, const QString& key, const QDBusMessage& message);
    void onNotificationClosed(uint id, uint reason, const QDBusMessage& message);

private:
    void askCapabilities();
    void ownerChanged(const QString& oldOwner, const QString& newOwner);
    void setService(ReminderRoute::Service service, bool markup);
    bool fromOwner(const QDBusMessage& message) const;

    QString m_bus; // the connection's name
    int m_answerMs;
    QDBusServiceWatcher* m_watcher = nullptr;
    ReminderRoute::Service m_service = ReminderRoute::Service::Unknown;
    bool m_markup = false;
    // The unique name of the connection that owns the service; empty while none is known.
    QString m_owner;
    // Counts the questions of what the service offers: an answer to an older one is dropped.
    quint64 m_asked = 0;
};
