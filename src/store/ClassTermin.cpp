#include "ClassTermin.h"

#include "AppointmentFiling.h"

#include <QRegularExpression>

bool IsRecurringPath(const QString& path)
{
    static const QRegularExpression recurringDir(QStringLiteral(R"([\\/]recurring[\\/])"));
    return path.contains(recurringDir);
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

bool ClassTermin::EditMe(bool showEditwindow, AppointmentFiling& filing)
{
    return filing.EditMe(*this, showEditwindow).saved;
}
