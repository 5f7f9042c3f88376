#include "ApiTaskBarIcon.h"
