// The listing of the folder's appointment files over a window of days: for a caller that
// looks at all of them (the sync), where the views ask day by day.
#include "store/DataAccess.h"

#include "store/AppointmentFile.h"
#include "store/Recurrence.h"

namespace {

// The number of a directory named as the tree names it ("m3", never "m03"); 0 otherwise.
int numberOf(const QString& name, QLatin1String letters)
{
    return Recurrence::numberIn(name, letters, 1, 9999);
}

} // namespace

class DataAccess::Lister {
public:
    Lister(DataAccess& store, const QDate& from, const QDate& to)
        : m_store(store)
        , m_folder(store.dataFolder())
        , m_from(from)
        , m_to(to)
    {
    }

    QList<ListedAppointment> run()
    {
        for (const QString& top : subdirectories({})) {
            if (top == Recurrence::kTreeName)
                recurring();
            else if (const int year = numberOf(top, QLatin1String("y"));
                     year >= m_from.year() && year <= m_to.year())
                days(top + u'/', year);
        }
        return std::move(m_found);
    }

private:
    // Real subdirectories of a directory inside the folder: a link is never followed, since
    // it may lead out of the folder, and inside it its files would be listed twice.
    QStringList subdirectories(const QString& relative)
    {
        const auto listing = m_store.m_profiles.files().listFiles(
            m_folder + relative, AppointmentFile::kExtension, m_folder);
        return listing ? listing->directories : QStringList();
    }

    void days(const QString& year, int y)
    {
        for (const QString& month : subdirectories(year)) {
            const int m = numberOf(month, QLatin1String("m"));
            for (const QString& day : m ? subdirectories(year + month) : QStringList()) {
                const QDate date(y, m, numberOf(day, QLatin1String("d")));
                if (date.isValid() && date >= m_from && date <= m_to)
                    files(year + month + u'/' + day + u'/');
            }
        }
    }

    void recurring()
    {
        const QString top = Recurrence::kTreeName + u'/';
        for (const QString& kind : subdirectories(top)) {
            if (numberOf(kind, QLatin1String("m"))) {
                for (const QString& day : subdirectories(top + kind))
                    files(top + kind + u'/' + day + u'/');
            } else {
                files(top + kind + u'/');
            }
        }
    }

    // The appointment files of a directory of the tree, with their metadata: a file gone or
    // replaced by something else since the listing is left out.
    void files(const QString& dir)
    {
        if (!Recurrence::isAppointmentPath(QString(dir + u'0' + AppointmentFile::kExtension)))
            return; // not a directory the tree lays out
        for (const QString& name : m_store.listAppointmentFiles(m_folder + dir)) {
            const QString path = dir + name;
            if (!Recurrence::isAppointmentPath(path))
                continue;
            if (const auto meta = m_store.m_profiles.files().metadata(m_folder + path))
                m_found.append({path, *meta});
        }
    }

    DataAccess& m_store;
    const QString m_folder;
    const QDate m_from;
    const QDate m_to;
    QList<ListedAppointment> m_found;
};

QList<DataAccess::ListedAppointment> DataAccess::ListAppointmentFiles(const QDate& from,
                                                                      const QDate& to)
{
    return Lister(*this, from, to).run();
}
