#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The text of one profile (INI) file, read and changed by the rules Windows copies follow:
// section and key names ignore letter case, only the first section of a name and the first
// key within it count, ";" starts a comment, values lose surrounding blanks and one pair of
// matching outer quotes. Setting a key changes only its own line; every other line stays
// exactly as it was, line end included.
class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(const QString& text);

    // The raw value (unescaped), or nullopt when the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Writes key=value: in place when the key exists, after the section's last key otherwise,
    // and a new section at the end of the file when the section is missing.
    void setValue(const QString& section, const QString& key, const QString& value);

    QString toText() const;

private:
    struct Line {
        QString text;
        QString ending; // "\r\n", "\n", "\r" or empty for an unterminated last line
    };

    int findSection(const QString& section) const; // index of the header line, or -1
    // Index of the first line of the section's key, or -1; lastKeyLine gets the section's
    // last key line (the header when it has none).
    int findKey(int header, const QString& key, int* lastKeyLine) const;
    void insertLine(int index, const QString& text);

    std::vector<Line> m_lines;
};
