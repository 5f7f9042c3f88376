#include "views/FolderMarks.h"

#include "profile/FileAccess.h"
#include "settings/Settings.h"
#include "store/Common.h"

#include <algorithm>
#include <array>

namespace FolderMarks {

QColor colorOf(int index)
{
    // Told apart with every kind of colour vision, and each apart from the appointment colours'
    // pale fills.
    static const std::array<QColor, 8> kColors{
        QColor(0, 114, 178),  QColor(230, 159, 0), QColor(0, 158, 115),  QColor(204, 121, 167),
        QColor(86, 180, 233), QColor(213, 94, 0),  QColor(120, 94, 240), QColor(90, 90, 90),
    };
    return kColors[size_t(std::max(index, 0)) % kColors.size()];
}

QList<FolderMark> shown(const Settings& settings)
{
    const QStringList listed = settings.dataFolders();
    const auto markOf = [&](const QString& folder, bool active) {
        const QString path = WithTrailingSeparator(folder);
        int index = -1;
        for (int i = 0; i < listed.size() && index < 0; ++i)
            if (WithTrailingSeparator(listed[i]) == path)
                index = i;
        return FolderMark{path, listed.value(index), LastPathPart(path), colorOf(index), active};
    };
    QList<FolderMark> marks{markOf(settings.GetDataFolder(), true)};
    for (const QString& folder : listed) {
        const QString path = WithTrailingSeparator(folder);
        const bool known = std::any_of(marks.cbegin(), marks.cend(),
                                       [&](const FolderMark& m) { return m.folder == path; });
        if (!folder.isEmpty() && !known && settings.ShownFolders().contains(folder))
            marks << markOf(folder, false);
    }
    return marks;
}

std::optional<FolderMark> of(const QList<FolderMark>& shown, const QString& path)
{
    const FolderMark* best = nullptr;
    for (const FolderMark& mark : shown)
        if (!path.isEmpty() && path.startsWith(mark.folder) &&
            (!best || mark.folder.size() > best->folder.size()))
            best = &mark;
    if (!best || best->active)
        return std::nullopt;
    return *best;
}

QString calendarLine(const std::optional<FolderMark>& mark)
{
    return mark ? QCoreApplication::translate("FolderMarks", "Calendar: %1").arg(mark->name)
                : QString();
}

} // namespace FolderMarks
