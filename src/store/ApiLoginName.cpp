#include "store/ApiLoginName.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString GetLoginName()
{
#ifdef Q_OS_UNIX
    // The effective user owns the files the program writes, so that is the one asked for. Asked
    // once: the name service may read files at every question, and the user stays.
    static const QString name = [] {
        const passwd* entry = getpwuid(geteuid());
        return entry && entry->pw_name ? QString::fromLocal8Bit(entry->pw_name) : QString();
    }();
    return name;
#else
    return qEnvironmentVariable("USERNAME");
#endif
}
