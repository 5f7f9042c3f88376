#include "ApiColorPicker.h"
