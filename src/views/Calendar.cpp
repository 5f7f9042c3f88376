#include "Calendar.h"
