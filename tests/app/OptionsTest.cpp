// The options of norvane-cli: one parser, so every command takes the same forms and tells the
// same problem in the same words.
#include "app/cli/Options.h"
#include "CliRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Row {
    QStringList args;
    QString told;
};

// What was parsed, as one line: the arguments, then each option given with its last value.
std::string told(const std::variant<Options::Parsed, Options::Problem>& result)
{
    const auto* parsed = std::get_if<Options::Parsed>(&result);
    QStringList words =
        parsed ? parsed->arguments : QStringList{std::get<Options::Problem>(result)};
    for (const QString& name : QStringList{"--folder", "--flag", "-h"})
        if (parsed && parsed->has(name))
            words << (parsed->value(name).isEmpty() ? name : name + '=' + parsed->value(name));
    if (parsed && parsed->has("--past"))
        words << QStringLiteral("--past=#%1").arg(*parsed->number("--past"));
    return words.join(' ').toStdString();
}

TEST(OptionsTest, EveryFormIsTakenAlikeAndAProblemNamesTheWord)
{
    const QList<Options::Option> options = {
        {"--folder", Options::Text}, {"--past", 0, 10, "number of days"}, {"--flag"}, {"-h"}};
    const Row rows[] = {
        {{"day", "--folder", "dir", "2003-07-04"}, "day 2003-07-04 --folder=dir"},
        {{"--folder=a=b", "-", "-h"}, "- --folder=a=b -h"},
        {{"--folder", "--flag"}, "--folder=--flag"},
        {{"--folder", "a", "--flag", "--folder=b", "--flag"}, "--folder=b --flag"},
        {{"--past", "0", "--past=10"}, "--past=#10"},
        {{"--folder"}, "--folder needs a value."},
        {{"--folder", "", "x"}, "--folder needs a value."},
        {{"--past", "-1"}, "Not a number of days from 0 to 10: -1"},
        {{"--past=11"}, "Not a number of days from 0 to 10: 11"},
        {{"--past", "2.5"}, "Not a number of days from 0 to 10: 2.5"},
        {{"--flag=yes"}, "Unknown option: --flag=yes"},
        {{"--fold", "dir"}, "Unknown option: --fold"},
        {{"x", "--", "--bogus"}, "Unknown option: --"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(told(Options::parse(row.args, options)), row.told.toStdString())
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
    const Row rows[] = {
        {{"day", "2003-07-04", "--folder="}, "--folder needs a value."},
        {{"pdf", "day", "2003-07-04", file, "--two-months=1"}, "Unknown option: --two-months=1"},
        {{"import-holidays", file, "--section="}, "--section needs a value."},
        {{"import-holidays", file, "--color", "x"}, "Not a colour from 1 to 14: x"},
        {{"test-folder", "--folder", dir.path()}, "Unknown option: --folder"},
        {{"export-ics", "2026-01-01", "2026-01-02", "--folder"}, "--folder needs a value."},
        {{"import-ics", file, "--allow-large=1"}, "Unknown option: --allow-large=1"},
        {{"undo-import", file, "--folder", dir.path()}, "Unknown option: --folder"},
        {{"sync", "--past", "36601"}, "Not a number of days from 0 to 36600: 36601"},
        {{"sync", "now"}, "sync takes options only: now"},
    };
    for (const auto& row : rows) {
        const CliRun run = cli(row.args, environment);
        // The exit code, then the first line told: nothing on the standard output before it.
        const QString seen =
            QString("%1 %2%3").arg(run.code).arg(run.out, run.err.section('\n', 0, 0));
        EXPECT_EQ(seen.toStdString(), ("2 norvane-cli: " + row.told).toStdString())
            << qPrintable(row.args.join(' '));
    }
}

} // namespace
