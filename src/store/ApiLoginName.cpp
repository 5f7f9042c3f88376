#include "ApiLoginName.h"
