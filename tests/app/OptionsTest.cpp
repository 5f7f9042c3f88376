// The options of norvane-cli: one parser, so every command takes the same forms and tells the
// same problem in the same words.
#include "app/cli/Options.h"
#include "CliRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What was parsed, as one line: the arguments, then each option given with its last value.
QString told(const std::variant<Options::Parsed, Options::Problem>& result)
{
    if (const auto* problem = std::get_if<Options::Problem>(&result))
        return *problem;
    const auto& parsed = std::get<Options::Parsed>(result);
    QStringList words = parsed.arguments;
    for (const QString& name : QStringList{"--folder", "--past", "--flag", "-h"}) {
        if (parsed.has(name) && name == QLatin1String("--past"))
            words << QStringLiteral("--past=#%1").arg(*parsed.number(name));
        else if (parsed.has(name))
            words << (parsed.given.value(name).isEmpty() ? name : name + '=' + parsed.value(name));
    }
    return words.join(' ');
}

TEST(OptionsTest, EveryFormIsTakenAlikeAndAProblemNamesTheWord)
{
    const QList<Options::Option> options = {
        {"--folder", Options::Text}, {"--past", 0, 10, "number of days"}, {"--flag"}, {"-h"}};
    const struct {
        QStringList args;
        QString told;
    } rows[] = {
        {{"day", "--folder", "dir", "2003-07-04"}, "day 2003-07-04 --folder=dir"},
        {{"--folder=a=b", "-", "-h"}, "- --folder=a=b -h"},
        {{"--folder", "--flag"}, "--folder=--flag"},
        {{"--folder", "a", "--flag", "--folder=b", "--flag"}, "--folder=b --flag"},
        {{"--past", "0", "--past=10"}, "--past=#10"},
        {{"--folder"}, "--folder needs a value."},
        {{"--folder="}, "--folder needs a value."},
        {{"--folder", "", "x"}, "--folder needs a value."},
        {{"--past", "-1"}, "Not a number of days from 0 to 10: -1"},
        {{"--past=11"}, "Not a number of days from 0 to 10: 11"},
        {{"--past", "2.5"}, "Not a number of days from 0 to 10: 2.5"},
        {{"--flag=yes"}, "Unknown option: --flag=yes"},
        {{"--fold", "dir"}, "Unknown option: --fold"},
        {{"x", "--", "--bogus"}, "Unknown option: --"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(told(Options::parse(row.args, options)).toStdString(), row.told.toStdString())
            << qPrintable(row.args.join(' '));
}

TEST(OptionsTest, EveryCommandTellsTheSameProblemInTheSameWords)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("file");
    // Should a word slip through, the settings it reaches are not the user's.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.path());
    environment.remove("XDG_DATA_HOME");
    const struct {
        QStringList args;
        QString err;
    } rows[] = {
        {{"day", "2003-07-04", "--folder="}, "--folder needs a value."},
        {{"pdf", "week", "2003-07-04", file, "--folder"}, "--folder needs a value."},
        {{"pdf", "day", "2003-07-04", file, "--two-months=1"}, "Unknown option: --two-months=1"},
        {{"import-holidays", file, "--section="}, "--section needs a value."},
        {{"import-holidays", file, "--color", "x"}, "Not a colour from 1 to 14: x"},
        {{"test-folder", "--folder", dir.path()}, "Unknown option: --folder"},
        {{"export-ics", "2026-01-01", "2026-01-02", "--folder"}, "--folder needs a value."},
        {{"import-ics", file, "--allow-large=1"}, "Unknown option: --allow-large=1"},
        {{"undo-import", file, "--folder", dir.path()}, "Unknown option: --folder"},
        {{"sync", "--past", "36601"}, "Not a number of days from 0 to 36600: 36601"},
        {{"sync", "--url="}, "--url needs a value."},
        {{"sync", "now"}, "sync takes options only: now"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun run = cli(row.args, environment);
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.err.section('\n', 0, 0).toStdString(),
                  "norvane-cli: " + row.err.toStdString());
        EXPECT_TRUE(run.out.isEmpty());
    }
}

} // namespace
