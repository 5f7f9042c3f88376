#include "index/Sqlite.h"

#include <QFile>

#include <sqlite3.h>

SqliteDb::~SqliteDb()
{
    close();
}

bool SqliteDb::open(const QString& file, bool create)
{
    close();
    m_corrupt = false;
    // A link under the name is never opened: writes would land in whatever it points to.
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        close();
        return false;
    }
    // Another thread's connection may hold the file for a moment (a search while a crawl
    // writes).
    sqlite3_busy_timeout(m_db, 2000);
    return true;
}

void SqliteDb::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteDb::check(int rc)
{
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        m_corrupt = true;
    return primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE;
}

qint64 SqliteDb::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

bool SqliteDb::run(const char* sql)
{
    return m_db && check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

SqliteStatement::SqliteStatement(SqliteDb& db, const char* sql)
    : m_db(db)
{
    if (!db.handle() || !db.check(sqlite3_prepare_v2(db.handle(), sql, -1, &m_statement, nullptr)))
        m_statement = nullptr;
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

SqliteStatement& SqliteStatement::bind(int index, qint64 value)
{
    if (m_statement)
        m_failed |= !m_db.check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, const QString& text)
{
    if (m_statement) {
        const QByteArray utf8 = text.toUtf8();
        m_failed |= !m_db.check(sqlite3_bind_text(m_statement, index, utf8.constData(),
                                                  int(utf8.size()), SQLITE_TRANSIENT));
    }
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index)
{
    if (m_statement)
        m_failed |= !m_db.check(sqlite3_bind_null(m_statement, index));
    return *this;
}

bool SqliteStatement::next()
{
    if (!m_statement || m_failed)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    m_failed = !m_db.check(rc);
    return false;
}

bool SqliteStatement::run()
{
    while (next()) {
    }
    return m_statement && !m_failed;
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(utf8, sqlite3_column_bytes(m_statement, column));
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db)
    : m_db(db)
    , m_outermost(db.handle() && sqlite3_get_autocommit(db.handle()))
{
    if (m_outermost)
        m_db.run("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_outermost && m_db.handle() && !sqlite3_get_autocommit(m_db.handle()))
        if (!m_db.run("COMMIT"))
            m_db.run("ROLLBACK");
}
