// The settings window's OK when it would write to another file that holds settings already:
// the question, and taking on what that file holds.
#include "settings_ui/form_settings.h"

#include "settings/Settings.h"
#include "ui/MousePointer.h"

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

int askWithButtons(QWidget* parent, const QString& text, const QStringList& captions)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Norvane4"), text, QMessageBox::NoButton,
                    parent);
    box.setTextFormat(Qt::PlainText); // it names a path
    QList<QAbstractButton*> buttons;
    for (const QString& caption : captions)
        buttons << box.addButton(caption, QMessageBox::ActionRole);
    box.setEscapeButton(buttons.value(form_settings::kBackToWindow));
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.value(form_settings::kBackToWindow)));
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return chosen < 0 ? int(form_settings::kBackToWindow) : int(chosen);
}

} // namespace

form_settings::ExistingSettingsAnswer
form_settings::askAboutExistingSettings(const QString& chosenPath)
{
    // Only a move to another file can overwrite settings this copy never read.
    if (samePath(chosenPath, m_loadedPath) || !m_settings.HoldsSettings(chosenPath))
        return kReplaceStored;
    const QString question =
        text(QT_TRANSLATE_NOOP("form_settings",
                               "%1 holds settings already, perhaps your team's.\r\n\r\n"
                               "Use the settings stored there (the other changes in this window "
                               "are dropped), or replace them with the settings of this window?"))
            .arg(QDir::toNativeSeparators(chosenPath));
    const QStringList captions{
        text(QT_TRANSLATE_NOOP("form_settings", "Use stored settings")),
        text(QT_TRANSLATE_NOOP("form_settings", "Replace them")),
        text(QT_TRANSLATE_NOOP("form_settings", "Back")),
    };
    const int answer = m_hooks.askExistingSettings
                           ? m_hooks.askExistingSettings(this, question, captions)
                           : askWithButtons(this, question, captions);
    return answer == kUseStored || answer == kReplaceStored ? ExistingSettingsAnswer(answer)
                                                            : kBackToWindow;
}

bool form_settings::takeStoredSettings(const QString& chosenPath)
{
    // The data folders are this machine's own and stay as the window has them; everything the
    // settings file holds comes from the file.
    SetMousePointer(11);
    takePointerFields(chosenPath);
    const WriteOutcome saved = m_settings.SavePointer();
    const Settings::LoadResult loaded =
        saved.ok ? m_settings.LoadSettings() : Settings::LoadResult{};
    SetMousePointer(0);
    if (!saved.ok) {
        tellNotSaved();
        return false;
    }
    if (const QString problem = loaded.message(); !problem.isEmpty())
        tell(problem);
    return true;
}
