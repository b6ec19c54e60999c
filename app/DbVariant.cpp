#include "app/DbVariant.h"
