#include "sync/SyncRun.h"

#include <QHash>

namespace SyncInternal {

QList<SyncRecord::File> Run::writeSpan(const Item& item, const SyncMapping::Incoming& in)
{
    // The folder's days of the span by their dates: a day the server keeps is written over its
    // file, so what the folder alone keeps there stays.
    QHash<QDate, QString> here;
    QString id = in.span;
    QString templateRel;
    if (!item.mirror) {
        for (const SyncRecord::File& f : item.files) {
            const TerminPtr a = load(f.path);
            if (!a->isSpanDay())
                continue;
            here.insert(a->datum(), f.path);
            id = a->SpanId();
            if (templateRel.isEmpty())
                templateRel = f.path;
        }
    }
    QList<SyncRecord::File> files;
    for (ClassTermin day : in.appointments) {
        day.setSpan(id, day.SpanFrom(), day.SpanUntil());
        files << fileRecord(writeLocal(day, here.take(day.datum()), templateRel));
    }
    return files;
}

} // namespace SyncInternal
