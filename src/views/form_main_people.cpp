// The main window's people: the day as lanes per person in people mode, and the person filter
// of the side panel, which every view follows, as it follows the category filter.
#include "views/form_main.h"

#include "layout/CategoryFilter.h"
#include "layout/PersonLanes.h"
#include "service/FolderStores.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "ui/PictureBox.h"
#include "views/Calendar.h"
#include "views/FolderLegend.h"
#include "views/MainWindowControls.h"
#include "views/PersonFilterPanel.h"
#include "views/PersonLanesView.h"
#include "views/SearchPanel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

void form_main::setupPeopleView()
{
    m_peopleView = new PersonLanesView(shownDays(), m_settings, m_ui->picture_main);
    m_peopleView->setObjectName(QStringLiteral("people_view"));
    m_peopleView->hide();
    connect(m_ui->picture_main, &PictureBox::Resized, this,
            [this] { m_peopleView->setGeometry(m_ui->picture_main->rect()); });
    connect(m_peopleView, &PersonLanesView::appointmentDoubleClicked, this,
            [this](const TerminPtr& a) { m_edits->change(*a, m_peopleView->date()); });
    connect(m_peopleView, &PersonLanesView::appointmentClicked, this, [this](const TerminPtr& a) {
        m_selected = Picked{*a, m_peopleView->date()};
    });
    connect(m_ui->mnu_view_people, &QAction::triggered, this,
            [this] { navigate(navigation().peopleMode(viewState())); });

    m_personFilter = new PersonFilterPanel(m_ui->label_datasource->parentWidget());
    connect(m_personFilter, &PersonFilterPanel::shownChanged, this,
            [this](const QStringList& logins) {
                m_shownPeople = logins;
                m_peopleView->setPersonFilter(logins);
                m_search->setPersonFilter(logins);
                drawView();
            });
    setupCategoryFilter();
}

DaySource form_main::shownDays() const
{
    return [this](const QDate& date) {
        return CategoryFilter::kept(
            PersonLanes::kept(m_stores->knownDay(date).value_or(QList<TerminPtr>()), m_shownPeople),
            m_shownCategories);
    };
}

void form_main::drawPeople()
{
    m_peopleView->setGeometry(m_ui->picture_main->rect());
    m_peopleView->show();
    m_peopleView->raise();
    m_peopleView->setDate(m_calendar1->SelectedDate());
    m_peopleView->reload();
}

void form_main::showPeoplePanel()
{
    m_personFilter->setPeople(m_settings.TeamMembers(), GetLoginName());
    m_personFilter->setLanguage(m_settings.LangCode());
    // Below the folders' legend while it shows, else below the data source.
    const auto* legend = findChild<FolderLegend*>(QStringLiteral("folder_legend"));
    placeInSidePanel(m_personFilter, legend && legend->isVisible()
                                         ? static_cast<const QWidget*>(legend)
                                         : m_ui->label_datasource);
}
