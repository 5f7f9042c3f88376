#include "remind/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage call(const char* method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, QLatin1String(method));
}

} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, int answerMs,
                                           QObject* parent)
    : QObject(parent)
    , m_bus(bus.name())
    , m_answerMs(answerMs)
{
    if (!bus.isConnected()) {
        m_service = ReminderRoute::Service::Absent;
        return;
    }
    m_watcher =
        new QDBusServiceWatcher(kService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& oldOwner, const QString& newOwner) {
                ownerChanged(oldOwner, newOwner);
            });
    // From any sender, sorted out on arrival: naming the service would make the bus look up its
    // owner, and wait.
    QDBusConnection connection(bus);
    connection.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                       SLOT(onActionInvoked(uint, QString, QDBusMessage)));
    connection.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                       SLOT(onNotificationClosed(uint, uint, QDBusMessage)));
    askCapabilities();
}

std::unique_ptr<DesktopNotifications> DesktopNotifications::onSessionBus()
{
    return std::make_unique<DesktopNotifications>(QDBusConnection::sessionBus());
}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::askCapabilities()
{
    const quint64 asked = ++m_asked;
    setService(ReminderRoute::Service::Unknown, false);
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection(m_bus).asyncCall(call("GetCapabilities"), m_answerMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, asked](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                if (asked != m_asked)
                    return;
                const QDBusPendingReply<QStringList> reply = *answer;
                if (reply.isError()) {
                    setService(ReminderRoute::Service::Absent, false);
                    return;
                }
                m_owner = reply.reply().service(); // the unique name of the one that answered
                const QStringList offered = reply.value();
                setService(offered.contains(QLatin1String("actions"))
                               ? ReminderRoute::Service::WithActions
                               : ReminderRoute::Service::WithoutActions,
                           offered.contains(QLatin1String("body-markup")));
            });
}

void DesktopNotifications::ownerChanged(const QString& oldOwner, const QString& newOwner)
{
    m_owner = newOwner;
    if (newOwner.isEmpty()) {
        ++m_asked; // an answer on its way came from the one that went
        setService(ReminderRoute::Service::Absent, false);
    } else {
        askCapabilities();
    }
    if (!oldOwner.isEmpty())
        emit notificationsLost();
}

void DesktopNotifications::setService(ReminderRoute::Service service, bool markup)
{
    if (service == m_service && markup == m_markup)
        return;
    m_service = service;
    m_markup = markup;
    emit serviceChanged();
}

void DesktopNotifications::notify(const Notification& notification, QObject* context, Sent sent)
{
    QDBusMessage message = call("Notify");
    // Critical: like the reminder window, it stays until the user answers it.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                            {QStringLiteral("desktop-entry"), QStringLiteral("norvane")}};
    message << QStringLiteral("Norvane") << uint(0) << QStringLiteral("norvane")
            << notification.summary << notification.body << notification.actions << hints << int(0);
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection(m_bus).asyncCall(message, m_answerMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
    // Nobody is told once the context went.
    connect(watcher, &QDBusPendingCallWatcher::finished, context,
            [sent = std::move(sent)](QDBusPendingCallWatcher* answer) {
                const QDBusPendingReply<uint> reply = *answer;
                sent(reply.isError() ? std::nullopt : std::optional<uint>(reply.value()));
            });
}

void DesktopNotifications::close(uint id)
{
    QDBusMessage message = call("CloseNotification");
    message << id;
    QDBusConnection(m_bus).send(message); // its answer tells nothing worth waiting for
}

bool DesktopNotifications::fromOwner(const QDBusMessage& message) const
{
    return !m_owner.isEmpty() && message.service() == m_owner;
}

void DesktopNotifications::onActionInvoked(uint id, const QString& key, const QDBusMessage& message)
{
    if (fromOwner(message))
        emit actionInvoked(id, key);
}

void DesktopNotifications::onNotificationClosed(uint id, uint reason, const QDBusMessage& message)
{
    if (fromOwner(message))
        emit closed(id, reason);
}
