// What a change's journal keeps of the files it wrote and removed: what an undo puts back.
#include "service/WriteJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using Bytes = std::optional<QByteArray>;

struct Step {
    enum Op { Write, Remove, Begin } op;
    QString name;
    QByteArray content = {};
};

struct Case {
    const char* what;
    std::vector<std::pair<QString, QByteArray>> before;  // the folder at the start
    std::vector<Step> steps;                             // after begin(), unless one says so
    std::vector<std::tuple<QString, Bytes, Bytes>> kept; // end(): name, before, after
};

const std::vector<Case> kCases = {
    {"a new file was not there", {}, {{Step::Write, "a", "1"}}, {{"a", std::nullopt, "1"}}},
    {"two writes keep the first before and the last after",
     {{"a", "old"}},
     {{Step::Write, "a", "1"}, {Step::Write, "a", "2"}},
     {{"a", "old", "2"}}},
    {"a removed file is gone after", {{"a", "old"}}, {{Step::Remove, "a"}}, {{"a", "old", {}}}},
    {"a file made and removed again changed nothing",
     {},
     {{Step::Write, "a", "1"}, {Step::Remove, "a"}},
     {}},
    {"a file written as it was changed nothing", {{"a", "same"}}, {{Step::Write, "a", "same"}}, {}},
    {"the files in the order first written",
     {{"b", "old"}},
     {{Step::Write, "b", "1"}, {Step::Write, "a", "2"}, {Step::Write, "b", "3"}},
     {{"b", "old", "3"}, {"a", std::nullopt, "2"}}},
    {"what was written before the change began is not its own",
     {},
     {{Step::Write, "a", "1"}, {Step::Begin, {}}, {Step::Write, "b", "2"}},
     {{"b", std::nullopt, "2"}}},
    {"a change with a file it could not read first cannot be taken back",
     {{"dir/x", "inside"}},
     {{Step::Write, "a", "1"}, {Step::Remove, "dir"}},
     {}},
};

TEST(WriteJournalTest, KeepsWhatEachFileHeldBeforeTheFirstWriteAndAfterTheLast)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        for (const auto& [name, content] : c.before) {
            QDir(root).mkpath(QFileInfo(root + name).path());
            QFile file(root + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        RealFileAccess disk;
        WriteJournal journal(disk);
        // A case that says where the change begins writes something before it.
        if (std::ranges::none_of(c.steps, [](const Step& s) { return s.op == Step::Begin; }))
            journal.begin();
        for (const Step& step : c.steps) {
            if (step.op == Step::Begin)
                journal.begin();
            else if (step.op == Step::Write)
                (void)journal.writeAtomically(root + step.name, step.content, root);
            else
                journal.remove(root + step.name, root);
        }
        QList<FileVersions> expected;
        for (const auto& [name, before, after] : c.kept)
            expected.append({root + name, before, after});
        EXPECT_EQ(journal.end(), expected);
        EXPECT_TRUE(journal.end().isEmpty()) << "an ended journal holds nothing more";
    }
}

} // namespace
