#include "app/VeziruduzApp.h"
