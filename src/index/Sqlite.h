#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A connection to one SQLite file, used on the thread that opened it only. Errors are kept,
// not thrown: the index is a cache, and a broken file is deleted and made again.
class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // create: make the file when it is missing. A symbolic link under the name is not opened.
    bool open(const QString& file, bool create);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // Runs statements that give no rows; false on the first that fails.
    bool run(const char* sql);

    // Whether a call has found the file damaged or not a database at all.
    bool corrupt() const { return m_corrupt; }
    // Notes a result code; false unless it tells success.
    bool check(int rc);
    sqlite3* handle() const { return m_db; }
    qint64 lastInsertId() const;

private:
    sqlite3* m_db = nullptr;
    bool m_corrupt = false;
};

// One prepared statement; its parameters count from 1, its columns from 0.
class SqliteStatement {
public:
    SqliteStatement(SqliteDb& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool prepared() const { return m_statement != nullptr; }
    SqliteStatement& bind(int index, qint64 value);
    SqliteStatement& bind(int index, const QString& text);
    SqliteStatement& bindNull(int index);

    // True while it gives a row.
    bool next();
    // Runs it to the end; false when it failed.
    bool run();

    qint64 integer(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    SqliteDb& m_db;
    sqlite3_stmt* m_statement = nullptr;
    bool m_failed = false;
};

// A transaction, committed when it ends (rolled back when the commit fails). One made inside
// another belongs to the outer one.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDb& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

private:
    SqliteDb& m_db;
    bool m_outermost = false;
};
