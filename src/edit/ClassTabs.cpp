#include "ClassTabs.h"
