#include "links/WireCodec.h"

#include "platform/CodePage.h"

namespace {

UINT g_wireCodePage = CP_UTF8;

} // namespace

bool SetWireCodePage(UINT codePage) {
    if (codePage == 0)
        codePage = CP_UTF8;
    if (codePage != CP_UTF8 && codePage != 949 && codePage != 1252) {
        g_wireCodePage = CP_UTF8;
        return false;
    }
    g_wireCodePage = codePage;
    return true;
}

UINT WireCodePage() {
    return g_wireCodePage;
}

std::string ToWire(std::string_view utf8) {
    if (g_wireCodePage == CP_UTF8)
        return std::string(utf8);
    return ConvertCodePage(utf8, CP_UTF8, g_wireCodePage);
}
