#include "platform/WindowMessages.h"
