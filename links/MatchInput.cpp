#include "links/MatchInput.h"

TTK_MatchInput g_MatchInput;

void ClearMatchInput() {
    for (std::u16string& text : g_MatchInput.field)
        text.clear();
}
