#include "store/FolderClaim.h"

#include "store/Recurrence.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSysInfo>
#include <QUuid>

FolderClaim::FolderClaim(FileAccess& files, const QString& dataFolder, const QString& path,
                         Clock clock)
    : m_files(files)
    , m_root(dataFolder)
    , m_path(path)
    , m_clock(clock ? std::move(clock) : Clock(&QDateTime::currentDateTime))
{
    // Machine, process and a number of its own: two claims of one process differ too.
    m_mark = QStringLiteral("%1 %2 %3 %4\n")
                 .arg(QSysInfo::machineHostName())
                 .arg(QCoreApplication::applicationPid())
                 .arg(m_clock().toUTC().toString(Qt::ISODate))
                 .arg(QUuid::createUuid().toString(QUuid::WithoutBraces))
                 .toUtf8();
    m_held = take();
}

FolderClaim::~FolderClaim()
{
    if (!m_held)
        return;
    // Only our own: a claim taken over after we stalled belongs to the other copy now.
    const ReadOutcome current = m_files.read(m_path, m_mark.size() + 1, m_root);
    if (current.status == ReadOutcome::Read && current.bytes == m_mark)
        m_files.remove(m_path, m_root);
}

namespace {

// Any id or name fits a file name this way, whatever an import or a user brought along.
QString hashOf(const QString& key)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(24));
}

} // namespace

QString FolderClaim::seriesPath(const QString& dataFolder, const QString& seriesKey)
{
    return dataFolder + Recurrence::kTreeName +
           QStringLiteral("/series-%1.claim").arg(hashOf(seriesKey));
}

QString FolderClaim::roomPath(const QString& dataFolder, const QString& room)
{
    return dataFolder + QStringLiteral("room-%1.claim").arg(hashOf(room.toCaseFolded()));
}

bool FolderClaim::take()
{
    if (m_files.createExclusively(m_path, m_mark, m_root))
        return true;
    // A copy that died holding it: once old enough, it goes and the claim is tried once more.
    const std::optional<FileMeta> there = m_files.metadata(m_path);
    if (!there || there->modified.secsTo(m_clock()) <= kStaleAfter.count())
        return false;
    m_files.remove(m_path, m_root);
    return m_files.createExclusively(m_path, m_mark, m_root);
}
