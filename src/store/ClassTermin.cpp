#include "ClassTermin.h"

#include "Recurrence.h"

bool IsRecurringPath(const QString& path)
{
    return Recurrence::ofPath(path) != Recurrence::Kind::None;
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
