// A settings file as found on the disk: keys read the ways the program reads them, then one key written
// and read back.
#include "app/IniFiles.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    fuzz::WriteHomeFile("ini/Rule.ini", data, size);
    WCHAR value[kIniValueChars];
    for (const WCHAR* section : {u"Rule", u"OVR", u"rule", u""})
        for (const WCHAR* key : {u"Round", u"Match_Time", u"Court_No", u""}) {
            ReadIniString(section, key, value, u"Rule.ini");
            ReadIniInt(section, key, u"Rule.ini");
        }
    if (WriteIniString(u"Rule", u"Round", u"3", u"Rule.ini") &&
        ReadIniInt(u"Rule", u"Round", u"Rule.ini") != 3)
        __builtin_trap(); // a written key must read back
    return 0;
}
