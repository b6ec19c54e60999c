// The byte streams the image container would read and write through: an abstract stream modelled on the
// C runtime's stdio functions, one over a FILE stream and one over a growable memory buffer.
// A copy of a file stream shares the FILE of the original without owning it: only the original closes it.
// A copy of a memory stream holds its own copy of the data and position (none when memory runs out), so
// neither stream's growth or end touches the other.
// Threads: a stream belongs to the thread that uses it.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CImageStream {
public:
    CImageStream() = default;
    virtual ~CImageStream() = default;

    virtual bool Close() = 0;
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    virtual bool Seek(std::int32_t offset, int origin) = 0;
    virtual std::int32_t Tell() = 0;
    virtual std::int32_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual std::int32_t Error() = 0;
    virtual bool PutC(BYTE c);
    virtual std::int32_t GetC() = 0;
    virtual char* GetS(char* string, std::int32_t n) = 0;
    virtual std::int32_t Scanf(const char* format, void* output) = 0;
};

class CImageFileStream : public CImageStream {
public:
    explicit CImageFileStream(std::FILE* fp = nullptr);
    CImageFileStream(const CImageFileStream& other);
    CImageFileStream& operator=(const CImageFileStream& other);
    ~CImageFileStream() override;

    bool Open(const WCHAR* filename, const WCHAR* mode);

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int32_t offset, int origin) override;
    std::int32_t Tell() override;
    std::int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    bool PutC(BYTE c) override;
    std::int32_t GetC() override;
    char* GetS(char* string, std::int32_t n) override;
    std::int32_t Scanf(const char* format, void* output) override;

protected:
    std::FILE* m_fp;
    bool m_bCloseFile;
};

class CImageMemoryStream : public CImageStream {
public:
    explicit CImageMemoryStream(BYTE* pBuffer = nullptr, DWORD size = 0);
    CImageMemoryStream(const CImageMemoryStream& other);
    CImageMemoryStream& operator=(const CImageMemoryStream& other);
    ~CImageMemoryStream() override;

    bool Open();
    BYTE* GetBuffer(bool bDetachBuffer = true);

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int32_t offset, int origin) override;
    std::int32_t Tell() override;
    std::int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    bool PutC(BYTE c) override;
    std::int32_t GetC() override;
    char* GetS(char* string, std::int32_t n) override;
    std::int32_t Scanf(const char* format, void* output) override;

protected:
    bool Alloc(std::size_t nBytes);
    void Free();
    void CopyFrom(const CImageMemoryStream& other);

    BYTE* m_pBuffer;
    std::int32_t m_Size;
    bool m_bFreeOnClose;
    std::int32_t m_Position;
    std::int32_t m_Edge; // bytes allocated
};
