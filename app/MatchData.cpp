#include "app/MatchData.h"
