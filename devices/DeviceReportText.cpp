#include "devices/DeviceReportText.h"

#include <cstdio>

char* FormatValidHitText(char* out, std::size_t size, int force, bool flagged, unsigned validity) {
    std::snprintf(out, size, "valid,%d,%d,%X", force, flagged ? 1 : 0, validity);
    return out;
}

char* FormatPlainHitText(char* out, std::size_t size, int force, bool flagged, const char* name) {
    std::snprintf(out, size, "none,%d,%d,%s", force, flagged ? 1 : 0, name);
    return out;
}

char* FormatJudgeText(char* out, std::size_t size, int chungCode, int hongCode, bool flagged) {
    std::snprintf(out, size, "%d,%d,%d", chungCode, hongCode, flagged ? 1 : 0);
    return out;
}
