#include "app/MatchInfo.h"

TTK_MatchInfo g_MatchInfoNew;
TTK_MatchInfo g_MatchInfoCur;
