#include "app/StartWindow.h"
