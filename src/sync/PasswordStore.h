#pragma once

#include <QString>

#include <optional>

// The sync account's password: in the desktop's secret store where a secret service answers,
// otherwise in a file only the user can read, in the per-user directory of the pointer file.
// Never in the settings file, which a team may share. Every call may wait on D-Bus: never call
// it on the window's thread.
class PasswordStore {
public:
    enum class Where { Keyring, File };

    // directory: where the pointer file is (Settings::programDirectory()).
    explicit PasswordStore(const QString& directory);

    // An empty password forgets the account's. Where it went, or nullopt with why in error.
    std::optional<Where> store(const QString& url, const QString& user, const QString& password,
                               QString* error = nullptr) const;
    // The stored password; empty when none is stored.
    QString lookup(const QString& url, const QString& user) const;
    // The stored password and where it was found: no place when none is stored.
    struct Found {
        QString password;
        std::optional<Where> where;
    };
    Found find(const QString& url, const QString& user) const;

    // The fallback file.
    QString filePath() const { return m_file; }

private:
    bool storeInFile(const QString& url, const QString& user, const QString& password,
                     QString* error) const;
    QString lookupInFile(const QString& url, const QString& user) const;

    QString m_file;
};
