#include "ui/ApiOpenSave.h"

#include "ui/OpenDialog.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const QChar kNul(0);

FileDialogAnswer& fileDialogAnswer()
{
    static FileDialogAnswer answer;
    return answer;
}

QStringList windowsPatterns(const QString& pattern)
{
    QStringList patterns;
    for (const QString& part : pattern.split(u';'))
        if (!part.trimmed().isEmpty())
            patterns << part.trimmed();
    return patterns;
}

QStringList dialogPatterns(const QString& pattern)
{
    QStringList patterns;
    for (const QString& part : windowsPatterns(pattern)) {
        if (part == QLatin1String("*.*")) {
            patterns << QStringLiteral("*");
            continue;
        }
        patterns << part << part.toLower() << part.toUpper();
    }
    patterns.removeDuplicates();
    return patterns.isEmpty() ? QStringList{QStringLiteral("*")} : patterns;
}

// "Holiday Definitions (*.TXT)" already names its pattern; drop that part, the dialog
// filter writes the patterns it really uses in its place.
QString descriptionWithoutPattern(const QString& description, const QString& pattern)
{
    static const QRegularExpression trailingGroup(QStringLiteral("^(.*?)\\s*\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = trailingGroup.match(description);
    if (!match.hasMatch())
        return description.trimmed();
    const QStringList named =
        match.captured(2).split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts);
    if (named.join(u';').compare(windowsPatterns(pattern).join(u';'), Qt::CaseInsensitive) != 0)
        return description.trimmed();
    return match.captured(1);
}

QString nameFilter(const QString& description, const QString& pattern)
{
    const QString patterns = dialogPatterns(pattern).join(u' ');
    const QString text = descriptionWithoutPattern(description, pattern);
    return text.isEmpty() ? patterns : text + QStringLiteral(" (") + patterns + u')';
}

} // namespace

void AddFileFilter(QString& filter, const QString& description, const QString& pattern)
{
    filter += description + kNul + pattern + kNul;
}

QString CutAtNul(const QString& text)
{
    const qsizetype nul = text.indexOf(kNul);
    return nul < 0 ? text : text.left(nul);
}

QStringList NameFilters(const QString& filter)
{
    QStringList filters;
    const QStringList parts = filter.split(kNul);
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // An empty pair ends the list, as a double NUL does.
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            break;
        filters << nameFilter(parts[i], parts[i + 1]);
    }
    return filters;
}

void setFileDialogAnswer(FileDialogAnswer answer)
{
    fileDialogAnswer() = std::move(answer);
}

void ShowFileDialog(QWidget* owner, const QString& filter, int filterIndex,
                    QFileDialog::Options flags, const QString& defaultExtension,
                    const QString& fileName, const QString& title, const QString& initialDirectory,
                    bool open, FileChosen chosen)
{
    auto* dialog = new QFileDialog(owner, title);
    dialog->setOptions(flags);
    dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = NameFilters(filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        if (filterIndex >= 1 && filterIndex <= filters.size())
            dialog->selectNameFilter(filters[filterIndex - 1]);
    }
    QString extension = CutAtNul(defaultExtension);
    if (extension.startsWith(u'.'))
        extension.remove(0, 1);
    dialog->setDefaultSuffix(extension);
    dialog->setDirectory(initialDirectory.isEmpty() ? QDir::currentPath() : initialDirectory);
    if (!CutAtNul(fileName).isEmpty())
        dialog->selectFile(CutAtNul(fileName));

    openDialog<QFileDialog>(dialog, fileDialogAnswer(),
                            [flags, chosen = std::move(chosen)](QFileDialog& answered, int result) {
                                if (result != QDialog::Accepted)
                                    chosen(QString(), flags);
                                else
                                    chosen(CutAtNul(answered.selectedFiles().value(0)),
                                           answered.options());
                            });
}
