#include "exchange/IcsImport.h"

#include "exchange/IcsImportSupport.h"

#include <QDir>

namespace {

// A file of many broken events names the first few.
constexpr int kNamed = 20;

QString reasonText(IcsImportResult::SkipReason reason)
{
    switch (reason) {
    case IcsImportResult::SkipReason::NoStart:
        return IcsImport::tr("no start");
    case IcsImportResult::SkipReason::Cancelled:
        return IcsImport::tr("cancelled");
    case IcsImportResult::SkipReason::OutsideDates:
        return IcsImport::tr("no date from 1900 to 2200");
    case IcsImportResult::SkipReason::AllExcluded:
        return IcsImport::tr("every date of it is excluded or changed");
    case IcsImportResult::SkipReason::EndsBeforeStart:
        return IcsImport::tr("its repeat rule ends before it starts");
    case IcsImportResult::SkipReason::TooMany:
        return IcsImport::tr("more appointments than one import writes");
    case IcsImportResult::SkipReason::TooOften:
        return IcsImport::tr("it repeats too often to be followed");
    case IcsImportResult::SkipReason::TookTooLong:
        return IcsImport::tr("working out its dates took too long");
    case IcsImportResult::SkipReason::NoTime:
        return IcsImport::tr("a time no appointment can hold");
    }
    return {};
}

// The first few of `total` lines, the rest counted.
QString warningText(IcsImportResult::Warning::Kind kind)
{
    switch (kind) {
    case IcsImportResult::Warning::Kind::RuleLeftOut:
        return IcsImport::tr("a repeat rule that cannot be read was left out");
    case IcsImportResult::Warning::Kind::ExceptionLeftOut:
        return IcsImport::tr("an excluded date that cannot be read was left out");
    case IcsImportResult::Warning::Kind::ExtraDateLeftOut:
        return IcsImport::tr("an extra date that cannot be read was left out");
    case IcsImportResult::Warning::Kind::RuleMatchesNoDate:
        return IcsImport::tr("a repeat rule that matches no date was left out");
    case IcsImportResult::Warning::Kind::ZoneUnknown:
        return IcsImport::tr("its time zone cannot be worked out, so its times are read as "
                             "local times");
    case IcsImportResult::Warning::Kind::ZoneOfSystem:
        return IcsImport::tr("its time zone cannot be worked out from the file, so the "
                             "system's zone of that name was used");
    }
    return {};
}

void nameSome(QStringList& lines, const QStringList& named, qsizetype total)
{
    for (qsizetype i = 0; i < named.size() && i < kNamed; ++i)
        lines << named[i];
    if (total > kNamed)
        lines << IcsImport::tr("  and %1 more").arg(total - kNamed);
}

// Events by their names, in quotes.
void nameEvents(QStringList& lines, const QStringList& events)
{
    QStringList quoted;
    for (qsizetype i = 0; i < events.size() && i < kNamed; ++i)
        quoted << QStringLiteral("  \"%1\"").arg(events[i]);
    nameSome(lines, quoted, events.size());
}

} // namespace

QString IcsNotSavedReason(const WriteOutcome& failure)
{
    const QString where = QDir::toNativeSeparators(failure.path);
    switch (failure.cause) {
    case WriteOutcome::Cause::FolderUnreachable:
        return IcsImport::tr("The data folder %1 cannot be reached.").arg(where);
    case WriteOutcome::Cause::Unreadable:
        return IcsImport::tr("%1 is there but could not be read.").arg(where);
    case WriteOutcome::Cause::OutsideFolder:
        return IcsImport::tr("%1 leads out of the data folder.").arg(where);
    case WriteOutcome::Cause::Refused:
        return failure.error;
    case WriteOutcome::Cause::System:
    case WriteOutcome::Cause::NameTaken:
    case WriteOutcome::Cause::Locked:
    case WriteOutcome::Cause::NotAnswering:
        break;
    }
    return failure.error.isEmpty() ? where : where + QStringLiteral(": ") + failure.error;
}

QString IcsImportSummary(const IcsImportResult& result)
{
    if (!result.ok)
        return result.error;
    if (result.tooLarge)
        return IcsImport::tr("Not imported: the file makes %n appointments, more than %1 at "
                             "once. Nothing was written.",
                             nullptr, result.appointments)
            .arg(kLargeImport);
    QStringList lines;
    lines << IcsImport::tr("Imported: %n events, %1 of them recurring", nullptr, result.imported)
                 .arg(result.recurring);
    lines << IcsImport::tr("Expanded: %n events into %1 appointments", nullptr, result.expanded)
                 .arg(result.expandedInto);
    for (const IcsImportResult::Shortened& s : result.shortened)
        lines << IcsImport::tr("  \"%1\": only the first %n occurrences", nullptr, s.occurrences)
                     .arg(s.event);
    if (result.severalDays > 0)
        lines << IcsImport::tr("Over several days: %n events, as %1 appointments, one a day",
                               nullptr, result.severalDays)
                     .arg(result.severalDaysInto);
    if (result.updated > 0)
        lines << IcsImport::tr("Updated: %n appointments of an earlier import", nullptr,
                               result.updated);
    if (result.removed > 0)
        lines << IcsImport::tr("Removed: %n appointments of an earlier import that the file no "
                               "longer holds",
                               nullptr, result.removed);
    lines << IcsImport::tr("Skipped: %n events", nullptr, int(result.skipped.size()));
    QStringList skipped;
    for (const IcsImportResult::Skipped& s : result.skipped)
        skipped << QStringLiteral("  \"%1\": %2").arg(s.event, reasonText(s.reason));
    nameSome(lines, skipped, skipped.size());
    if (!result.warnings.isEmpty()) {
        lines << IcsImport::tr("Warnings: %1").arg(result.warnings.size());
        QStringList warned;
        for (const IcsImportResult::Warning& w : result.warnings)
            warned << QStringLiteral("  \"%1\": %2").arg(w.event, warningText(w.kind));
        nameSome(lines, warned, warned.size());
    }
    if (!result.windows1252Lines.isEmpty()) {
        QStringList numbers;
        for (qsizetype i = 0; i < result.windows1252Lines.size() && i < kNamed; ++i)
            numbers << QString::number(result.windows1252Lines[i]);
        QString listed = numbers.join(QStringLiteral(", "));
        if (result.windows1252Lines.size() > kNamed)
            listed += IcsImport::tr(" and %1 more").arg(result.windows1252Lines.size() - kNamed);
        lines << (numbers.size() == 1
                      ? IcsImport::tr("Not UTF-8, so read as Windows-1252: line %1").arg(listed)
                      : IcsImport::tr("Not UTF-8, so read as Windows-1252: lines %1").arg(listed));
    }
    if (!result.strays.isEmpty()) {
        lines << IcsImport::tr("Left out, outside a calendar or inside another component: %n "
                               "events",
                               nullptr, int(result.strays.size()));
        nameEvents(lines, result.strays);
    }
    if (!result.olderVersions.isEmpty()) {
        lines << IcsImport::tr("Older versions left out: %n events", nullptr,
                               int(result.olderVersions.size()));
        nameEvents(lines, result.olderVersions);
    }
    if (!result.textsCut.isEmpty()) {
        lines << IcsImport::tr("Texts cut to 64 KiB: %n events", nullptr,
                               int(result.textsCut.size()));
        nameEvents(lines, result.textsCut);
    }
    QStringList notKept;
    for (const IcsImportResult::NotKept& n : result.notKept) {
        QStringList what;
        for (const IcsImportResult::Lost lost : n.lost)
            what << Ics::lostText(lost);
        notKept << IcsImport::tr("Not kept of \"%1\": %2").arg(n.event, what.join(u", "));
    }
    nameSome(lines, notKept, notKept.size());
    if (result.failed > 0)
        lines << IcsImport::tr("Not saved: %n events, %1 of %2 appointments: %3", nullptr,
                               result.eventsNotSaved)
                     .arg(result.failed)
                     .arg(result.appointments)
                     .arg(IcsNotSavedReason(result.firstFailure));
    return lines.join(QLatin1Char('\n'));
}
