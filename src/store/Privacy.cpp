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
    // Whom it meets is the owner's business too.
    masked->setOrganizer(QString());
    masked->setAttendees({});
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

QString whyUnchangeable(const ClassTermin& appointment)
{
    if (appointment.isMasked())
        return refusal(appointment);
    if (appointment.isSubscribed())
        return QCoreApplication::translate(
                   "Privacy", "This appointment comes from the subscription \"%1\": each refresh "
                              "replaces it. Copy it to have one of your own to change.")
            .arg(appointment.Producer());
    return {};
}

} // namespace Privacy
