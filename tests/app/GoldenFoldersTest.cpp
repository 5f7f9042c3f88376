// Golden data folders: each tests/data/folders/<case>/ is a data folder as other users' copies
// write it, and <case>.expected beside it holds the command's words on its first line (e.g.
// "range 2026-03-02 2026-03-08") and the exact output of norvane-cli on that folder after it.
// A new case is a new folder and its expected file; this file does not change.
#include "app/cli/AgendaCommand.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const QString kCorpus = QStringLiteral(NORVANE_GOLDEN_FOLDERS);
const QString kExpectedSuffix = QStringLiteral(".expected");

struct Expectation {
    QStringList words;
    QString output;
};

QStringList caseNames()
{
    return QDir(kCorpus).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

bool readExpectation(const QString& path, Expectation& expectation)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const QString first = lineEnd < 0 ? text : text.left(lineEnd);
    expectation.words = first.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    expectation.output = lineEnd < 0 ? QString() : text.mid(lineEnd + 1);
    return !expectation.words.isEmpty();
}

// Copies the case so that nothing the command does can reach the source tree.
bool copyTree(const QString& from, const QString& to)
{
    const QDir source(from);
    QDirIterator it(from, QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        const QFileInfo info = it.fileInfo();
        if (info.isDir() ? !QDir().mkpath(target)
                         : !QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(path, target))
            return false;
    }
    return true;
}

// Where expected and actual part: the line number and both versions of that line.
QString firstDifference(const QString& expected, const QString& actual)
{
    const QStringList a = expected.split(QLatin1Char('\n'));
    const QStringList b = actual.split(QLatin1Char('\n'));
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return QStringLiteral("line %1\n- %2\n+ %3\n")
        .arg(i + 2) // the expected file's first line holds the command
        .arg(a.value(i, QStringLiteral("(nothing)")), b.value(i, QStringLiteral("(nothing)")));
}

// A case without its expected file fails below.
TEST(GoldenFolders, EveryExpectedFileHasItsCase)
{
    const QStringList cases = caseNames();
    EXPECT_FALSE(cases.isEmpty()) << "no cases in " << qPrintable(kCorpus);
    for (const QString& file :
         QDir(kCorpus).entryList({QLatin1Char('*') + kExpectedSuffix}, QDir::Files)) {
        const QString name = file.chopped(kExpectedSuffix.size());
        EXPECT_TRUE(cases.contains(name))
            << qPrintable(file) << " has no folder " << qPrintable(name);
    }
}

// One test per case, named after its folder, so that a case can be named and run alone.
class GoldenFolder : public testing::TestWithParam<std::string> {};

TEST_P(GoldenFolder, GivesItsExpectedOutput)
{
    const QString name = QString::fromStdString(GetParam());
    Expectation expected;
    ASSERT_TRUE(readExpectation(kCorpus + QLatin1Char('/') + name + kExpectedSuffix, expected))
        << "no expected file, or no command on its first line";
    QTemporaryDir data;
    QTemporaryDir program;
    ASSERT_TRUE(data.isValid() && program.isValid());
    ASSERT_TRUE(copyTree(kCorpus + QLatin1Char('/') + name, data.path()))
        << "could not copy the folder";

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const QStringList args = expected.words + QStringList{QStringLiteral("--folder"), data.path()};
    const int code = AgendaCommand::run(args, outStream, errStream, program.path());

    EXPECT_EQ(code, 0) << qPrintable(err);
    if (out != expected.output)
        ADD_FAILURE() << "norvane-cli " << qPrintable(expected.words.join(QLatin1Char(' ')))
                      << " differs from " << qPrintable(name + kExpectedSuffix) << " at "
                      << qPrintable(firstDifference(expected.output, out))
                      << (err.isEmpty() ? "" : "standard error:\n") << qPrintable(err);
}

std::vector<std::string> caseNamesForTests()
{
    std::vector<std::string> names;
    for (const QString& name : caseNames())
        names.push_back(name.toStdString());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenFolder, testing::ValuesIn(caseNamesForTests()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
