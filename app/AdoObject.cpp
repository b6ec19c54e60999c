#include "app/AdoObject.h"
