// The image container's byte streams.
#include "controls/image/ImageStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr std::size_t kGrowStep = 65536;
constexpr std::size_t kMaxMemFile = std::numeric_limits<std::int32_t>::max() - kGrowStep;

// File names arrive as UTF-16; the C runtime here takes UTF-8.
std::string ToUtf8(const WCHAR* s) {
    std::string out;
    for (; s && *s; ++s) {
        std::uint32_t c = *s;
        if (c >= 0xD800 && c <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[1] - 0xDC00);
            ++s;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

bool CImageStream::PutC(BYTE c) {
    return Write(&c, 1, 1) == 1;
}

// CImageFileStream

CImageFileStream::CImageFileStream(std::FILE* fp) : m_fp(fp), m_bCloseFile(fp == nullptr) {}

CImageFileStream::CImageFileStream(const CImageFileStream& other)
    : CImageStream(), m_fp(other.m_fp), m_bCloseFile(false) {}

CImageFileStream& CImageFileStream::operator=(const CImageFileStream& other) {
    if (this != &other) {
        m_fp = other.m_fp;
        m_bCloseFile = false;
    }
    return *this;
}

CImageFileStream::~CImageFileStream() {
    Close();
}

bool CImageFileStream::Open(const WCHAR* filename, const WCHAR* mode) {
    if (m_fp || !filename || !mode)
        return false;
    m_fp = std::fopen(ToUtf8(filename).c_str(), ToUtf8(mode).c_str());
    if (!m_fp)
        return false;
    m_bCloseFile = true;
    return true;
}

bool CImageFileStream::Close() {
    if (!m_fp || !m_bCloseFile)
        return true;
    const int rc = std::fclose(m_fp);
    m_fp = nullptr;
    return rc == 0;
}

std::size_t CImageFileStream::Read(void* buffer, std::size_t size, std::size_t count) {
    return m_fp && buffer ? std::fread(buffer, size, count, m_fp) : 0;
}

std::size_t CImageFileStream::Write(const void* buffer, std::size_t size, std::size_t count) {
    return m_fp && buffer ? std::fwrite(buffer, size, count, m_fp) : 0;
}

bool CImageFileStream::Seek(std::int32_t offset, int origin) {
    return m_fp && std::fseek(m_fp, offset, origin) == 0;
}

std::int32_t CImageFileStream::Tell() {
    return m_fp ? static_cast<std::int32_t>(std::ftell(m_fp)) : 0;
}

std::int32_t CImageFileStream::Size() {
    if (!m_fp)
        return -1;
    const long pos = std::ftell(m_fp);
    std::fseek(m_fp, 0, SEEK_END);
    const long size = std::ftell(m_fp);
    std::fseek(m_fp, pos, SEEK_SET);
    return static_cast<std::int32_t>(size);
}

bool CImageFileStream::Flush() {
    return m_fp && std::fflush(m_fp) == 0;
}

bool CImageFileStream::Eof() {
    return !m_fp || std::feof(m_fp) != 0;
}

std::int32_t CImageFileStream::Error() {
    return m_fp ? std::ferror(m_fp) : -1;
}

bool CImageFileStream::PutC(BYTE c) {
    return m_fp && std::fputc(c, m_fp) == c;
}

std::int32_t CImageFileStream::GetC() {
    return m_fp ? std::getc(m_fp) : -1;
}

char* CImageFileStream::GetS(char* string, std::int32_t n) {
    return m_fp ? std::fgets(string, n, m_fp) : nullptr;
}

std::int32_t CImageFileStream::Scanf(const char* format, void* output) {
    return m_fp && format ? std::fscanf(m_fp, format, output) : -1;
}

// CImageMemoryStream

CImageMemoryStream::CImageMemoryStream(BYTE* pBuffer, DWORD size)
    : m_pBuffer(pBuffer), m_Size(pBuffer ? static_cast<std::int32_t>(std::min<DWORD>(size, kMaxMemFile)) : 0),
      m_bFreeOnClose(pBuffer == nullptr), m_Position(0), m_Edge(m_Size) {}

CImageMemoryStream::CImageMemoryStream(const CImageMemoryStream& other)
    : CImageStream(), m_pBuffer(nullptr), m_Size(0), m_bFreeOnClose(true), m_Position(0), m_Edge(0) {
    CopyFrom(other);
}

CImageMemoryStream& CImageMemoryStream::operator=(const CImageMemoryStream& other) {
    if (this != &other) {
        Free();
        m_pBuffer = nullptr;
        m_Size = m_Position = m_Edge = 0;
        m_bFreeOnClose = true;
        CopyFrom(other);
    }
    return *this;
}

void CImageMemoryStream::CopyFrom(const CImageMemoryStream& other) {
    // A shared buffer would be freed or moved by whichever stream grows first, under the other's feet.
    if (!other.m_pBuffer)
        return;
    const std::size_t edge = std::max<std::int32_t>(other.m_Size, 1);
    m_pBuffer = static_cast<BYTE*>(std::malloc(edge));
    if (!m_pBuffer)
        return;
    if (other.m_Size > 0)
        std::memcpy(m_pBuffer, other.m_pBuffer, static_cast<std::size_t>(other.m_Size));
    m_Size = other.m_Size;
    m_Edge = static_cast<std::int32_t>(edge);
    m_Position = other.m_Position;
}

CImageMemoryStream::~CImageMemoryStream() {
    Close();
}

bool CImageMemoryStream::Open() {
    if (m_pBuffer)
        return false;
    m_Size = m_Position = m_Edge = 0;
    m_pBuffer = static_cast<BYTE*>(std::malloc(1));
    m_bFreeOnClose = true;
    return m_pBuffer != nullptr;
}

BYTE* CImageMemoryStream::GetBuffer(bool bDetachBuffer) {
    if (bDetachBuffer)
        m_bFreeOnClose = false;
    return m_pBuffer;
}

bool CImageMemoryStream::Close() {
    Free();
    return true;
}

void CImageMemoryStream::Free() {
    if (m_pBuffer && m_bFreeOnClose) {
        std::free(m_pBuffer);
        m_pBuffer = nullptr;
        m_Size = 0;
    }
}

bool CImageMemoryStream::Alloc(std::size_t nBytes) {
    if (static_cast<std::size_t>(m_Edge) >= nBytes)
        return m_pBuffer != nullptr;
    if (nBytes > kMaxMemFile)
        return false;
    const std::size_t edge = (nBytes / kGrowStep) * kGrowStep + kGrowStep;
    auto* grown =
        static_cast<BYTE*>(m_pBuffer && m_bFreeOnClose ? std::realloc(m_pBuffer, edge) : std::malloc(edge));
    if (!grown) {
        if (m_bFreeOnClose)
            std::free(m_pBuffer);
        m_pBuffer = nullptr;
        m_Size = m_Position = m_Edge = 0;
        return false;
    }
    // A buffer the caller lent is copied, never reallocated or freed behind the caller's back.
    if (m_pBuffer && !m_bFreeOnClose && m_Size > 0)
        std::memcpy(grown, m_pBuffer, static_cast<std::size_t>(m_Size));
    m_pBuffer = grown;
    m_bFreeOnClose = true;
    m_Edge = static_cast<std::int32_t>(edge);
    return true;
}

std::size_t CImageMemoryStream::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!buffer || !m_pBuffer || m_Position >= m_Size || size == 0 || count == 0)
        return 0;
    const std::size_t left = static_cast<std::size_t>(m_Size - m_Position);
    const std::size_t n = count > left / size ? left : size * count;
    std::memcpy(buffer, m_pBuffer + m_Position, n);
    m_Position += static_cast<std::int32_t>(n);
    return n / size;
}

std::size_t CImageMemoryStream::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!buffer || !m_pBuffer || size == 0 || count == 0)
        return 0;
    if (count > kMaxMemFile / size)
        return 0;
    const std::size_t n = size * count;
    const std::size_t end = static_cast<std::size_t>(m_Position) + n;
    if (end > static_cast<std::size_t>(m_Edge) && !Alloc(end))
        return 0;
    // Bytes skipped by a seek past the end read as zeros.
    if (m_Position > m_Size)
        std::memset(m_pBuffer + m_Size, 0, static_cast<std::size_t>(m_Position - m_Size));
    std::memcpy(m_pBuffer + m_Position, buffer, n);
    m_Position = static_cast<std::int32_t>(end);
    m_Size = std::max(m_Size, m_Position);
    return count;
}

bool CImageMemoryStream::PutC(BYTE c) {
    if (!m_pBuffer)
        return false;
    if (m_Position >= m_Edge && !Alloc(static_cast<std::size_t>(m_Position) + 1))
        return false;
    if (m_Position > m_Size)
        std::memset(m_pBuffer + m_Size, 0, static_cast<std::size_t>(m_Position - m_Size));
    m_pBuffer[m_Position++] = c;
    m_Size = std::max(m_Size, m_Position);
    return true;
}

bool CImageMemoryStream::Seek(std::int32_t offset, int origin) {
    if (!m_pBuffer)
        return false;
    long long base = 0;
    switch (origin) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = m_Position;
        break;
    case SEEK_END:
        base = m_Size;
        break;
    default:
        return false;
    }
    const long long pos = base + offset;
    if (pos > static_cast<long long>(kMaxMemFile))
        return false;
    m_Position = pos < 0 ? 0 : static_cast<std::int32_t>(pos);
    return true;
}

std::int32_t CImageMemoryStream::Tell() {
    return m_pBuffer ? m_Position : -1;
}

std::int32_t CImageMemoryStream::Size() {
    return m_pBuffer ? m_Size : -1;
}

bool CImageMemoryStream::Flush() {
    return m_pBuffer != nullptr;
}

bool CImageMemoryStream::Eof() {
    return !m_pBuffer || m_Position >= m_Size;
}

std::int32_t CImageMemoryStream::Error() {
    if (!m_pBuffer)
        return -1;
    return m_Position > m_Size ? 1 : 0;
}

std::int32_t CImageMemoryStream::GetC() {
    if (Eof())
        return -1;
    return m_pBuffer[m_Position++];
}

char* CImageMemoryStream::GetS(char* string, std::int32_t n) {
    if (!string || n <= 0)
        return nullptr;
    std::int32_t i = 0;
    while (i < n - 1) {
        const std::int32_t c = GetC();
        if (c == -1) {
            string[i] = '\0';
            return nullptr;
        }
        string[i++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    string[i] = '\0';
    return string;
}

std::int32_t CImageMemoryStream::Scanf(const char*, void*) {
    return 0;
}
