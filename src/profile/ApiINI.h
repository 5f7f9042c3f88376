#pragma once

#include "profile/DateParts.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <memory>
#include <optional>

// Escaping of profile values: a value never spans lines and never holds an "=".
QString EncodeIniValue(const QString& value);
// One left-to-right pass: "##br##" becomes CR LF and "##eq##" becomes "=".
QString DecodeIniValue(const QString& value);

// One profile file and the typed reads and writes every caller shares. Reading never fails:
// a missing key or an unusable value gives the default. Writes are gathered and land in one
// go with commit(), so another user never reads a half-written file.
class IniFile {
public:
    // root confines reads and writes to a data folder (see FileAccess); empty confines nothing.
    IniFile(ProfileCache& cache, QString path, QString root = {});
    // For a caller that has just looked the file up.
    IniFile(ProfileCache& cache, QString path, ProfileCache::Lookup current, QString root = {});

    const QString& path() const { return m_path; }

    // True when something is there that could not be read (permission, I/O error, not a
    // regular file): reads give defaults, and commit() refuses to write over it.
    bool unreadable() const;

    QString ReadIniString(const QString& section, const QString& key) const;
    qint32 ReadIniLong(const QString& section, const QString& key, qint32 defaultValue) const;
    // Integers too wide for 32 bits (colour values with the system-colour flag).
    qint64 ReadIniInt64(const QString& section, const QString& key, qint64 defaultValue) const;
    bool ReadIniBool(const QString& section, const QString& key, bool defaultValue) const;
    // A date before 1 January 1900 means that no usable year was stored.
    QDate ReadIniDate(const QString& section, const QString& prefix) const;
    // A missing or out-of-range hour or minute takes the one of `now`.
    TimeOfDay ReadIniTime(const QString& section, const QString& prefix,
                          const QTime& now = QTime::currentTime()) const;
    // Every key of a section, decoded, read in one pass: for lists whose length the file
    // states. Names are lower case.
    QHash<QString, QString> ReadIniSection(const QString& section) const;

    void WriteIniString(const QString& section, const QString& key, const QString& value);
    void WriteIniLong(const QString& section, const QString& key, qint64 value);
    void WriteIniBool(const QString& section, const QString& key, bool value);
    void WriteIniDate(const QString& section, const QString& prefix, const QDate& date);
    void WriteIniTime(const QString& section, const QString& prefix, TimeOfDay time);
    // The key is gone from the file: a key is written with a value or not at all.
    void DeleteIniKey(const QString& section, const QString& key);

    bool hasPendingWrites() const { return m_pending.has_value(); }
    // Writes the gathered keys, merged into the file's current content, as one new file.
    // Without a root a missing directory is a failure and nothing is created for it; with one,
    // the directories inside root are made (see FileAccess::writeFile). A file that is there
    // but could not be read is never written over: its content would be lost; nor is one that
    // came under a name the look before found free (NameTaken).
    WriteOutcome commit();
    // The writes that follow go into a copy of base's content in place of the file's own:
    // a new file that keeps the keys of another.
    void startFrom(const ProfileCache::Lookup& base);

private:
    const ProfileCache::Lookup& lookup() const;
    const ProfileDocument& document() const;
    std::optional<QString> rawValue(const QString& section, const QString& key) const;
    // The keys to be written, started from the file's current content at the first write.
    ProfileDocument& pending();

    ProfileCache& m_cache;
    QString m_path;
    QString m_root;
    mutable std::optional<ProfileCache::Lookup> m_lookup; // read once per object
    std::optional<ProfileDocument> m_pending;
    bool m_baseUnreadable = false; // the pending keys must not be written over the file
};

// Parses a number as a general number parser would (sign, decimal point, exponent, blanks
// around it) and rounds halves to the even neighbour. nullopt when it is no number.
std::optional<qint64> ParseIniNumber(const QString& text);
