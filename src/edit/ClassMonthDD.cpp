#include "ClassMonthDD.h"
