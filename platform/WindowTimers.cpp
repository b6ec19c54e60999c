#include "platform/WindowTimers.h"
