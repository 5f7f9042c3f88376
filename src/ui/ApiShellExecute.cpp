#include "ApiShellExecute.h"
