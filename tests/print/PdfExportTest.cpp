// The printouts as PDF files through the real printer code: one A4 page in the right
// orientation, appointments as searchable text, and nothing left behind when writing fails.
#include "PrintFixture.h"
#include "print/PrintJob.h"
#include "profile/FileAccess.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// The tool's standard output, or nothing when it is not installed.
QString runTool(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class PdfExportTest : public PrintFixture {
protected:
    QTemporaryDir out;
};

TEST_F(PdfExportTest, EachPrintoutIsOneA4PageWithItsTextsAsText)
{
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
        QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
    store(QDate(2003, 7, 4), 9, 0, 10, 30, "Budget meeting");
    const struct {
        PrintJob job;
        const char* size; // width x height in points
        const char* text;
    } cases[] = {
        {PrintJob::day(QDate(2003, 7, 4)), "595 x 842", "Budget meeting"},
        {PrintJob::week(QDate(2003, 7, 2)), "842 x 595", "Budget meeting"},
        {PrintJob::planner(12, 2003, true), "842 x 595", "January 2004"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.job.kind);
        const QString path = out.filePath(QStringLiteral("printout.pdf"));
        const PdfOutcome outcome =
            ExportPdf(c.job, path, DaysOf(dataAccess), settings, ThreadFileAccess());
        ASSERT_TRUE(outcome.ok) << outcome.reason.toStdString();
        const QString info = runTool("pdfinfo", {path});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
        EXPECT_TRUE(info.contains(
            QRegularExpression(QStringLiteral("Page size:\\s+%1 pts \\(A4\\)").arg(c.size))))
            << info.toStdString();
        EXPECT_TRUE(runTool("pdftotext", {path, "-"}).contains(c.text));
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"printout.pdf"});
    }
}

TEST_F(PdfExportTest, AFileThatCannotBeWrittenLeavesNothingBehind)
{
    const struct {
        const char* what;
        QString path;
    } cases[] = {
        {"a missing directory", out.filePath("missing/week.pdf")},
        {"a directory in the way", out.filePath("taken")},
    };
    ASSERT_TRUE(QDir(out.path()).mkdir("taken"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PdfOutcome outcome = ExportPdf(PrintJob::week(QDate(2003, 7, 4)), c.path,
                                             DaysOf(dataAccess), settings, ThreadFileAccess());
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.reason.startsWith("cannot write " + c.path + ": "))
            << outcome.reason.toStdString();
        EXPECT_EQ(
            QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"taken"});
    }
}
