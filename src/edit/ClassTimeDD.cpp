#include "ClassTimeDD.h"
