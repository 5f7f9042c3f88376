#include "store/ApiLoginName.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString GetLoginName()
{
#ifdef Q_OS_UNIX
    // The effective user owns the files the program writes, so that is the one asked for.
    const passwd* entry = getpwuid(geteuid());
    if (!entry || !entry->pw_name)
        return QString();
    return QString::fromLocal8Bit(entry->pw_name);
#else
    return qEnvironmentVariable("USERNAME");
#endif
}
