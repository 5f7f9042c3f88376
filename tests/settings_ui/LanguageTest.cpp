// The language follows the settings: our texts and Qt's own dialogs and buttons alike.
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

TEST(Language, GermanReachesOurTextsAndQtsOwn)
{
    const Settings::LoadResult invalidPath{true, {"/srv/a.ini"}};
    const auto qtClose = [] { return QCoreApplication::translate("QPlatformTheme", "Close"); };

    Language::apply(QStringLiteral("de"));
    EXPECT_EQ(qtClose(), QStringLiteral("Schließen"));
    EXPECT_TRUE(invalidPath.message().startsWith(
        QStringLiteral("Der Pfad der Einstellungsdatei ist ungültig.")));
    EXPECT_TRUE(invalidPath.message().contains(
        QStringLiteral("Die Einstellungsdatei /srv/a.ini konnte nicht gelesen werden.")));

    Language::apply(QStringLiteral("en"));
    EXPECT_EQ(qtClose(), QStringLiteral("Close"));
    EXPECT_TRUE(invalidPath.message().startsWith(QStringLiteral("The path")));
}

} // namespace
