#include "app/AppGlobals.h"
