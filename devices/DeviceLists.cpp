#include "devices/DeviceLists.h"

#include "app/IniFiles.h"
#include "platform/DebugOutput.h"

#include <algorithm>

namespace {

constexpr const WCHAR* kFile = u"DevMgr.ini";
constexpr const WCHAR* kSection = u"DEVICE_LIST";

struct ListRule {
    const WCHAR* key;
    char16_t colour;      // first digit: '0' Chung, '1' Hong
    const char16_t* type; // digits 5-6: "00" trunk, "01" head
};

const ListRule& Rule(DeviceList list) {
    static const ListRule rules[] = {
        {u"EBP_CHUNG", u'0', u"00"},
        {u"EHP_CHUNG", u'0', u"01"},
        {u"EBP_HONG", u'1', u"00"},
        {u"EHP_HONG", u'1', u"01"},
    };
    return rules[static_cast<int>(list)];
}

bool IsHex(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameAddress(std::u16string_view a, std::u16string_view b) {
    return std::ranges::equal(a, b, [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::u16string g_strDeviceListEntries[4];

const WCHAR* DeviceListKey(DeviceList list) {
    return Rule(list).key;
}

std::vector<std::u16string> LoadDeviceList(DeviceList list) {
    WCHAR buffer[kIniValueChars];
    ReadIniString(kSection, DeviceListKey(list), buffer, kFile);
    std::vector<std::u16string> addresses;
    std::u16string_view rest = buffer;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(u',');
        const std::u16string_view piece = Trim(rest.substr(0, comma));
        if (!piece.empty())
            addresses.emplace_back(piece);
        if (comma == std::u16string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return addresses;
}

bool SaveDeviceList(DeviceList list, const std::vector<std::u16string>& addresses) {
    std::u16string value;
    for (const std::u16string& address : addresses) {
        if (!value.empty())
            value += u',';
        value += address;
    }
    if (WriteIniString(kSection, DeviceListKey(list), value.c_str(), kFile))
        return true;
    DebugPrintf("DevMgr.ini could not be written; the device list stays as it was on disk");
    return false;
}

DeviceAddRefusal CheckDeviceAddress(DeviceList list, std::u16string_view address,
                                    const std::vector<std::u16string>& current) {
    const ListRule& rule = Rule(list);
    if (address.size() != kDeviceAddressDigits)
        return DeviceAddRefusal::Length;
    if (!std::ranges::all_of(address, IsHex))
        return DeviceAddRefusal::NotHex;
    if (address[0] != rule.colour)
        return DeviceAddRefusal::Colour;
    if (address.substr(4, 2) != std::u16string_view(rule.type))
        return DeviceAddRefusal::Type;
    if (current.size() >= kMaxListedDevices)
        return DeviceAddRefusal::Full;
    if (std::ranges::any_of(current,
                            [&](const std::u16string& listed) { return SameAddress(listed, address); }))
        return DeviceAddRefusal::Duplicate;
    return DeviceAddRefusal::None;
}

std::u16string DeviceAddRefusalText(DeviceAddRefusal refusal) {
    switch (refusal) {
    case DeviceAddRefusal::None:
        return {};
    case DeviceAddRefusal::Length:
        return u"The character size are longer or shorter then 16.";
    case DeviceAddRefusal::NotHex:
        return u"The device ID must be 16 hexadecimal digits (0-9, A-F).";
    case DeviceAddRefusal::Colour:
        return u"The color of protector is not corrected!\r\nPlease check the color of protector.";
    case DeviceAddRefusal::Type:
        return u"The protector type is not corrected!\r\nPlease check if the protector is body protector or "
               u"headgear!";
    case DeviceAddRefusal::Full:
        return u"Limit the maximum device number!";
    case DeviceAddRefusal::Duplicate:
        return u"Device is added already!";
    }
    return {};
}
