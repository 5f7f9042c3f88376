// A profile file as another user's copy or an editor may leave it: decoded, parsed, every kind
// of value read, and one key written. A write must read back and change no other key.
#include "MemoryFileAccess.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileDocument.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kPath = QStringLiteral("/fuzz/file.ini");

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool hasLineEnd(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

// A name a file can hold so that it is found again: no line end, no blanks around it.
bool sectionNameFits(const QString& s)
{
    return !hasLineEnd(s) && !s.contains(QLatin1Char(']')) &&
           (s.isEmpty() || (!isBlank(s.front()) && !isBlank(s.back())));
}

bool keyNameFits(const QString& k)
{
    return !k.isEmpty() && !hasLineEnd(k) && !k.contains(QLatin1Char('=')) && !isBlank(k.front()) &&
           !isBlank(k.back()) && k.front() != QLatin1Char(';') && k.front() != QLatin1Char('[');
}

// A few names the input uses, so lookups find something, plus the ones the program asks for;
// every lookup scans the file, so more names only slow the search down.
struct Names {
    QStringList sections{QStringLiteral("AppointmentSettings"), QStringLiteral("Program")};
    QStringList keys{QStringLiteral("Text"), QStringLiteral("DateYear")};
};

Names namesIn(const QString& text)
{
    Names names;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineEnd)) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('[')) && names.sections.size() < 4)
            names.sections.append(t.mid(1).section(QLatin1Char(']'), 0, 0).trimmed());
        else if (t.contains(QLatin1Char('=')) && names.keys.size() < 6)
            names.keys.append(t.section(QLatin1Char('='), 0, 0).trimmed());
    }
    return names;
}

using Values = QHash<QString, std::optional<QString>>;

Values valuesOf(const ProfileDocument& document, const Names& names)
{
    Values values;
    for (const QString& s : names.sections) {
        for (const QString& k : names.keys)
            values.insert(s + QLatin1Char('\n') + k, document.value(s, k));
    }
    return values;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Every value but the one written is as it was.
void checkUntouched(const Values& before, const Values& after, const QString& section,
                    const QString& key)
{
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QString s = it.key().section(QLatin1Char('\n'), 0, 0);
        const QString k = it.key().section(QLatin1Char('\n'), 1);
        if (sameName(s, section) && sameName(k, key))
            continue;
        if (after.value(it.key()) != *it)
            fail("a write changed another key", s + QLatin1Char('/') + k);
    }
}

void readEverything(const IniFile& ini, const Names& names)
{
    for (const QString& s : names.sections) {
        ini.ReadIniSection(s);
        for (const QString& k : names.keys) {
            ini.ReadIniString(s, k);
            ini.ReadIniLong(s, k, 7);
            ini.ReadIniInt64(s, k, 7);
            ini.ReadIniBool(s, k, true);
            const QDate date = ini.ReadIniDate(s, k);
            if (!date.isValid())
                fail("invalid date", s + QLatin1Char('/') + k);
            const TimeOfDay time = ini.ReadIniTime(s, k, QTime(12, 30));
            if (time.minutes() < 0 || time.minutes() > TimeOfDay::kEndOfDay)
                fail("time out of the day", QString::number(time.minutes()));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = ProfileCodec::decode(bytes);
    ProfileCodec::encode(text);
    const Names names = namesIn(text);

    ProfileDocument document(text);
    for (const QString& s : names.sections)
        document.values(s);
    const Values before = valuesOf(document, names);

    MemoryFileAccess files;
    files.addDirectory(QStringLiteral("/fuzz/"));
    files.put(kPath, bytes);
    ProfileCache cache(files);
    readEverything(IniFile(cache, kPath), names);

    // One key written, with a name the input uses when a file can hold it.
    const qsizetype pick = qsizetype(size);
    QString section = names.sections[pick % names.sections.size()];
    QString key = names.keys[(pick / 7) % names.keys.size()];
    if (!sectionNameFits(section))
        section = QStringLiteral("Fuzz");
    if (!keyNameFits(key))
        key = QStringLiteral("Key");
    const QString fragment = text.right(24);

    // In the document: a value that needs no quotes reads back as written.
    QString raw = EncodeIniValue(fragment);
    if (raw.isEmpty() || isBlank(raw.front()) || raw.front() == QLatin1Char('"') ||
        raw.front() == QLatin1Char('\''))
        raw.prepend(QLatin1Char('x'));
    if (isBlank(raw.back()) || raw.back() == QLatin1Char('"') || raw.back() == QLatin1Char('\''))
        raw.append(QLatin1Char('x'));
    document.setValue(section, key, raw);
    if (document.value(section, key) != raw)
        fail("written value does not read back", section + QLatin1Char('/') + key);
    checkUntouched(before, valuesOf(document, names), section, key);
    if (valuesOf(ProfileDocument(document.toText()), names) != valuesOf(document, names))
        fail("the written text parses differently", section);

    // Through the file: the writer changes that one value the way the document does, bare or
    // in double quotes, and quotes it exactly when a reader would take something off the bare
    // value (its blanks, a pair of quotes around it). The reader decides, not a copy of the
    // writer's rule.
    IniFile ini(cache, kPath);
    ini.WriteIniString(section, key, fragment);
    if (!ini.commit().ok)
        fail("write failed", kPath);
    const QByteArray written = files.bytesOf(kPath);
    const QString encoded = EncodeIniValue(fragment);
    const auto fileWith = [&](const QString& raw) {
        ProfileDocument withValue(text);
        withValue.setValue(section, key, raw);
        return withValue;
    };
    const QString bareText = fileWith(encoded).toText();
    const QString quotedText = fileWith(QLatin1Char('"') + encoded + QLatin1Char('"')).toText();
    const bool bare = written == ProfileCodec::encode(bareText);
    const bool quoted = written == ProfileCodec::encode(quotedText);
    if (!bare && !quoted)
        fail("the file is not the document with that value written",
             section + QLatin1Char('/') + key);
    const bool readerChangesBare = fileWith(encoded).value(section, key) != encoded;
    if (bare == readerChangesBare)
        fail(bare ? "a value readers would change is written bare"
                  : "a value is quoted without need",
             section + QLatin1Char('/') + key);
    // A text the codec cannot give back as it was is not checked further.
    const QString reread = ProfileCodec::decode(written);
    if (reread != (bare ? bareText : quotedText))
        return 0;
    ProfileCache fresh(files);
    const IniFile again(fresh, kPath);
    if (again.ReadIniString(section, key) != DecodeIniValue(EncodeIniValue(fragment)))
        fail("value does not survive the file", section + QLatin1Char('/') + key);
    checkUntouched(before, valuesOf(ProfileDocument(reread), names), section, key);
    return 0;
}
