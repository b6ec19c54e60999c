#include "platform/TickSource.h"
