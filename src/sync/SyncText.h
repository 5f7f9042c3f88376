#pragma once

#include <QCoreApplication>

// The context of the sync's texts in the translation file.
struct Sync {
    Q_DECLARE_TR_FUNCTIONS(Sync)
};
