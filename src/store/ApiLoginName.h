#pragma once

#include <QString>

// The login name of the user running the program, or an empty text when the system cannot
// tell. Exact and case-sensitive: it is compared with appointment owners as it is.
QString GetLoginName();
