#include "settings/Language.h"

#include "calendar/Names.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

using Translators = std::vector<std::unique_ptr<QTranslator>>;

// The compiled translations of one language in the resources, and Qt's own where asked for.
Translators loadTranslators(const QString& code, bool withQt)
{
    Translators loaded;
    const QDir dir(QStringLiteral(":/i18n"));
    for (const QString& name : dir.entryList({QStringLiteral("*_%1.qm").arg(code)}, QDir::Files)) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(dir.filePath(name)))
            loaded.push_back(std::move(translator));
    }
    auto qt = std::make_unique<QTranslator>();
    if (withQt && qt->load(QStringLiteral("qtbase_") + code,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        loaded.push_back(std::move(qt));
    return loaded;
}

// German has every text, with Qt's own ("Close", the file and colour dialogs) where the
// system has them; English only the plural forms of the texts that count something.
Translators& translatorsFor(bool german)
{
    static Translators germanOnes = loadTranslators(QStringLiteral("de"), true);
    static Translators englishOnes = loadTranslators(QStringLiteral("en"), false);
    return german ? germanOnes : englishOnes;
}

} // namespace

namespace Language {

void apply(const QString& langCode)
{
    const bool german = IsGerman(langCode);
    for (const auto& translator : translatorsFor(!german))
        QCoreApplication::removeTranslator(translator.get());
    for (const auto& translator : translatorsFor(german))
        QCoreApplication::installTranslator(translator.get());
}

QString translate(const char* context, const char* sourceText, const QString& langCode)
{
    for (const auto& translator : translatorsFor(IsGerman(langCode))) {
        const QString text = translator->translate(context, sourceText);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(sourceText);
}

} // namespace Language
