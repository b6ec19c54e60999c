#include "app/AppGlobals.h"

std::u16string g_strAppDir;
std::u16string g_strReceiverVersion;
std::u16string g_strResultRow[40];
std::u16string g_strMatchTitle;
std::u16string g_strMatchWeight;

std::u16string AppPath(std::u16string_view relative) {
    std::u16string path = g_strAppDir;
    path += relative;
    return path;
}
