#include "edit/LoginsCompleter.h"

#include <QLineEdit>
#include <QStandardItemModel>

namespace {

// Shown as "Anna Meier (anna)" or "Room 2 (12 seats)", inserted as the login or room.
QString withNote(const QString& name, const QString& note)
{
    return note.isEmpty() ? name : name + QStringLiteral(" (") + note + QLatin1Char(')');
}

} // namespace

LoginsCompleter::LoginsCompleter(const QList<TeamMember>& team, QLineEdit* field)
    : LoginsCompleter(
          [&team] {
              QList<Entry> entries;
              for (const TeamMember& member : team)
                  entries.append(
                      {member.name.isEmpty() ? member.login : withNote(member.name, member.login),
                       member.login});
              return entries;
          }(),
          QLatin1Char(','), field)
{
}

LoginsCompleter::LoginsCompleter(const QList<TeamRoom>& rooms, QLineEdit* field)
    : LoginsCompleter(
          [&rooms] {
              QList<Entry> entries;
              for (const TeamRoom& room : rooms)
                  entries.append({withNote(room.name, room.note), room.name});
              return entries;
          }(),
          QLatin1Char(';'), field)
{
}

LoginsCompleter::LoginsCompleter(const QList<Entry>& entries, QChar separator, QLineEdit* field)
    : QCompleter(field)
    , m_field(field)
    , m_separator(separator)
{
    auto* model = new QStandardItemModel(this);
    for (const Entry& entry : entries) {
        auto* item = new QStandardItem(entry.shown);
        item->setData(entry.inserted, Qt::UserRole);
        model->appendRow(item);
    }
    setModel(model);
    setCaseSensitivity(Qt::CaseInsensitive);
    setFilterMode(Qt::MatchContains);
    setWidget(field);
    connect(field, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString typed = text.mid(listBefore(text).size()).trimmed();
        if (typed.isEmpty())
            return;
        setCompletionPrefix(typed);
        complete();
    });
    connect(this, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { m_field->setText(pathFromIndex(index)); });
}

QString LoginsCompleter::listBefore(const QString& text) const
{
    const qsizetype at = text.lastIndexOf(m_separator);
    return at < 0 ? QString() : text.left(at + 1) + QLatin1Char(' ');
}

QString LoginsCompleter::pathFromIndex(const QModelIndex& index) const
{
    return listBefore(m_field->text()) + index.data(Qt::UserRole).toString();
}

QStringList LoginsCompleter::splitPath(const QString& path) const
{
    return {path.mid(listBefore(path).size()).trimmed()};
}
