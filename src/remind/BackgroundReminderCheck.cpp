#include "remind/BackgroundReminderCheck.h"

#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"

#include <optional>
#include <utility>
#include <vector>

namespace {

// What a check decided, in order, as values: done later on the window's thread, when the
// thread's caches may have changed already.
class TakenActions : public ReminderActions {
public:
    using Action = std::function<void(ReminderActions&)>;

    void showReminder(const ClassTermin& appointment, const QDate& day) override
    {
        m_taken.push_back(
            [appointment, day](ReminderActions& to) { to.showReminder(appointment, day); });
    }
    void playSound(const QString& soundFile) override
    {
        m_taken.push_back([soundFile](ReminderActions& to) { to.playSound(soundFile); });
    }
    void sendMail(const MailMessage& message) override
    {
        m_taken.push_back([message](ReminderActions& to) { to.sendMail(message); });
    }
    std::vector<Action> take() { return std::exchange(m_taken, {}); }

private:
    std::vector<Action> m_taken;
};

} // namespace

// Everything the check's thread works with, made there at the first check and touched there
// only. A check abandoned on a stalled share keeps it alive until it ends.
struct BackgroundReminderCheck::Checker {
    struct Parts {
        Parts(std::unique_ptr<FileAccess> fileAccess, std::shared_ptr<const Settings> first,
              TakenActions& taken, QString login, Clock clock)
            : files(std::move(fileAccess))
            , profiles(*files)
            , settings(std::move(first))
            , check(profiles, *settings, taken, std::move(login), std::move(clock))
        {
        }

        std::unique_ptr<FileAccess> files;
        ProfileCache profiles;
        std::shared_ptr<const Settings> settings; // the copy the current check reads
        ReminderCheck check; // keeps the reminded keys and the folders' stores between checks
    };

    Checker(FileAccessFactory files, QString user, Clock now)
        : makeFiles(std::move(files))
        , login(std::move(user))
        , clock(std::move(now))
    {
    }

    // On the check's thread.
    ReminderCheck& checkWith(std::shared_ptr<const Settings> current)
    {
        if (!parts)
            parts.emplace(makeFiles(), current, taken, login, clock);
        parts->settings = std::move(current);
        parts->check.setSettings(*parts->settings);
        return parts->check;
    }

    FileAccessFactory makeFiles;
    QString login;
    Clock clock;
    TakenActions taken;
    std::optional<Parts> parts;
};

BackgroundReminderCheck::BackgroundReminderCheck(const Settings& settings, ReminderActions& actions,
                                                 QString login, Clock clock,
                                                 FileAccessFactory files)
    : m_settings(settings)
    , m_actions(actions)
    , m_checker(
          std::make_shared<Checker>(files ? std::move(files) : FileAccessFactory(&MakeFileAccess),
                                    std::move(login), std::move(clock)))
    , m_worker(QStringLiteral("Reminder check"))
{
}

BackgroundReminderCheck::~BackgroundReminderCheck() = default;

void BackgroundReminderCheck::check()
{
    // Only this thread posts, so the count can only have dropped since.
    if (m_worker.pending() > 1)
        return; // the one waiting reads the folders after this request anyway
    // The settings belong to the window's thread: the check reads a copy. Its profile cache
    // is the window's one, but a check reads only values from it, never files.
    auto settings = std::make_shared<const Settings>(m_settings);
    // A check abandoned on a stalled share may end after this object: it answers through a
    // reply that outlives the worker and then reaches nobody.
    m_worker.post([checker = m_checker, reply = m_worker.replies(), settings = std::move(settings),
                   actions = &m_actions] {
        checker->checkWith(settings).CheckReminders();
        std::vector<TakenActions::Action> taken = checker->taken.take();
        if (taken.empty())
            return;
        reply([taken = std::move(taken), actions] {
            for (const TakenActions::Action& action : taken)
                action(*actions);
        });
    });
}
