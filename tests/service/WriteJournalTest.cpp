// What a change's journal keeps of the files it wrote and removed: what an undo puts back.
#include "service/WriteJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Each case in words: the folder at the start ("name=content ..."), the steps ("name=content"
// writes, "+name=content" writes a new file, "-name" removes, "|" begins the change, which
// otherwise begins first) and what end() keeps ("name:before>after", an empty side for no file).
const struct {
    const char* what;
    const char* before;
    const char* steps;
    const char* kept;
} kCases[] = {
    {"a new file was not there", "", "a=1", "a:>1"},
    {"two writes keep the first before and the last after", "a=old", "a=1 a=2", "a:old>2"},
    {"a removed file is gone after", "a=old", "-a", "a:old>"},
    {"a file made and removed again changed nothing", "", "a=1 -a", ""},
    {"a file written as it was changed nothing", "a=same", "a=same", ""},
    {"the files in the order first written", "b=old", "b=1 a=2 b=3", "b:old>3 a:>2"},
    {"what was written before the change began is not its own", "", "a=1 | b=2", "b:>2"},
    {"a change with a file it could not read first cannot be taken back", "dir/x=inside",
     "a=1 -dir", ""},
    {"a new file was not there either", "", "+a=1 a=2", "a:>2"},
    {"a new file's name found taken changed nothing", "a=theirs", "+a=1", ""},
};

QStringList wordsOf(const char* text)
{
    return QString(text).split(' ', Qt::SkipEmptyParts);
}

std::optional<QByteArray> contentOf(const QString& side)
{
    return side.isEmpty() ? std::nullopt : std::optional(side.toUtf8());
}

TEST(WriteJournalTest, KeepsWhatEachFileHeldBeforeTheFirstWriteAndAfterTheLast)
{
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        for (const QString& file : wordsOf(c.before)) {
            QDir(root).mkpath(QFileInfo(root + file.section('=', 0, 0)).path());
            QFile written(root + file.section('=', 0, 0));
            ASSERT_TRUE(written.open(QIODevice::WriteOnly));
            written.write(file.section('=', 1).toUtf8());
        }
        RealFileAccess disk;
        WriteJournal journal(disk);
        if (!wordsOf(c.steps).contains("|"))
            journal.begin();
        for (const QString& step : wordsOf(c.steps)) {
            if (step == "|")
                journal.begin();
            else if (step.startsWith('-'))
                journal.remove(root + step.mid(1), root);
            else if (step.startsWith('+'))
                (void)journal.writeNew(root + step.mid(1).section('=', 0, 0),
                                       step.section('=', 1).toUtf8(), root);
            else
                (void)journal.writeAtomically(root + step.section('=', 0, 0),
                                              step.section('=', 1).toUtf8(), root);
        }
        QList<FileVersions> expected;
        for (const QString& file : wordsOf(c.kept)) {
            const QString versions = file.section(':', 1);
            expected.append({root + file.section(':', 0, 0), contentOf(versions.section('>', 0, 0)),
                             contentOf(versions.section('>', 1))});
        }
        EXPECT_EQ(journal.end(), expected);
        EXPECT_TRUE(journal.end().isEmpty()) << "an ended journal holds nothing more";
    }
}

// On a share every look is a round trip: a new file's needs none, since nothing was there.
TEST(WriteJournalTest, ANewFileIsKeptWithoutALookAtItsName)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    CountingFileAccess disk{ThreadFileAccess()};
    WriteJournal journal(disk);
    journal.begin();
    ASSERT_TRUE(journal.writeNew(root + "a", "1", root).ok);
    EXPECT_EQ(disk.counts().total(), 1) << "the write alone";
    EXPECT_EQ(journal.end(), (QList<FileVersions>{{root + "a", std::nullopt, QByteArray("1")}}));
}

} // namespace
