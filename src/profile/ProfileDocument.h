#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The text of one profile (INI) file, read and changed by the rules Windows copies follow:
// section and key names ignore letter case, only the first section of a name and the first
// key within it count, ";" starts a comment, values lose surrounding blanks and one pair of
// matching outer quotes. Setting a key changes only its own line; every other line stays
// exactly as it was, line end included.
class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(QString text);

    // The raw value (unescaped), or nullopt when the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Every key of the first section of that name with its raw value, in one pass: the
    // first occurrence of a name wins, names are lower case.
    QHash<QString, QString> values(const QString& section) const;

    // Writes key=value: in place when the key exists, after the section's last key otherwise,
    // and a new section at the end of the file when the section is missing.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Takes out every line of the key in the first section of that name; nothing else moves.
    void removeKey(const QString& section, const QString& key);

    const QString& toText() const { return m_text; }
    // What the document holds in memory, in bytes: proportional to the file, however it is
    // broken into lines.
    qint64 memoryCost() const { return qint64(m_text.capacity()) * 2 + qint64(sizeof *this); }

private:
    // One line of m_text, without its line end.
    struct Line {
        qsizetype begin = 0;
        qsizetype end = 0;  // where the line end starts
        qsizetype next = 0; // where the next line starts
    };
    // The lines are found anew on every lookup, so the text is the only thing kept.
    Line lineAt(qsizetype begin) const;
    QStringView textOf(const Line& line) const;

    struct SectionScan {
        bool found = false;
        Line header;
        std::optional<Line> key;     // the first line of the key asked for
        std::optional<Line> lastKey; // the section's last key line
    };
    SectionScan scan(const QString& section, const QString& key) const;
    // Inserts a line at position `at`, giving an unterminated line before it a line end.
    void insertLine(qsizetype at, const QString& text);

    QString m_text;
};
