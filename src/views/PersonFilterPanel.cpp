#include "views/PersonFilterPanel.h"

#include "colors/StoredColor.h"
#include "settings/Language.h"
#include "ui/ApiColorPicker.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kContext = "PersonFilterPanel";
constexpr char kLogin[] = "login";

} // namespace

PersonFilterPanel::PersonFilterPanel(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("person_filter"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

void PersonFilterPanel::setPeople(const QList<TeamMember>& team, const QString& login)
{
    // Asked at every change of what the side panel shows: the same people keep their boxes.
    const auto same = [](const TeamMember& a, const TeamMember& b) {
        return a.login == b.login && a.name == b.name && a.color == b.color;
    };
    if (login == m_login && !m_boxes.isEmpty() &&
        std::equal(team.begin(), team.end(), m_team.begin(), m_team.end(), same))
        return;
    m_team = team;
    QStringList unticked;
    for (QCheckBox* box : std::as_const(m_boxes)) {
        if (!box->isChecked())
            unticked << box->property(kLogin).toString();
        delete box;
    }
    m_boxes.clear();
    m_login = login;
    QList<TeamMember> people = team;
    const bool listed = std::any_of(team.begin(), team.end(),
                                    [&](const TeamMember& m) { return m.login == login; });
    if (!listed && !login.isEmpty())
        people.prepend({login, {}, -1});
    for (const TeamMember& person : std::as_const(people)) {
        auto* box = new QCheckBox(Team::shownName(team, person.login), this);
        box->setObjectName(QStringLiteral("check_person_") + person.login);
        box->setProperty(kLogin, person.login);
        // The colour the lanes give the person: a place in the team, or the login's own.
        box->setIcon(ColorSwatch(ColorOfRgbValue(Team::colorOf(team, person.login))));
        box->setChecked(!unticked.contains(person.login));
        connect(box, &QCheckBox::toggled, this, [this, box] {
            const bool noneLeft = std::none_of(m_boxes.begin(), m_boxes.end(),
                                               [](QCheckBox* b) { return b->isChecked(); });
            if (noneLeft) {
                const QSignalBlocker quiet(box); // the last one stays, and nothing changed
                box->setChecked(true);
                return;
            }
            emit shownChanged(shown());
        });
        m_boxes << box;
        m_layout->addWidget(box);
        box->show(); // a box added to a panel already shown stays hidden otherwise
    }
    setLanguage(m_lang);
    setVisible(m_boxes.size() > 1); // one person alone has nothing to choose
}

QStringList PersonFilterPanel::shown() const
{
    QStringList logins;
    for (QCheckBox* box : m_boxes)
        if (box->isChecked())
            logins << box->property(kLogin).toString();
    return logins.size() == m_boxes.size() ? QStringList() : logins;
}

void PersonFilterPanel::setLanguage(const QString& langCode)
{
    m_lang = langCode;
    setAccessibleName(Language::translate(
        kContext, QT_TRANSLATE_NOOP("PersonFilterPanel", "People shown"), m_lang));
    for (QCheckBox* box : std::as_const(m_boxes))
        if (box->property(kLogin).toString() == m_login)
            box->setToolTip(Language::translate(
                kContext, QT_TRANSLATE_NOOP("PersonFilterPanel", "You"), m_lang));
}
