// The settings window's OK when it would write to another file that holds settings already:
// the question, and taking on what that file holds.
#include "settings_ui/form_settings.h"

#include "service/SettingsJobs.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Two spellings of one file; a file not there yet compares by its absolute path.
bool samePath(const QString& a, const QString& b)
{
    const QFileInfo first(a), second(b);
    const QString canonicalFirst = first.canonicalFilePath();
    if (!canonicalFirst.isEmpty() && canonicalFirst == second.canonicalFilePath())
        return true;
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

void askWithButtons(QWidget* parent, const QString& text, const QStringList& captions,
                    std::function<void(int)> answer)
{
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane4"), text,
                                QMessageBox::NoButton, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText); // it names a path
    QList<QAbstractButton*> buttons;
    for (const QString& caption : captions)
        buttons << box->addButton(caption, QMessageBox::ActionRole);
    box->setEscapeButton(buttons.value(form_settings::kBackToWindow));
    box->setDefaultButton(qobject_cast<QPushButton*>(buttons.value(form_settings::kBackToWindow)));
    QObject::connect(box, &QDialog::finished, box, [box, buttons, answer = std::move(answer)] {
        const qsizetype chosen = buttons.indexOf(box->clickedButton());
        answer(chosen < 0 ? int(form_settings::kBackToWindow) : int(chosen));
    });
    box->open();
}

} // namespace

void form_settings::askAboutExistingSettings(const QString& chosenPath,
                                             std::function<void(ExistingSettingsAnswer)> answer)
{
    // Only a move to another file can overwrite settings this copy never read.
    m_jobs.run<bool>(
        this,
        [chosenPath, loadedPath = m_loadedPath, values = m_settings](ProfileCache& profiles) {
            return !samePath(chosenPath, loadedPath) &&
                   Settings(values, profiles).HoldsSettings(chosenPath);
        },
        [this, chosenPath, answer = std::move(answer)](bool holds) {
            if (m_closed)
                return;
            if (!holds) {
                answer(kReplaceStored);
                return;
            }
            const QString question =
                text(QT_TRANSLATE_NOOP(
                         "form_settings",
                         "%1 holds settings already, perhaps your team's.\r\n\r\n"
                         "Use the settings stored there (the other changes in this window "
                         "are dropped), or replace them with the settings of this window?"))
                    .arg(QDir::toNativeSeparators(chosenPath));
            const QStringList captions{
                text(QT_TRANSLATE_NOOP("form_settings", "Use stored settings")),
                text(QT_TRANSLATE_NOOP("form_settings", "Replace them")),
                text(QT_TRANSLATE_NOOP("form_settings", "Back")),
            };
            const auto chosen = [this, answer](int index) {
                if (m_closed)
                    return;
                answer(index == kUseStored || index == kReplaceStored
                           ? ExistingSettingsAnswer(index)
                           : kBackToWindow);
            };
            if (m_hooks.askExistingSettings)
                m_hooks.askExistingSettings(this, question, captions, chosen);
            else
                askWithButtons(this, question, captions, chosen);
        });
}

void form_settings::takeStoredSettings(const QString& chosenPath)
{
    // The data folders are this machine's own and stay as the window has them; everything the
    // settings file holds comes from the file.
    takePointerFields(chosenPath);
    struct Taken {
        WriteOutcome saved;
        Settings settings;
        Settings::LoadResult loaded;
    };
    m_jobs.run<Taken>(
        this,
        [values = m_settings](ProfileCache& profiles) {
            Settings taken(values, profiles);
            const WriteOutcome saved = taken.SavePointer();
            const Settings::LoadResult loaded =
                saved.ok ? taken.LoadSettings() : Settings::LoadResult{};
            return Taken{saved, taken, loaded};
        },
        [this](const Taken& taken) {
            if (m_closed)
                return;
            setBusy(false);
            if (!taken.saved.ok) {
                tellNotSaved();
                return;
            }
            m_settings.takeValues(taken.settings);
            // Over the window below, since this one closes now.
            if (const QString problem = taken.loaded.message(); !problem.isEmpty())
                m_hooks.message(parentWidget(), QStringLiteral("Norvane4"), problem);
            accept();
        });
}
