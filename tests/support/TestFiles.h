#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Small helpers for tests that look at what lands on disk.
namespace TestFiles {

// Writes bytes as they are (creating parent directories); returns false on failure.
bool writeBytes(const QString& path, const QByteArray& bytes);
// As writeBytes, for a file that has been there a while: its modification time an hour back,
// so a cache trusts it at once instead of reading it again while its time is young.
bool writeSettled(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);
// A one-time appointment of an hour from startHour as another copy writes it, under a new
// number in the day's directory of folder; returns its path.
QString putAppointment(const QString& folder, const QDate& day, int startHour, const QString& text);
// Moves the modification time, as another user's save would.
bool setModified(const QString& path, const QDateTime& time);
// Moves the modification time of root and every directory below an hour back, as if their
// names had been there a while: an index trusts their times at once.
bool settleDirectories(const QString& root);

// While it lives, writes past `bytes` in any file fail (as on a full disk), even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long m_previous = 0;
};

} // namespace TestFiles
