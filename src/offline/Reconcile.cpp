#include "offline/Reconcile.h"

#include "exchange/OccurrenceSeries.h"
#include "offline/ConflictCopy.h"
#include "offline/FolderListing.h"
#include "offline/OfflineRecord.h"
#include "offline/OfflineText.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/RuleSeries.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtEndian>

namespace Offline {

namespace {

using FolderPlan::Kind;
using OfflineRecord::Entry;

constexpr int kSaveEvery = 100;
// Names tried for a conflict copy before the reconcile leaves the file to the next one.
constexpr int kNameTries = 50;

QByteArray hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

// A reconcile that cannot go on: what was done is recorded, the rest is left.
struct Stop {
    Result::Status status;
    QString error;
};

// One folder as this reconcile sees it.
struct Side {
    FileAccess& files;
    QString folder;
    FolderListing::Files listed;
    QHash<QString, QByteArray> bytes; // read so far
    bool share = false;

    QString abs(const QString& relative) const { return folder + relative; }

    qint64 modified(const QString& relative) const
    {
        return listed.value(relative).modified.toMSecsSinceEpoch();
    }

    // The file's bytes, read once; a file that cannot be read stops the reconcile.
    const QByteArray& read(const QString& relative)
    {
        if (const auto known = bytes.constFind(relative); known != bytes.cend())
            return *known;
        const ReadOutcome read = files.read(abs(relative), ProfileCache::kMaxFileBytes + 1, folder);
        if (read.status != ReadOutcome::Read || read.bytes.size() > ProfileCache::kMaxFileBytes)
            throw Stop{
                share ? Result::Status::Unreachable : Result::Status::Failed,
                OfflineText::tr("Cannot read %1: %2")
                    .arg(QDir::toNativeSeparators(abs(relative)),
                         read.error.isEmpty() ? OfflineText::tr("not a whole file") : read.error)};
        return *bytes.insert(relative, read.bytes);
    }

    // Whether the file is still as the listing found it (or still absent).
    bool unchanged(const QString& relative)
    {
        const auto was = listed.constFind(relative);
        if (was == listed.cend())
            return !files.exists(abs(relative));
        const auto now = files.metadata(abs(relative));
        return now && now->modified == was->modified && now->size == was->size;
    }

    // Writes the bytes and answers the file's time as it is now; none when replace is Never
    // and something has the name by now.
    std::optional<qint64> write(const QString& relative, const QByteArray& content,
                                FileAccess::Replace replace = FileAccess::Replace::Any)
    {
        const WriteOutcome written = files.writeFile(abs(relative), content, folder, replace);
        if (written.cause == WriteOutcome::Cause::NameTaken && !written.ok)
            return std::nullopt;
        if (!written.ok)
            throw Stop{share ? Result::Status::Unreachable : Result::Status::Failed,
                       OfflineText::tr("Cannot write %1: %2")
                           .arg(QDir::toNativeSeparators(abs(relative)), written.error)};
        bytes.insert(relative, content);
        if (written.written)
            return written.written->modified.toMSecsSinceEpoch();
        const auto meta = files.metadata(abs(relative));
        return meta ? meta->modified.toMSecsSinceEpoch() : 0;
    }

    void remove(const QString& relative)
    {
        if (!files.remove(abs(relative), folder) && files.exists(abs(relative)))
            throw Stop{
                share ? Result::Status::Unreachable : Result::Status::Failed,
                OfflineText::tr("Cannot delete %1").arg(QDir::toNativeSeparators(abs(relative)))};
        bytes.remove(relative);
    }

    // Whether relative is free for content, or holds it already (a repeated reconcile).
    bool freeFor(const QString& relative, const QByteArray& content)
    {
        return !files.exists(abs(relative)) || read(relative) == content;
    }

    // What the plan sees: time and size, and the hash where they differ from the record's.
    FolderPlan::Listing seen(const QHash<QString, Entry>& record)
    {
        FolderPlan::Listing result;
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            FolderPlan::Seen s{it->modified.toMSecsSinceEpoch(), it->size, std::nullopt};
            const auto known = record.constFind(it.key());
            if (known == record.cend() || known->size != s.size ||
                (share ? known->shareModified : known->copyModified) != s.modified)
                s.hash = hashOf(read(it.key()));
            result.insert(it.key(), s);
        }
        return result;
    }
};

class Run {
public:
    Run(FileAccess& share, FileAccess& copy, const QString& shareFolder, const QString& copyFolder,
        const Options& options)
        : m_share{share, shareFolder, {}, {}, true}
        , m_copy{copy, copyFolder, {}, {}, false}
        , m_options(options)
        , m_window{options.today.addDays(-options.daysBack),
                   options.today.addDays(options.daysAhead)}
    {
    }

    Result run()
    {
        if (!m_share.files.isListableDir(m_share.folder))
            return stopped(
                {Result::Status::Unreachable, OfflineText::tr("%1 cannot be reached")
                                                  .arg(QDir::toNativeSeparators(m_share.folder))});
        QString error;
        if (!m_copy.files.isListableDir(m_copy.folder) && !m_copy.files.makePath(m_copy.folder))
            return stopped(
                {Result::Status::Failed,
                 OfflineText::tr("Cannot make %1").arg(QDir::toNativeSeparators(m_copy.folder))});
        const auto record = OfflineRecord::load(m_copy.files, m_copy.folder, &error);
        if (!record)
            return stopped({Result::Status::Failed, error});
        m_record = *record;
        m_record.share = m_share.folder;
        m_result.taken = m_record.reconciled.isValid();
        try {
            act(planned());
        } catch (const Stop& stop) {
            save();
            return stopped(stop);
        }
        m_record.reconciled = QDateTime::currentDateTimeUtc();
        m_result.taken = true;
        if (!save())
            return stopped({Result::Status::Failed, m_saveError});
        return m_result;
    }

private:
    Result stopped(const Stop& stop)
    {
        m_result.status = stop.status;
        m_result.error = stop.error;
        return m_result;
    }

    bool save() { return OfflineRecord::save(m_copy.files, m_copy.folder, m_record, &m_saveError); }

    FolderPlan::Plan planned()
    {
        QString error;
        const auto copy = FolderListing::list(m_copy.files, m_copy.folder, std::nullopt, &error);
        if (!copy)
            throw Stop{Result::Status::Failed, error};
        const auto share = FolderListing::list(m_share.files, m_share.folder, m_window, &error);
        if (!share)
            throw Stop{Result::Status::Unreachable, error};
        m_copy.listed = *copy;
        m_share.listed = *share;
        const FolderPlan::Listing copySeen = m_copy.seen(m_record.entries);
        // Out of the window the share is asked only for the files the copy changed there.
        for (auto it = copySeen.cbegin(); it != copySeen.cend(); ++it) {
            const auto known = m_record.entries.constFind(it.key());
            const bool changed =
                known == m_record.entries.cend() || (it->hash && *it->hash != known->hash);
            if (!m_window.contains(it.key()) && changed)
                if (const auto meta = m_share.files.metadata(m_share.abs(it.key())))
                    m_share.listed.insert(it.key(), *meta);
        }
        return FolderPlan::plan(m_record.entries, copySeen, m_share.seen(m_record.entries),
                                m_window);
    }

    void act(const FolderPlan::Plan& plan)
    {
        m_result.shareDeletions = plan.share;
        m_result.copyDeletions = plan.copy;
        if (FolderPlan::massDeletion(plan) && !m_options.allowMassDelete)
            throw Stop{Result::Status::TooManyDeletions,
                       OfflineText::tr("The reconcile would delete %1 of %2 files on the share and "
                                       "%3 of %4 in the offline copy; nothing was done.")
                           .arg(plan.share.count)
                           .arg(plan.share.of)
                           .arg(plan.copy.count)
                           .arg(plan.copy.of)};
        int done = 0;
        for (const FolderPlan::Action& action : plan.actions) {
            perform(action);
            if (m_options.afterAction)
                m_options.afterAction();
            if (++done % kSaveEvery == 0)
                save();
        }
    }

    void perform(const FolderPlan::Action& action)
    {
        const QString& path = action.path;
        switch (action.kind) {
        case Kind::ToShare:
            ++(copyAcross(m_copy, m_share, path) ? m_result.toShare : m_result.left);
            break;
        case Kind::ToCopy:
            ++(copyAcross(m_share, m_copy, path) ? m_result.toCopy : m_result.left);
            break;
        case Kind::DeleteOnShare:
        case Kind::DeleteOnCopy:
        case Kind::Evict: {
            Side& side = action.kind == Kind::DeleteOnShare ? m_share : m_copy;
            if (!side.unchanged(path)) {
                ++m_result.left;
                break;
            }
            side.remove(path);
            m_record.entries.remove(path);
            m_result.deletedOnShare += action.kind == Kind::DeleteOnShare ? 1 : 0;
            m_result.deletedOnCopy += action.kind == Kind::DeleteOnCopy ? 1 : 0;
            break;
        }
        case Kind::Conflict:
            conflict(path);
            break;
        case Kind::RecordOnly: {
            const QByteArray& bytes = m_share.read(path);
            m_record.entries.insert(
                path, {hashOf(bytes), bytes.size(), m_copy.modified(path), m_share.modified(path)});
            break;
        }
        case Kind::Forget:
            m_record.entries.remove(path);
            break;
        }
    }

    // The file of from over the one of to, unless to's changed since the listing; where to
    // had none, only while it has none.
    bool copyAcross(Side& from, Side& to, const QString& path)
    {
        const QByteArray bytes = from.read(path);
        const bool isNew = !to.listed.contains(path);
        if (!isNew && !to.unchanged(path))
            return false;
        const auto written =
            to.write(path, bytes, isNew ? FileAccess::Replace::Never : FileAccess::Replace::Any);
        if (!written)
            return false;
        const qint64 source = from.modified(path);
        m_record.entries.insert(path, {hashOf(bytes), bytes.size(), to.share ? source : *written,
                                       to.share ? *written : source});
        return true;
    }

    // The copy's version becomes a file of its own beside the path, whose name and UID come
    // from its bytes so that a repeat finds it, and the share's version takes the path.
    void conflict(const QString& path)
    {
        const QByteArray shareBytes = m_share.read(path);
        const QByteArray copyBytes = m_copy.read(path);
        const bool rule = OccurrenceSeries::isRulePath(path);
        const QByteArray marked =
            ConflictCopy::of(copyBytes, m_options.who, m_options.langCode, rule);
        const QString name =
            conflictName(path, marked, rule ? ConflictCopy::seriesIdOf(copyBytes) : QString());
        if (name.isEmpty() || !m_copy.unchanged(path)) {
            ++m_result.left;
            return;
        }
        // Both versions in the copy first, the share's over the path: a share that fails
        // half-way leaves no conflict copy beside the version it was made of.
        const auto copyTime = placed(m_copy, name, marked);
        if (!copyTime) {
            ++m_result.left; // another file took the name since it was chosen
            return;
        }
        const qint64 written = *m_copy.write(path, shareBytes);
        m_record.entries.insert(
            path, {hashOf(shareBytes), shareBytes.size(), written, m_share.modified(path)});
        ++m_result.conflicts;
        // Then made new on the share, never over a file there; else it goes as any new file of
        // the copy at the next reconcile.
        if (const auto shareTime = placed(m_share, name, marked))
            m_record.entries.insert(name, {hashOf(marked), marked.size(), *copyTime, *shareTime});
    }

    // The time of name once it holds content, made new unless a repeat finds it there; none
    // when another file took the name.
    static std::optional<qint64> placed(Side& side, const QString& name, const QByteArray& content)
    {
        if (const auto written = side.write(name, content, FileAccess::Replace::Never))
            return written;
        if (side.read(name) != content)
            return std::nullopt;
        const auto meta = side.files.metadata(side.abs(name));
        return meta ? std::optional(meta->modified.toMSecsSinceEpoch()) : std::nullopt;
    }

    QString conflictName(const QString& path, const QByteArray& marked, const QString& seriesId)
    {
        if (!seriesId.isEmpty()) {
            const QString name = RuleSeries::rulePath(QString(), seriesId);
            return m_copy.freeFor(name, marked) && m_share.freeFor(name, marked) ? name : QString();
        }
        const QString dir = path.left(path.lastIndexOf(u'/') + 1);
        const QByteArray digest = QCryptographicHash::hash(marked, QCryptographicHash::Sha1);
        quint32 number = qFromBigEndian<quint32>(digest.constData()) % 100000000;
        for (int i = 0; i < kNameTries; ++i, number = (number + 1) % 100000000) {
            const QString name = dir + QString::number(number) + QStringLiteral(".nv3");
            if (name != path && m_copy.freeFor(name, marked) && m_share.freeFor(name, marked))
                return name;
        }
        return {};
    }

    Side m_share;
    Side m_copy;
    const Options& m_options;
    FolderPlan::Window m_window;
    OfflineRecord::Record m_record;
    Result m_result;
    QString m_saveError;
};

} // namespace

QString copyFolderOf(const QString& dataDirectory, const QString& shareFolder)
{
    // One copy per folder however its path is written.
    const QString key = QDir::cleanPath(QDir::fromNativeSeparators(shareFolder)) + u'/';
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    return WithTrailingSeparator(dataDirectory) + QStringLiteral("offline/") +
           QString::fromLatin1(hash.toHex().left(32)) + u'/';
}

Result reconcile(FileAccess& share, FileAccess& copy, const QString& shareFolder,
                 const QString& copyFolder, const Options& options)
{
    return Run(share, copy, WithTrailingSeparator(shareFolder), WithTrailingSeparator(copyFolder),
               options)
        .run();
}

} // namespace Offline
