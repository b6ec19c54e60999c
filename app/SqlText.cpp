#include "app/SqlText.h"
