#include "settings_ui/SyncCalendarList.h"

#include "profile/FileAccess.h"
#include "settings/Language.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QPixmap>
#include <QRegularExpression>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kContext = "SyncCalendarList";
constexpr int kNewRole = Qt::UserRole + 1; // the item of a folder made on request
enum Column { Name, Folder, DownOnly };

QComboBox* combo(QTableWidget* table, int row)
{
    return qobject_cast<QComboBox*>(table->cellWidget(row, Folder));
}

QCheckBox* check(QTableWidget* table, int row)
{
    return qobject_cast<QCheckBox*>(table->cellWidget(row, DownOnly));
}

bool sameFolder(const QString& a, const QString& b)
{
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

} // namespace

SyncCalendarList::SyncCalendarList(const QStringList& dataFolders, const QString& activeFolder,
                                   QWidget* parent)
    : QWidget(parent)
    , m_folders(dataFolders)
    , m_active(activeFolder)
    , table_sync_calendars(new QTableWidget(0, 3, this))
{
    table_sync_calendars->setObjectName(QStringLiteral("table_sync_calendars"));
    table_sync_calendars->verticalHeader()->hide();
    table_sync_calendars->horizontalHeader()->setSectionResizeMode(Folder, QHeaderView::Stretch);
    table_sync_calendars->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_sync_calendars);
}

QString SyncCalendarList::text(const char* source) const
{
    return Language::translate(kContext, source, m_lang);
}

void SyncCalendarList::setLanguage(const QString& langCode)
{
    m_lang = langCode;
    setVisible(table_sync_calendars->rowCount() > 0); // nothing listed yet
    table_sync_calendars->setAccessibleName(
        text(QT_TRANSLATE_NOOP("SyncCalendarList", "The account's calendars")));
    table_sync_calendars->setHorizontalHeaderLabels(
        {text(QT_TRANSLATE_NOOP("SyncCalendarList", "Calendar")),
         text(QT_TRANSLATE_NOOP("SyncCalendarList", "Data folder")),
         text(QT_TRANSLATE_NOOP("SyncCalendarList", "Only download"))});
    for (int row = 0; row < table_sync_calendars->rowCount(); ++row) {
        const QString shown = table_sync_calendars->item(row, Name)->text();
        check(table_sync_calendars, row)
            ->setAccessibleName(
                text(QT_TRANSLATE_NOOP("SyncCalendarList", "Only download %1")).arg(shown));
        QComboBox* folders = combo(table_sync_calendars, row);
        folders->setAccessibleName(
            text(QT_TRANSLATE_NOOP("SyncCalendarList", "Data folder of %1")).arg(shown));
        folders->setItemText(0, text(QT_TRANSLATE_NOOP("SyncCalendarList", "not synced")));
        folders->setItemText(
            1, text(QT_TRANSLATE_NOOP("SyncCalendarList", "the active data folder (%1)"))
                   .arg(QDir::toNativeSeparators(m_active)));
        const int made = folders->findData(true, kNewRole);
        folders->setItemText(
            made, text(QT_TRANSLATE_NOOP("SyncCalendarList", "a new folder: %1"))
                      .arg(QDir::toNativeSeparators(folders->itemData(made).toString())));
        if (m_calendars[row].readOnly)
            check(table_sync_calendars, row)
                ->setToolTip(text(QT_TRANSLATE_NOOP(
                    "SyncCalendarList", "The server lets you only read this calendar.")));
    }
}

void SyncCalendarList::showPairs(const QList<SyncPair>& pairs)
{
    table_sync_calendars->setRowCount(0);
    m_calendars.clear();
    // The account's URL alone needs no list.
    const bool asEver = pairs.size() == 1 && pairs.first() == SyncPair::asEver(pairs.first().url);
    for (const SyncPair& pair : asEver ? QList<SyncPair>() : pairs)
        addRow({pair.url, pair.name, {}, false}, pair.folder, pair.readOnly);
    setLanguage(m_lang);
}

void SyncCalendarList::showListing(const QList<ServerCalendar>& calendars,
                                   const QList<SyncPair>& saved)
{
    table_sync_calendars->setRowCount(0);
    m_calendars.clear();
    for (const ServerCalendar& calendar : calendars) {
        const auto pair = std::find_if(saved.cbegin(), saved.cend(),
                                       [&](const SyncPair& p) { return p.url == calendar.url; });
        std::optional<QString> folder;
        if (pair != saved.cend())
            folder = pair->folder;
        else if (calendars.size() == 1 && saved.size() <= 1)
            folder = QString(); // the one calendar with the active folder, as ever
        addRow(calendar, folder, pair != saved.cend() && pair->readOnly);
    }
    setLanguage(m_lang);
}

void SyncCalendarList::addRow(const ServerCalendar& calendar, const std::optional<QString>& folder,
                              bool readOnly)
{
    const int row = table_sync_calendars->rowCount();
    table_sync_calendars->insertRow(row);
    m_calendars << calendar;
    auto* name = new QTableWidgetItem(calendar.name.isEmpty() ? calendar.url : calendar.name);
    name->setToolTip(calendar.url);
    if (!calendar.color.isEmpty()) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor(calendar.color));
        name->setIcon(swatch);
    }
    table_sync_calendars->setItem(row, Name, name);

    auto* folders = new QComboBox(table_sync_calendars);
    folders->setObjectName(QStringLiteral("combo_sync_folder%1").arg(row));
    folders->addItem(QString()); // not synced: no data
    folders->addItem(QString(), QString());
    for (const QString& listed : std::as_const(m_folders))
        if (!sameFolder(listed, m_active))
            folders->addItem(QDir::toNativeSeparators(listed), listed);
    if (folder && !folder->isEmpty() && folders->findData(*folder) < 0)
        folders->addItem(QDir::toNativeSeparators(*folder), *folder); // no longer in the list
    folders->addItem(QString(), newFolderFor(calendar));
    folders->setItemData(folders->count() - 1, true, kNewRole);
    folders->setCurrentIndex(!folder ? 0 : folder->isEmpty() ? 1 : folders->findData(*folder));
    table_sync_calendars->setCellWidget(row, Folder, folders);

    auto* downOnly = new QCheckBox(table_sync_calendars);
    downOnly->setObjectName(QStringLiteral("check_sync_download%1").arg(row));
    downOnly->setChecked(readOnly || calendar.readOnly);
    downOnly->setEnabled(!calendar.readOnly);
    table_sync_calendars->setCellWidget(row, DownOnly, downOnly);
}

QString SyncCalendarList::newFolderFor(const ServerCalendar& calendar) const
{
    static const QRegularExpression unsafe(QStringLiteral("[^\\w \\-]+"));
    QString name = calendar.name.isEmpty()
                       ? QUrl(calendar.url).path().section(u'/', -1, -1, QString::SectionSkipEmpty)
                       : calendar.name;
    name = name.replace(unsafe, QStringLiteral("_")).trimmed().left(60);
    if (name.isEmpty())
        name = QStringLiteral("calendar");
    QDir beside(m_active);
    const QString own = beside.dirName();
    beside.cdUp();
    const QString base = beside.filePath(own + QStringLiteral(" - ") + name);
    // Two calendars of one name get a folder each.
    auto offered = [this](const QString& path) {
        for (int row = 0; row < table_sync_calendars->rowCount(); ++row) {
            const QComboBox* folders = combo(table_sync_calendars, row);
            if (folders && folders->itemData(folders->count() - 1).toString() == path)
                return true;
        }
        return false;
    };
    QString path = WithTrailingSeparator(base);
    for (int n = 2; offered(path); ++n)
        path = WithTrailingSeparator(base + QStringLiteral(" %1").arg(n));
    return path;
}

QList<SyncPair> SyncCalendarList::pairs() const
{
    QList<SyncPair> pairs;
    for (int row = 0; row < table_sync_calendars->rowCount(); ++row) {
        const QVariant folder = combo(table_sync_calendars, row)->currentData();
        if (!folder.isValid())
            continue;
        const ServerCalendar& calendar = m_calendars[row];
        pairs << SyncPair{calendar.url, folder.toString(),
                          check(table_sync_calendars, row)->isChecked(), calendar.name};
    }
    return pairs;
}

QStringList SyncCalendarList::newFolders() const
{
    QStringList made;
    for (int row = 0; row < table_sync_calendars->rowCount(); ++row) {
        const QComboBox* folders = combo(table_sync_calendars, row);
        if (folders->currentData(kNewRole).toBool())
            made << folders->currentData().toString();
    }
    return made;
}
