#include "ClassTermin.h"

#include <QRegularExpression>

namespace {

bool isNumbered(const QString& name, QLatin1Char letter)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    return name.size() > 1 && name.front() == letter && digits.match(name.mid(1)).hasMatch();
}

} // namespace

// Only the directories just above the file count: they lie inside the data folder wherever
// the folder itself is, so a data folder below a directory named "recurring" changes nothing.
QString RecurrenceKindOfPath(const QString& path)
{
    static const QRegularExpression separators(QStringLiteral(R"([\\/])"));
    const QStringList parts = path.split(separators);
    const qsizetype n = parts.size(); // the last part is the file name
    const QString kRecurring = QStringLiteral("recurring");
    if (n >= 3 && parts[n - 3] == kRecurring) {
        const QString& dir = parts[n - 2];
        if (dir == QLatin1String("every"))
            return QStringLiteral("d");
        if (dir.startsWith(QLatin1String("wd")) && isNumbered(dir.mid(1), QLatin1Char('d')))
            return QStringLiteral("wd");
        if (isNumbered(dir, QLatin1Char('d')))
            return QStringLiteral("m");
    }
    if (n >= 4 && parts[n - 4] == kRecurring && isNumbered(parts[n - 3], QLatin1Char('m')) &&
        isNumbered(parts[n - 2], QLatin1Char('d')))
        return QStringLiteral("y");
    return {};
}

bool IsRecurringPath(const QString& path)
{
    return !RecurrenceKindOfPath(path).isEmpty();
}

void ClassTermin::setFilename(const QString& path)
{
    m_filename = path;
    if (IsRecurringPath(path))
        m_isRecurring = true;
}

QString ClassTermin::GetFormatedText() const
{
    QString prefix;
    if (m_isReminder)
        prefix += QLatin1String("[!] ");
    if (m_isRecurring)
        prefix += QLatin1String("[>>] ");
    return prefix + m_text;
}
