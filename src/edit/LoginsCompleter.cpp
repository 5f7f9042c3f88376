#include "edit/LoginsCompleter.h"

#include <QLineEdit>
#include <QStandardItemModel>

namespace {

// The text before the login being typed, with its comma and one blank.
QString listBefore(const QString& text)
{
    const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
    return comma < 0 ? QString() : text.left(comma + 1) + QLatin1Char(' ');
}

} // namespace

LoginsCompleter::LoginsCompleter(const QList<TeamMember>& team, QLineEdit* field)
    : QCompleter(field)
    , m_field(field)
{
    auto* model = new QStandardItemModel(this);
    for (const TeamMember& member : team) {
        // Shown as "Anna Meier (anna)", matched anywhere, inserted as the login.
        auto* item = new QStandardItem(member.name.isEmpty() ? member.login
                                                             : member.name + QStringLiteral(" (") +
                                                                   member.login + QLatin1Char(')'));
        item->setData(member.login, Qt::UserRole);
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

QString LoginsCompleter::pathFromIndex(const QModelIndex& index) const
{
    return listBefore(m_field->text()) + index.data(Qt::UserRole).toString();
}

QStringList LoginsCompleter::splitPath(const QString& path) const
{
    return {path.mid(listBefore(path).size()).trimmed()};
}
