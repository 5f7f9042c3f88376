#include "store/Privacy.h"

#include <QCoreApplication>

namespace Privacy {

bool hiddenFrom(const ClassTermin& appointment, const QString& viewer)
{
    return appointment.IsPrivate() && !viewer.isEmpty() && appointment.Producer() != viewer;
}

TerminPtr seenBy(TerminPtr appointment, const QString& viewer)
{
    if (!appointment || !hiddenFrom(*appointment, viewer))
        return appointment;
    auto masked = std::make_shared<ClassTermin>(*appointment);
    masked->setText(busyText());
    masked->setLocation(QString());
    masked->setCategories({});
    // What ties it to an outside calendar says nothing to a colleague either.
    masked->setUid(QString());
    masked->setMasked(true);
    return masked;
}

QString busyText()
{
    return QCoreApplication::translate("Privacy", "Busy");
}

QString refusal(const ClassTermin& appointment)
{
    if (appointment.Producer().isEmpty())
        return QCoreApplication::translate(
            "Privacy", "This appointment is private: only its owner can change it.");
    return QCoreApplication::translate(
               "Privacy", "This private appointment belongs to %1: only its owner can change it.")
        .arg(appointment.Producer());
}

} // namespace Privacy
