#include "app/IniFiles.h"

#include "app/AppGlobals.h"
#include "platform/ProfileFile.h"

#include <string>

namespace {

std::u16string IniPath(const WCHAR* file) {
    std::u16string relative = u"ini/";
    if (file != nullptr)
        relative += file;
    return AppPath(relative);
}

} // namespace

DWORD ReadIniString(const WCHAR* section, const WCHAR* key, WCHAR (&buffer)[kIniValueChars],
                    const WCHAR* file) {
    return GetPrivateProfileStringW(section, key, u"", buffer, kIniValueChars, IniPath(file).c_str());
}

int ReadIniInt(const WCHAR* section, const WCHAR* key, const WCHAR* file) {
    WCHAR buffer[kIniValueChars];
    ReadIniString(section, key, buffer, file);
    return _wtoi(buffer);
}

BOOL WriteIniString(const WCHAR* section, const WCHAR* key, const WCHAR* value, const WCHAR* file) {
    return WritePrivateProfileStringW(section, key, value, IniPath(file).c_str());
}
