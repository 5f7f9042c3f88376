#pragma once

#include <QCoreApplication>

// The offline copy's texts, in the translation context "Offline".
class OfflineText {
    Q_DECLARE_TR_FUNCTIONS(Offline)
};
