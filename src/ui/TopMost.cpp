#include "TopMost.h"
