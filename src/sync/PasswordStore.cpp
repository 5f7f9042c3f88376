// glib's headers name struct members "signals": they come before any Qt header.
#include <libsecret/secret.h>

#include "sync/PasswordStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const SecretSchema* schema()
{
    static const SecretSchema kSchema = [] {
        SecretSchema schema{};
        schema.name = "org.norvane.CalDAV";
        schema.flags = SECRET_SCHEMA_NONE;
        schema.attributes[0] = {"url", SECRET_SCHEMA_ATTRIBUTE_STRING};
        schema.attributes[1] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return schema;
    }();
    return &kSchema;
}

QString takeError(GError* error)
{
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text;
}

// False with why in error when no secret service answered.
bool storeInService(const QString& url, const QString& user, const QString& password,
                    QString* error)
{
    const QByteArray u = url.toUtf8();
    const QByteArray n = user.toUtf8();
    GError* failure = nullptr;
    if (password.isEmpty()) {
        secret_password_clear_sync(schema(), nullptr, &failure, "url", u.constData(), "user",
                                   n.constData(), nullptr);
    } else {
        const QByteArray label = QStringLiteral("Norvane sync: %1 at %2").arg(user, url).toUtf8();
        secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                   password.toUtf8().constData(), nullptr, &failure, "url",
                                   u.constData(), "user", n.constData(), nullptr);
    }
    if (!failure)
        return true;
    *error = takeError(failure);
    return false;
}

// nullopt when no secret service answered; empty when it holds nothing for the account.
std::optional<QString> lookupInService(const QString& url, const QString& user)
{
    GError* failure = nullptr;
    gchar* found =
        secret_password_lookup_sync(schema(), nullptr, &failure, "url", url.toUtf8().constData(),
                                    "user", user.toUtf8().constData(), nullptr);
    if (failure) {
        g_error_free(failure);
        return std::nullopt;
    }
    const QString password = found ? QString::fromUtf8(found) : QString();
    secret_password_free(found);
    return password;
}

bool sameAccount(const QJsonValue& entry, const QString& url, const QString& user)
{
    const QJsonObject object = entry.toObject();
    return object.value(QLatin1String("url")).toString() == url &&
           object.value(QLatin1String("user")).toString() == user;
}

QJsonArray readEntries(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

// Created with the user's rights only from the first byte on, then put in place whole.
bool writePrivately(const QString& path, const QByteArray& bytes, QString* error)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".new";
    const int fd =
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    bool ok = fd >= 0 && ::fchmod(fd, 0600) == 0;
    qsizetype written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        ok = n > 0;
        written += ok ? n : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        ::unlink(temporary.constData());
    }
    return ok;
}

} // namespace

PasswordStore::PasswordStore(const QString& directory)
    : m_file(QDir(directory).filePath(QStringLiteral("SyncPasswords.json")))
{
}

std::optional<PasswordStore::Where> PasswordStore::store(const QString& url, const QString& user,
                                                         const QString& password,
                                                         QString* error) const
{
    QString serviceError;
    if (storeInService(url, user, password, &serviceError)) {
        // No copy stays behind in the file from a time the service did not answer.
        if (!storeInFile(url, user, {}, error))
            return std::nullopt;
        return Where::Keyring;
    }
    if (!storeInFile(url, user, password, error))
        return std::nullopt;
    return Where::File;
}

QString PasswordStore::lookup(const QString& url, const QString& user) const
{
    return find(url, user).password;
}

PasswordStore::Found PasswordStore::find(const QString& url, const QString& user) const
{
    const std::optional<QString> stored = lookupInService(url, user);
    if (stored && !stored->isEmpty())
        return {*stored, Where::Keyring};
    const QString inFile = lookupInFile(url, user);
    if (!inFile.isEmpty())
        return {inFile, Where::File};
    return {};
}

bool PasswordStore::storeInFile(const QString& url, const QString& user, const QString& password,
                                QString* error) const
{
    const QJsonArray entries = readEntries(m_file);
    QJsonArray kept;
    for (const QJsonValue& entry : entries)
        if (!sameAccount(entry, url, user))
            kept.append(entry);
    if (!password.isEmpty())
        kept.append(QJsonObject{{QStringLiteral("url"), url},
                                {QStringLiteral("user"), user},
                                {QStringLiteral("password"), password}});
    if (kept.isEmpty())
        return !QFile::exists(m_file) || QFile::remove(m_file);
    if (kept == entries)
        return true;
    return writePrivately(m_file, QJsonDocument(kept).toJson(), error);
}

QString PasswordStore::lookupInFile(const QString& url, const QString& user) const
{
    for (const QJsonValue& entry : readEntries(m_file))
        if (sameAccount(entry, url, user))
            return entry.toObject().value(QLatin1String("password")).toString();
    return {};
}
