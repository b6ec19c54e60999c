#include "links/LinkSettings.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "links/LinkSlots.h"
#include "links/Transport.h"
#include "links/WireCodec.h"
#include "links/WtApiClient.h"
#include "platform/DebugOutput.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace LinkSettings {

namespace {

const WCHAR* const kSections[] = {u"OVR", u"IVR", u"TVG", u"PREREG", u"ST"};

std::u16string Lower(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toLower().toStdU16String();
}

std::u16string Number(long long value) {
    return QString::number(value).toStdU16String();
}

// A key as a number the way the C library reads it: leading blanks and sign, then digits; "" is 0.
long long ReadNumber(const WCHAR* section, const WCHAR* key) {
    WCHAR buffer[kIniValueChars];
    ReadIniString(section, key, buffer, u"ExtItf.ini");
    const std::string text = QString::fromUtf16(buffer).trimmed().toStdString();
    long long value = 0;
    const char* begin = text.c_str();
    if (*begin == '+')
        ++begin;
    std::from_chars(begin, text.c_str() + text.size(), value);
    return value;
}

int IndexOr(long long value, int last, int fallback) {
    return value >= 0 && value <= last ? static_cast<int>(value) : fallback;
}

void ReadSerial(const WCHAR* section, TTK_LinkCfg& cfg) {
    ReadIniString(section, u"Serial_COM_Port", cfg.wszComPort, u"ExtItf.ini");
    // A link never set (no key) runs at the list's default rather than at entry 0.
    WCHAR rate[kIniValueChars];
    ReadIniString(section, u"Serial_Baudrate", rate, u"ExtItf.ini");
    cfg.nBaudrate =
        rate[0] ? BaudFromStored(static_cast<int>(ReadNumber(section, u"Serial_Baudrate"))) : kDefaultBaud;
    cfg.nDataBits = IndexOr(ReadNumber(section, u"Serial_Dat_Bits"), 3, 3);
    cfg.nParity = IndexOr(ReadNumber(section, u"Serial_Parity"), 2, 0);
    cfg.nStopBits = IndexOr(ReadNumber(section, u"Serial_Stop_Bits"), 1, 0);
}

// Written with "%d": addresses from 128.0.0.0 up appear negative; read back, the same bits.
DWORD ReadAddress(const WCHAR* section, const WCHAR* key) {
    return static_cast<DWORD>(static_cast<std::uint32_t>(ReadNumber(section, key)));
}

std::u16string AddressText(DWORD ip) {
    return Number(static_cast<std::int32_t>(ip));
}

BOOL Write(const WCHAR* section, const WCHAR* key, const std::u16string& value, const WCHAR* file) {
    return WriteIniString(section, key, value.c_str(), file);
}

} // namespace

int BaudFromStored(int stored) {
    if (std::find(kBaudRates.begin(), kBaudRates.end(), stored) != kBaudRates.end())
        return stored;
    return stored >= 0 && stored < static_cast<int>(kBaudRates.size()) ? kBaudRates[stored] : kDefaultBaud;
}

int BaudIndex(int rate) {
    const auto it = std::find(kBaudRates.begin(), kBaudRates.end(), rate);
    return it == kBaudRates.end() ? 1 : static_cast<int>(it - kBaudRates.begin());
}

int BaudOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kBaudRates.size()) ? kBaudRates[index] : kDefaultBaud;
}

int SelectPort(const std::vector<std::u16string>& ports, std::u16string_view stored) {
    if (stored.empty() || ports.empty())
        return -1;
    const std::u16string want = Lower(stored);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (Lower(ports[i]) == want)
            return static_cast<int>(i);
    }
    for (std::size_t step = 0; step < ports.size(); ++step) {
        const std::size_t i = (step + 1) % ports.size();
        if (Lower(ports[i]).starts_with(want))
            return static_cast<int>(i);
    }
    return -1;
}

std::u16string IpText(DWORD ip) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(ip >> 24 & 0xFF)
        .arg(ip >> 16 & 0xFF)
        .arg(ip >> 8 & 0xFF)
        .arg(ip & 0xFF)
        .toStdU16String();
}

bool ParseIp(std::u16string_view text, DWORD* ip) {
    const QStringList parts =
        QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).trimmed().split(u'.');
    if (parts.size() != 4)
        return false;
    DWORD value = 0;
    for (const QString& part : parts) {
        bool ok = false;
        const uint n = part.toUInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || n > 255)
            return false;
        value = value << 8 | n;
    }
    *ip = value;
    return true;
}

bool ParsePort(std::u16string_view text, int* port) {
    bool ok = false;
    const QString trimmed = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).trimmed();
    const int value = trimmed.toInt(&ok);
    if (!ok || value < 0 || value > 65535)
        return false;
    *port = value;
    return true;
}

void LoadExtItf(MatchData& md) {
    for (int kind = 0; kind < 5; ++kind) {
        const WCHAR* section = kSections[kind];
        if (kind == 3) {
            md.dwPreRegIp = ReadAddress(section, u"Tcp_IP");
            md.nPreRegPort = static_cast<int>(ReadNumber(section, u"Tcp_Port"));
            continue;
        }
        TTK_LinkCfg& cfg = *CfgOf(md, kind);
        ReadSerial(section, cfg);
        if (kind == 4)
            continue; // Swiss Timing is serial only
        cfg.dwUdpIp = ReadAddress(section, u"Udp_IP");
        cfg.nUdpTx = static_cast<int>(ReadNumber(section, u"Udp_TX"));
        cfg.nUdpRx = static_cast<int>(ReadNumber(section, u"Udp_RX"));
        cfg.dwTcpIp = ReadAddress(section, u"Tcp_IP");
        cfg.nTcpPort = static_cast<int>(ReadNumber(section, u"Tcp_Port"));
    }
    ReadIniString(u"OVR", u"WT_Protocol_Baseurl", md.wszWTBaseUrl, u"ExtItf.ini");
    // The server's certificate is checked only against a CA file the venue names.
    WCHAR caFile[kIniValueChars] = {};
    ReadIniString(u"OVR", u"WT_Protocol_CaFile", caFile, u"ExtItf.ini");
    WtApiSetCaFile(QString::fromUtf16(caFile).toStdString());
    const int codePage = ReadIniInt(u"Wire", u"Code_Page", u"ExtItf.ini");
    if (!SetWireCodePage(static_cast<UINT>(codePage)))
        DebugPrintf("ExtItf.ini [Wire] Code_Page=%d is not 65001, 949 or 1252; the links send UTF-8",
                    codePage);
}

const WCHAR* SectionOf(int kind) {
    return kind >= 0 && kind < 5 ? kSections[kind] : u"";
}

TTK_LinkCfg* CfgOf(MatchData& md, int kind) {
    switch (kind) {
    case 0:
        return &md.cfgOvr;
    case 1:
        return &md.cfgIvr;
    case 2:
        return &md.cfgTvg;
    case 4:
        return &md.cfgSt;
    default:
        return nullptr;
    }
}

void SaveSerial(MatchData& md, int kind) {
    const TTK_LinkCfg* cfg = CfgOf(md, kind);
    if (!cfg)
        return;
    const WCHAR* section = SectionOf(kind);
    WriteIniString(section, u"Serial_COM_Port", cfg->wszComPort, u"ExtItf.ini");
    Write(section, u"Serial_Baudrate", Number(cfg->nBaudrate), u"ExtItf.ini");
    Write(section, u"Serial_Dat_Bits", Number(cfg->nDataBits), u"ExtItf.ini");
    Write(section, u"Serial_Parity", Number(cfg->nParity), u"ExtItf.ini");
    Write(section, u"Serial_Stop_Bits", Number(cfg->nStopBits), u"ExtItf.ini");
}

void SaveTcp(MatchData& md, int kind) {
    const WCHAR* section = SectionOf(kind);
    const TTK_LinkCfg* cfg = CfgOf(md, kind);
    if (kind == 3) {
        Write(section, u"Tcp_IP", AddressText(md.dwPreRegIp), u"ExtItf.ini");
        Write(section, u"Tcp_Port", Number(md.nPreRegPort), u"ExtItf.ini");
    } else if (cfg && kind != 4) {
        Write(section, u"Tcp_IP", AddressText(cfg->dwTcpIp), u"ExtItf.ini");
        Write(section, u"Tcp_Port", Number(cfg->nTcpPort), u"ExtItf.ini");
    }
}

void SaveUdp(MatchData& md, int kind) {
    const TTK_LinkCfg* cfg = kind <= 2 ? CfgOf(md, kind) : nullptr;
    if (!cfg)
        return;
    const WCHAR* section = SectionOf(kind);
    Write(section, u"Udp_IP", AddressText(cfg->dwUdpIp), u"ExtItf.ini");
    Write(section, u"Udp_TX", Number(cfg->nUdpTx), u"ExtItf.ini");
    Write(section, u"Udp_RX", Number(cfg->nUdpRx), u"ExtItf.ini");
}

void ApplyLed(MatchData& md, int blinks, int durationMs, int restMs) {
    md.nLedNumberOfBlink = blinks >= 1 && blinks <= 5 ? blinks : 2;
    md.nLedDurationTime = durationMs >= 100 && durationMs <= 5000 ? durationMs : 500;
    md.nLedRestTime = restMs >= 0 && restMs <= 1000 ? restMs : 100;
}

BOOL SaveRuleLinks(MatchData& md, const RuleLinks& v) {
    md.bUseWTProtocol = v.bUseWtProtocol ? 1 : 0;
    md.nOvrSupplier = v.bUseWtProtocol ? 8 : v.nOvrSupplier;
    md.nOvrCommType = v.nOvrCommType;
    md.nIvrSupplier = v.nIvrSupplier;
    md.nIvrCommType = v.nIvrCommType;
    md.nTvgSupplier = v.nTvgSupplier;
    md.nTvgCommType = v.nTvgCommType;
    md.nLedNumberOfBlink = v.nLedBlinks;
    md.nLedDurationTime = v.nLedDuration;
    md.nLedRestTime = v.nLedRest;
    const struct {
        const WCHAR* section;
        const WCHAR* key;
        int value;
    } keys[] = {
        {u"OVR", u"Use_WT_Protocol", md.bUseWTProtocol},  {u"OVR", u"Supplier", md.nOvrSupplier},
        {u"OVR", u"Comminucation_Type", md.nOvrCommType}, {u"IVR", u"Supplier", md.nIvrSupplier},
        {u"IVR", u"Comminucation_Type", md.nIvrCommType}, {u"TVG", u"Supplier", md.nTvgSupplier},
        {u"TVG", u"Comminucation_Type", md.nTvgCommType}, {u"LED", u"Number_of_Blink", v.nLedBlinks},
        {u"LED", u"Duration_Time", v.nLedDuration},       {u"LED", u"Rest_Time", v.nLedRest},
    };
    BOOL ok = TRUE;
    for (const auto& k : keys)
        ok = Write(k.section, k.key, Number(k.value), u"Rule.ini") && ok;
    return ok;
}

std::string KillRecord(int court) {
    return "\x01\x12" + std::to_string(court) + "\x13^KILL!\x04";
}

void SendKillMessage(MatchData& md) {
    std::memset(md.szOvrRecv, 0, sizeof md.szOvrRecv);
    const std::string record = KillRecord(md.nCourtNo);
    const int length = static_cast<int>(record.size());
    if (md.bOvrConnected && md.pOvrLink && !md.bUsePreReg)
        CommSend(CommTypeOf(md.pOvrLink), md.pOvrLink, record.data(), length);
    if (md.bUsePreReg && md.bPreRegConnected && md.pPreRegLink)
        CommSend(COMM_TCP, md.pPreRegLink, record.data(), length);
}

} // namespace LinkSettings
