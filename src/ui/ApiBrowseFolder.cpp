#include "ApiBrowseFolder.h"
