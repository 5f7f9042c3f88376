#include "settings/Language.h"

#include "calendar/Names.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

std::vector<std::unique_ptr<QTranslator>>& germanTranslators()
{
    static std::vector<std::unique_ptr<QTranslator>> translators = [] {
        std::vector<std::unique_ptr<QTranslator>> loaded;
        const QDir dir(QStringLiteral(":/i18n"));
        for (const QString& name : dir.entryList({QStringLiteral("*_de.qm")}, QDir::Files)) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(dir.filePath(name)))
                loaded.push_back(std::move(translator));
        }
        // Qt's own texts ("Close", the file and colour dialogs), where the system has them.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            loaded.push_back(std::move(qt));
        return loaded;
    }();
    return translators;
}

} // namespace

namespace Language {

void apply(const QString& langCode)
{
    const bool german = IsGerman(langCode);
    for (const auto& translator : germanTranslators()) {
        if (german)
            QCoreApplication::installTranslator(translator.get());
        else
            QCoreApplication::removeTranslator(translator.get());
    }
}

QString translate(const char* context, const char* sourceText, const QString& langCode)
{
    if (IsGerman(langCode)) {
        for (const auto& translator : germanTranslators()) {
            const QString text = translator->translate(context, sourceText);
            if (!text.isEmpty())
                return text;
        }
    }
    return QString::fromUtf8(sourceText);
}

} // namespace Language
