// The sync record a colleague's copy, another version or a hand edit may leave in the shared
// folder: what the reader keeps names only appointment files, each once, and every member of
// the collection once; written into a folder and read back it is the same.
#include "profile/FileAccess.h"
#include "store/Recurrence.h"
#include "sync/SyncRecord.h"

#include <QSet>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
    std::abort();
}

QList<QByteArray> fieldsOf(const SyncRecord::Status& status)
{
    QList<QByteArray> fields{status.account.toUtf8(), status.collection.toUtf8(),
                             status.token.toUtf8(), status.ctag.toUtf8()};
    auto add = [&](const SyncRecord::File& file) {
        fields << file.path.toUtf8() << QByteArray::number(file.modified)
               << QByteArray::number(file.size) << file.hash;
    };
    for (const SyncRecord::Item& item : status.items) {
        fields << item.uid.toUtf8() << item.href.toUtf8() << item.etag
               << QByteArray::number(item.mirror);
        for (const SyncRecord::File& file : item.files)
            add(file);
    }
    for (const SyncRecord::File& file : status.withheld)
        add(file);
    return fields;
}

void checkTrusted(const SyncRecord::Status& status)
{
    QSet<QString> paths;
    QSet<QString> hrefs;
    for (const SyncRecord::Item& item : status.items) {
        if (!item.href.isEmpty() && hrefs.contains(item.href))
            fail("an href kept twice:", item.href);
        hrefs.insert(item.href);
        for (const SyncRecord::File& file : item.files) {
            if (!Recurrence::isAppointmentPath(file.path))
                fail("a path outside the appointment tree kept:", file.path);
            if (paths.contains(file.path))
                fail("a path kept twice:", file.path);
            paths.insert(file.path);
        }
    }
    for (const SyncRecord::File& file : status.withheld)
        if (!Recurrence::isAppointmentPath(file.path))
            fail("a withheld path outside the appointment tree kept:", file.path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<SyncRecord::Status> read = SyncRecord::fromJson(bytes, &error);
    if (!read) {
        if (error.isEmpty())
            fail("refused without a reason");
        return 0;
    }
    checkTrusted(*read);

    static QTemporaryDir folder;
    const QString root = folder.path() + u'/';
    if (!SyncRecord::save(ThreadFileAccess(), root, *read, &error))
        fail("cannot write back what was read:", error);
    const std::optional<SyncRecord::Status> again =
        SyncRecord::load(ThreadFileAccess(), root, &error);
    if (!again || fieldsOf(*again) != fieldsOf(*read))
        fail("read back otherwise than written:", error);
    return 0;
}
