#include "views/SearchPanel.h"

#include "calendar/Formats.h"
#include "colors/StoredColor.h"
#include "layout/PersonLanes.h"
#include "service/FolderStores.h"
#include "settings/Settings.h"
#include "views/AgendaView.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Long enough to let a word be typed whole, short enough to feel immediate.
constexpr int kTypingPauseMs = 250;
// While the index is still being made, the search is asked again this often.
constexpr int kIndexingRetryMs = 2000;

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

SearchPanel::SearchPanel(FolderStores& service, const Settings& settings, QLineEdit* field,
                         QComboBox* range, QWidget* cover, std::function<QDate()> today)
    : QObject(cover)
    , m_service(service)
    , m_settings(settings)
    , m_field(field)
    , m_range(range)
    , m_panel(new QWidget(cover))
    , m_results(new AgendaView(m_panel))
    , m_note(new QLabel(m_panel))
    , m_goTo(new QPushButton(m_panel))
    , m_typing(new QTimer(this))
    , m_indexing(new QTimer(this))
    , m_today(std::move(today))
{
    m_panel->setObjectName(QStringLiteral("search_panel"));
    m_panel->setAutoFillBackground(true);
    m_panel->hide();
    m_results->setObjectName(QStringLiteral("search_results"));
    m_results->setFocusPolicy(Qt::StrongFocus);
    m_results->setColors([&settings](int code) { return AppointmentColor(settings, code); });
    m_note->setObjectName(QStringLiteral("label_search_note"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_goTo->setObjectName(QStringLiteral("button_search_goto"));
    m_goTo->hide();
    auto* top = new QHBoxLayout;
    top->addWidget(m_note, 1);
    top->addWidget(m_goTo);
    auto* layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_results, 1);

    m_typing->setSingleShot(true);
    m_typing->setInterval(kTypingPauseMs);
    m_indexing->setSingleShot(true);
    m_indexing->setInterval(kIndexingRetryMs);
    connect(m_typing, &QTimer::timeout, this, &SearchPanel::search);
    connect(m_indexing, &QTimer::timeout, this, [this] {
        if (shown())
            search();
    });
    connect(m_field, &QLineEdit::textChanged, this, &SearchPanel::textEdited);
    connect(m_range, &QComboBox::currentIndexChanged, this, [this] {
        if (!words().isEmpty())
            search();
    });
    connect(m_goTo, &QPushButton::clicked, this, &SearchPanel::chooseDate);
    connect(m_results, &AgendaView::lineDoubleClicked, this,
            [this](const AgendaLayout::Line& line, const QDate& day) {
                emit appointmentChosen(*line.appointment, day);
            });
    m_field->installEventFilter(this);
    m_results->installEventFilter(this);
    cover->installEventFilter(this);
}

void SearchPanel::setLanguageTexts()
{
    if (m_typedDate.isValid())
        m_goTo->setText(tr("Go to %1").arg(FormatDate(m_typedDate, m_settings.DateFormat())));
    if (shown())
        search();
}

void SearchPanel::focusField()
{
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    if (!m_field->text().trimmed().isEmpty())
        search();
}

void SearchPanel::close()
{
    m_typing->stop();
    m_indexing->stop();
    ++m_request;
    m_chooseWhenAnswered = false;
    setShown(false);
}

bool SearchPanel::shown() const
{
    return !m_panel->isHidden();
}

void SearchPanel::raise()
{
    if (shown())
        m_panel->raise();
}

void SearchPanel::setShown(bool shown)
{
    if (shown == this->shown())
        return;
    m_panel->setGeometry(m_panel->parentWidget()->rect());
    m_panel->setVisible(shown);
    if (shown)
        m_panel->raise();
}

QStringList SearchPanel::words() const
{
    return m_field->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

SearchLayout::Range SearchPanel::range() const
{
    return SearchLayout::rangeOf(SearchLayout::Span(std::max(0, m_range->currentIndex())),
                                 m_today());
}

void SearchPanel::textEdited()
{
    m_typedDate = SearchLayout::dateOf(m_field->text(), m_settings.DateFormat());
    m_goTo->setVisible(m_typedDate.isValid());
    if (m_typedDate.isValid())
        m_goTo->setText(tr("Go to %1").arg(FormatDate(m_typedDate, m_settings.DateFormat())));
    // Answers still due are for other words.
    ++m_request;
    m_confirmed.clear();
    m_chooseWhenAnswered = false;
    m_results->setCurrentItem(nullptr);
    if (words().isEmpty()) {
        close();
        return;
    }
    // The offer to go to a date shows at once; results follow a pause in the typing.
    if (m_typedDate.isValid())
        setShown(true);
    m_typing->start();
}

void SearchPanel::search()
{
    m_typing->stop();
    m_indexing->stop();
    const QStringList asked = words();
    if (asked.isEmpty()) {
        close();
        return;
    }
    setShown(true);
    if (m_results->groups().isEmpty())
        m_note->setText(tr("Searching..."));
    const quint64 request = ++m_request;
    const SearchLayout::Range span = range();
    m_service.search(
        asked, span.from, span.to,
        [self = QPointer<SearchPanel>(this), request](const AppointmentIndex::Answer& answer) {
            if (self)
                self->answered(request, answer, false);
        });
}

void SearchPanel::answered(quint64 request, const AppointmentIndex::Answer& answer, bool confirmed)
{
    if (request != m_request)
        return;
    SearchLayout::Input input;
    input.range = range();
    input.today = m_today();
    input.timeFormat = m_settings.TimeFormat();
    input.dateFormat = m_settings.DateFormat();
    input.langCode = m_settings.LangCode();
    QStringList unconfirmed;
    for (const AppointmentIndex::Hit& hit : answer.found.hits) {
        input.found << std::make_shared<const ClassTermin>(hit.record());
        if (!m_confirmed.contains(hit.path))
            unconfirmed << hit.path;
    }
    input.found = PersonLanes::kept(input.found, m_people);
    // An answer again for the same words keeps the line the user went to.
    int currentGroup = -1;
    int currentLine = -1;
    m_results->lineOf(m_results->currentItem(), &currentGroup, &currentLine);
    m_results->setGroups(SearchLayout::layOut(input), input.langCode);
    if (QTreeWidgetItem* item = m_results->lineItem(currentGroup, currentLine))
        m_results->setCurrentItem(item);
    m_shownFor = words();
    showNote(answer, int(input.found.size()));
    if (m_chooseWhenAnswered) {
        m_chooseWhenAnswered = false;
        chooseCurrent();
        return;
    }
    if (!answer.usable || !answer.complete)
        m_indexing->start();
    if (confirmed || unconfirmed.isEmpty())
        return;
    // The index may be behind the share: the files found are looked at there, and the
    // search is asked again once they were.
    for (const QString& path : std::as_const(unconfirmed))
        m_confirmed.insert(path);
    const QStringList asked = words();
    m_service.confirm(unconfirmed, [self = QPointer<SearchPanel>(this), request, asked] {
        if (!self || request != self->m_request)
            return;
        const SearchLayout::Range span = self->range();
        self->m_service.search(asked, span.from, span.to,
                               [self, request](const AppointmentIndex::Answer& again) {
                                   if (self)
                                       self->answered(request, again, true);
                               });
    });
}

void SearchPanel::showNote(const AppointmentIndex::Answer& answer, int found)
{
    QStringList lines;
    if (!answer.usable)
        lines << tr("The data folder is still being read for the search.");
    else if (found == 0)
        lines << tr("No appointments found.");
    else if (answer.found.truncated)
        lines << tr("The first %1 appointments found are shown.").arg(found);
    else if (found == 1)
        lines << tr("One appointment found.");
    else
        lines << tr("%n appointments found.", nullptr, found);
    if (answer.usable && !answer.complete)
        lines << tr("The data folder is still being read: more may be found.");
    m_note->setText(lines.join(QLatin1Char('\n')));
}

void SearchPanel::chooseCurrent()
{
    int group = 0;
    int line = 0;
    const bool current = m_shownFor == words();
    if (!current && !m_typedDate.isValid()) {
        // What is shown was found for other words: the choice waits for the answer.
        m_chooseWhenAnswered = true;
        search();
        return;
    }
    if (!current || !m_results->lineOf(m_results->currentItem(), &group, &line)) {
        if (m_typedDate.isValid()) {
            chooseDate();
            return;
        }
        group = line = 0;
    }
    if (group < m_results->groups().size() && line < m_results->groups()[group].lines.size()) {
        const AgendaLayout::Group& chosen = m_results->groups()[group];
        emit appointmentChosen(*chosen.lines[line].appointment, chosen.date);
    }
}

void SearchPanel::chooseDate()
{
    if (m_typedDate.isValid())
        emit dateChosen(m_typedDate);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel->parentWidget()) {
        if (event->type() == QEvent::Resize)
            m_panel->setGeometry(m_panel->parentWidget()->rect());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
        close();
        emit dismissed();
        return true;
    }
    if (isEnter(key)) {
        m_typing->stop();
        chooseCurrent();
        return true;
    }
    // From the field, Up and Down go through the results while the typing goes on.
    if (watched == m_field && (key == Qt::Key_Down || key == Qt::Key_Up)) {
        if (!shown() || m_typing->isActive())
            search();
        m_results->stepCurrentLine(key == Qt::Key_Down ? 1 : -1);
        return true;
    }
    return false;
}

void SearchPanel::setPersonFilter(const QStringList& logins)
{
    m_people = logins;
    if (shown())
        search(); // the results shown follow at once
}
