#include "profile/ApiINI.h"

#include "profile/ProfileCodec.h"

#include <cmath>
#include <limits>

namespace {

const QString kBreakCode = QStringLiteral("##br##");
const QString kEqualsCode = QStringLiteral("##eq##");

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Readers trim blanks and strip one pair of matching outer quotes; a value that would lose
// something that way is written inside double quotes, which every reader strips again.
QString protectForReaders(const QString& value)
{
    if (value.isEmpty())
        return value;
    const QChar first = value.front();
    const QChar last = value.back();
    const bool quoted = value.size() >= 2 && first == last &&
                        (first == QLatin1Char('"') || first == QLatin1Char('\''));
    if (isBlank(first) || isBlank(last) || quoted)
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

QString EncodeIniValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\r')) {
            if (i + 1 < value.size() && value[i + 1] == QLatin1Char('\n'))
                ++i;
            out += kBreakCode;
        } else if (c == QLatin1Char('\n')) {
            out += kBreakCode;
        } else if (c == QLatin1Char('=')) {
            out += kEqualsCode;
        } else {
            out += c;
        }
    }
    return out;
}

QString DecodeIniValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size();) {
        const QStringView rest = QStringView(value).sliced(i);
        if (rest.startsWith(kBreakCode)) {
            out += QLatin1String("\r\n");
            i += kBreakCode.size();
        } else if (rest.startsWith(kEqualsCode)) {
            out += QLatin1Char('=');
            i += kEqualsCode.size();
        } else {
            out += value[i++];
        }
    }
    return out;
}

std::optional<qint64> ParseIniNumber(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number); // ties to even in the default rounding mode
    if (rounded < double(std::numeric_limits<qint64>::min()) ||
        rounded >= double(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return qint64(rounded);
}

IniFile::IniFile(ProfileCache& cache, QString path, QString root)
    : m_cache(cache)
    , m_path(std::move(path))
    , m_root(std::move(root))
{
}

IniFile::IniFile(ProfileCache& cache, QString path, ProfileCache::Lookup current, QString root)
    : m_cache(cache)
    , m_path(std::move(path))
    , m_root(std::move(root))
    , m_lookup(std::move(current))
{
}

const ProfileCache::Lookup& IniFile::lookup() const
{
    if (!m_lookup)
        m_lookup = m_cache.lookup(m_path, m_root);
    return *m_lookup;
}

bool IniFile::unreadable() const
{
    switch (lookup().state) {
    case ProfileCache::State::Read:
        return false;
    case ProfileCache::State::Missing:
        // Metadata speaks of regular files only: a FIFO or directory under the name is there
        // all the same. A look that found nothing at all needs no second one.
        return !lookup().nothingThere && m_cache.files().exists(m_path);
    case ProfileCache::State::NotRegular:
    case ProfileCache::State::Unreadable:
        return true;
    }
    return true;
}

const ProfileDocument& IniFile::document() const
{
    if (m_pending)
        return *m_pending;
    return *lookup().document;
}

std::optional<QString> IniFile::rawValue(const QString& section, const QString& key) const
{
    return document().value(section, key);
}

QString IniFile::ReadIniString(const QString& section, const QString& key) const
{
    const std::optional<QString> raw = rawValue(section, key);
    return raw ? DecodeIniValue(*raw) : QString();
}

qint64 IniFile::ReadIniInt64(const QString& section, const QString& key, qint64 defaultValue) const
{
    return ParseIniNumber(ReadIniString(section, key)).value_or(defaultValue);
}

qint32 IniFile::ReadIniLong(const QString& section, const QString& key, qint32 defaultValue) const
{
    const std::optional<qint64> n = ParseIniNumber(ReadIniString(section, key));
    if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
        return defaultValue;
    return qint32(*n);
}

bool IniFile::ReadIniBool(const QString& section, const QString& key, bool defaultValue) const
{
    const QString s = ReadIniString(section, key);
    if (s == QLatin1String("1"))
        return true;
    if (s == QLatin1String("0"))
        return false;
    return defaultValue;
}

QDate IniFile::ReadIniDate(const QString& section, const QString& prefix) const
{
    auto part = [&](const char* name, int low, int high, int fallback) {
        const std::optional<qint64> n =
            ParseIniNumber(ReadIniString(section, prefix + QLatin1String(name)));
        return n && *n >= low && *n <= high ? int(*n) : fallback;
    };
    const int year = part("Year", 1900, 2200, 1800);
    const int month = part("Month", 1, 12, 1);
    const int day = part("Day", 1, 31, 1);
    return DateSerial(year, month, day);
}

TimeOfDay IniFile::ReadIniTime(const QString& section, const QString& prefix,
                               const QTime& now) const
{
    auto part = [&](const char* name, int high, int fallback) {
        const std::optional<qint64> n =
            ParseIniNumber(ReadIniString(section, prefix + QLatin1String(name)));
        return n && *n >= 0 && *n <= high ? int(*n) : fallback;
    };
    return TimeOfDay::fromHourMinute(part("Hour", 24, now.hour()),
                                     part("Minute", 60, now.minute()));
}

QHash<QString, QString> IniFile::ReadIniSection(const QString& section) const
{
    QHash<QString, QString> values = document().values(section);
    for (QString& value : values)
        value = DecodeIniValue(value);
    return values;
}

ProfileDocument& IniFile::pending()
{
    if (!m_pending) {
        // Merge into what is on disk now, not into what this object may have read earlier.
        m_lookup = m_cache.lookupForWrite(m_path, m_root);
        m_baseUnreadable = unreadable();
        m_pending = *m_lookup->document;
    }
    return *m_pending;
}

void IniFile::WriteIniString(const QString& section, const QString& key, const QString& value)
{
    pending().setValue(section, key, protectForReaders(EncodeIniValue(value)));
}

void IniFile::DeleteIniKey(const QString& section, const QString& key)
{
    pending().removeKey(section, key);
}

void IniFile::WriteIniLong(const QString& section, const QString& key, qint64 value)
{
    WriteIniString(section, key, QString::number(value));
}

void IniFile::WriteIniBool(const QString& section, const QString& key, bool value)
{
    WriteIniString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::WriteIniDate(const QString& section, const QString& prefix, const QDate& date)
{
    WriteIniLong(section, prefix + QLatin1String("Year"), date.year());
    WriteIniLong(section, prefix + QLatin1String("Month"), date.month());
    WriteIniLong(section, prefix + QLatin1String("Day"), date.day());
}

void IniFile::WriteIniTime(const QString& section, const QString& prefix, TimeOfDay time)
{
    // The end of the day is written as hour 24, which every reader takes back as 24:00.
    WriteIniLong(section, prefix + QLatin1String("Hour"), time.hour());
    WriteIniLong(section, prefix + QLatin1String("Minute"), time.minute());
}

void IniFile::startFrom(const ProfileCache::Lookup& base)
{
    m_pending = *base.document;
    m_baseUnreadable = false;
}

WriteOutcome IniFile::commit()
{
    if (!m_pending)
        return WriteOutcome::done();
    if (std::exchange(m_baseUnreadable, false)) {
        m_pending.reset();
        return WriteOutcome::failed(WriteOutcome::Cause::Unreadable, m_path, m_lookup->error);
    }
    const QByteArray bytes = ProfileCodec::encode(m_pending->toText());
    // A name the look before found free is taken only while it is: what came under it since
    // was never read, so it is not written over.
    const bool wasFree =
        m_lookup && m_lookup->state == ProfileCache::State::Missing && m_lookup->nothingThere;
    const WriteOutcome outcome = wasFree ? m_cache.files().writeNew(m_path, bytes, m_root)
                                         : m_cache.files().writeAtomically(m_path, bytes, m_root);
    m_cache.forget(m_path);
    m_lookup.reset(); // the next read sees the file as it is now
    m_pending.reset();
    return outcome;
}
