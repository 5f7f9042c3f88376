#include "ApiOpenSave.h"
