#pragma once

#include "sync/Sync.h"

#include "SpawnedProcess.h"
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A CalDAV server of the machine on 127.0.0.1, a free port and a temporary folder, for as long
// as the object lives: radicale with a password file, or xandikos (which asks no password).
class CalDavServer {
public:
    enum class Kind { Radicale, Xandikos };
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "secret";

    // The server of this kind for the whole test program; null, with why in reason, when the
    // machine lacks it.
    static CalDavServer* shared(Kind kind, QString* reason);

    Kind kind() const { return m_kind; }
    bool asksPassword() const { return m_kind == Kind::Radicale; }
    QString root() const;
    // A new empty calendar collection; empty when the server refused it.
    QString newCalendar(const QString& name);
    SyncAccount account(const QString& url, const QString& password = kPassword) const;

    // The process stops and resumes: a server that no longer answers.
    void pause();
    void resume();

    ~CalDavServer();

private:
    explicit CalDavServer(Kind kind);
    bool start(QString* reason);

    Kind m_kind;
    QTemporaryDir m_dir;
    SpawnedProcess m_process;
    int m_port = 0;
};
