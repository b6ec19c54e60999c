// CImageContainer: an in-memory raster image held as a bottom-up device-independent bitmap (1, 4, 8 or 24
// bits per pixel, with a palette below 24 bits) and optional side planes: alpha, selection, layers and
// frames. It carries no codecs; it is exported for callers outside the court program and never calls them.
// Failures are reported by the result (null, false, 0) and, for some operations, the last-error text; no
// operation throws. Every size and index is checked before memory is touched.
// Threads: an image belongs to the thread that uses it; nothing is shared between images except by a ghost.
#pragma once

#include "controls/image/ImageTypes.h"
#include "platform/GdiRegion.h"

#include <cstddef>
#include <cstdint>
#include <functional>

constexpr int IMAGE_NUM_CODEC_OPTIONS = 19;
constexpr std::uint64_t IMAGE_MAX_MEMORY = 268435456;

// Format type ids of the bookkeeping fields.
enum ENUM_IMAGE_FORMATS : DWORD {
    IMAGE_FORMAT_UNKNOWN = 0,
    IMAGE_FORMAT_BMP = 1,
    IMAGE_FORMAT_GIF = 2,
    IMAGE_FORMAT_JPG = 3,
    IMAGE_FORMAT_PNG = 4,
    IMAGE_FORMAT_ICO = 5,
    IMAGE_FORMAT_TIF = 6,
    IMAGE_FORMAT_TGA = 7,
    IMAGE_FORMAT_PCX = 8,
    IMAGE_FORMAT_WBMP = 9,
    IMAGE_FORMAT_WMF = 10,
    IMAGE_FORMAT_JP2 = 11,
    IMAGE_FORMAT_JPC = 12,
    IMAGE_FORMAT_PGX = 13,
    IMAGE_FORMAT_PNM = 14,
    IMAGE_FORMAT_RAS = 15,
    IMAGE_FORMAT_MNG = 17,
    IMAGE_FORMAT_SKA = 18,
    IMAGE_FORMAT_RAW = 19,
};

class CImageContainer {
public:
    struct rgb_color {
        BYTE r, g, b;
    };

    // The bookkeeping block. In memory the three references are real pointers; the dump writes its own
    // 444-byte layout with them as 0.
    struct IMAGEINFO {
        DWORD dwEffWidth;
        BYTE* pImage;
        CImageContainer* pGhost;
        CImageContainer* pParent;
        DWORD dwType;
        char szLastError[256];
        std::int32_t nProgress;
        std::int32_t nEscape;
        std::int32_t nBkgndIndex; // transparent index, -1 for none
        RGBQUAD nBkgndColor;      // background and transparent colour
        float fQuality;
        BYTE nJpegScale;
        std::int32_t nFrame;
        std::int32_t nNumFrames;
        DWORD dwFrameDelay;
        std::int32_t xDPI;
        std::int32_t yDPI;
        RECT rSelectionBox;
        BYTE nAlphaMax;
        bool bAlphaPaletteEnabled;
        bool bEnabled;
        std::int32_t xOffset;
        std::int32_t yOffset;
        DWORD dwCodecOpt[IMAGE_NUM_CODEC_OPTIONS];
        RGBQUAD last_c;
        BYTE last_c_index;
        bool last_c_isvalid;
        std::int32_t nNumLayers;
        DWORD dwFlags;
        BYTE dispmeth;
        bool bGetAllFrames;
        bool bLittleEndianHost;
    };
    static constexpr std::size_t kInfoDumpSize = 444;
    static constexpr std::size_t kHeaderDumpSize = 40;

    // life cycle
    explicit CImageContainer(DWORD imagetype = 0);
    CImageContainer(DWORD dwWidth, DWORD dwHeight, DWORD wBpp, DWORD imagetype = 0);
    CImageContainer(const CImageContainer& src, bool copypixels = true, bool copyselection = true,
                    bool copyalpha = true);
    CImageContainer& operator=(const CImageContainer& src);
    virtual ~CImageContainer();

    void* Create(DWORD dwWidth, DWORD dwHeight, DWORD wBpp, DWORD imagetype = 0);
    bool CreateFromArray(const BYTE* pArray, DWORD dwWidth, DWORD dwHeight, DWORD dwBitsperpixel,
                         DWORD dwBytesperline, bool bFlipImage);
    bool CreateFromMatrix(const BYTE* const* ppMatrix, DWORD dwWidth, DWORD dwHeight, DWORD dwBitsperpixel,
                          DWORD dwBytesperline, bool bFlipImage);
    bool Destroy();
    bool DestroyFrames();
    void Copy(const CImageContainer& src, bool copypixels = true, bool copyselection = true,
              bool copyalpha = true);
    bool Transfer(CImageContainer& from, bool bTransferFrames = true);
    void Clear(BYTE bval = 0);
    static void FreeMemory(void* memblock);

    // geometry and bits
    DWORD GetWidth() const { return static_cast<DWORD>(head.biWidth); }
    DWORD GetHeight() const { return static_cast<DWORD>(head.biHeight); }
    DWORD GetEffWidth() const { return info.dwEffWidth; }
    DWORD GetBpp() const { return head.biBitCount; }
    void* GetDIB() const { return pDib; }
    BYTE* GetBits(DWORD row = 0);
    DWORD GetSize() const;
    bool IsValid() const { return pDib != nullptr; }
    bool IsInside(std::int32_t x, std::int32_t y) const;
    bool IsIndexed() const { return head.biClrUsed != 0; }
    bool IsGrayScale() const;
    BYTE GetColorType() const;

    // pixels
    RGBQUAD GetPixelColor(std::int32_t x, std::int32_t y, bool bGetAlpha = true);
    BYTE GetPixelIndex(std::int32_t x, std::int32_t y);
    BYTE GetPixelGray(std::int32_t x, std::int32_t y);
    void SetPixelColor(std::int32_t x, std::int32_t y, COLORREF cr);
    void SetPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, bool bSetAlpha = false);
    void SetPixelIndex(std::int32_t x, std::int32_t y, BYTE i);
    void BlendPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, float blend, bool bSetAlpha = false);
    void DrawLine(int StartX, int EndX, int StartY, int EndY, COLORREF cr);
    void DrawLine(int StartX, int EndX, int StartY, int EndY, RGBQUAD color, bool bSetAlpha = false);

    // palette
    RGBQUAD* GetPalette() const;
    DWORD GetPaletteSize() const { return head.biClrUsed * sizeof(RGBQUAD); }
    DWORD GetNumColors() const { return head.biClrUsed; }
    RGBQUAD GetPaletteColor(BYTE idx) const;
    bool GetPaletteColor(BYTE i, BYTE* r, BYTE* g, BYTE* b) const;
    void SetPalette(DWORD n, const BYTE* r, const BYTE* g, const BYTE* b);
    void SetPalette(const rgb_color* rgb, DWORD nColors = 256);
    void SetPalette(const RGBQUAD* pPal, DWORD nColors = 256);
    void SetPaletteColor(BYTE idx, BYTE r, BYTE g, BYTE b, BYTE alpha = 0);
    void SetPaletteColor(BYTE idx, COLORREF cr);
    void SetPaletteColor(BYTE idx, RGBQUAD c);
    void SetGrayPalette();
    void SetStdPalette();
    void BlendPalette(COLORREF cr, long perc);
    void SwapIndex(BYTE idx1, BYTE idx2);
    void SwapRGB2BGR();
    BYTE GetNearestIndex(RGBQUAD c);
    bool IsSamePalette(const CImageContainer& img, bool bCheckAlpha = true) const;
    DWORD GetClrImportant() const { return head.biClrImportant; }
    void SetClrImportant(DWORD ncolors = 0);
    static RGBQUAD RGBtoRGBQUAD(COLORREF cr);
    static COLORREF RGBQUADtoRGB(RGBQUAD c);

    // transparency
    std::int32_t GetTransIndex() const { return info.nBkgndIndex; }
    void SetTransIndex(std::int32_t idx);
    RGBQUAD GetTransColor();
    void SetTransColor(RGBQUAD rgb);
    bool IsTransparent() const;
    bool IsTransparent(std::int32_t x, std::int32_t y);
    bool GetTransparentMask(CImageContainer* iDst = nullptr);

    // codec bookkeeping
    DWORD GetType() const { return info.dwType; }
    bool SetType(DWORD type);
    static DWORD GetNumTypes();
    static DWORD GetTypeIdFromName(const WCHAR* ext);
    static DWORD GetTypeIdFromIndex(DWORD index);
    static DWORD GetTypeIndexFromId(DWORD id);
    DWORD GetCodecOption(DWORD imagetype = 0) const;
    bool SetCodecOption(DWORD opt, DWORD imagetype = 0);
    BYTE GetJpegQuality() const;
    void SetJpegQuality(BYTE q) { info.fQuality = static_cast<float>(q); }
    float GetJpegQualityF() const { return info.fQuality; }
    void SetJpegQualityF(float q) { info.fQuality = q > 0.0f ? q : 0.0f; }
    BYTE GetJpegScale() const { return info.nJpegScale; }
    void SetJpegScale(BYTE q) { info.nJpegScale = q; }
    std::int32_t GetXDPI() const { return info.xDPI; }
    std::int32_t GetYDPI() const { return info.yDPI; }
    void SetXDPI(std::int32_t dpi);
    void SetYDPI(std::int32_t dpi);
    std::int32_t GetFrame() const { return info.nFrame; }
    void SetFrame(std::int32_t nFrame) { info.nFrame = nFrame; }
    CImageContainer* GetFrame(std::int32_t index) const;
    std::int32_t GetNumFrames() const { return info.nNumFrames; }
    DWORD GetFrameDelay() const { return info.dwFrameDelay; }
    void SetFrameDelay(DWORD d) { info.dwFrameDelay = d; }
    BYTE GetDisposalMethod() const { return info.dispmeth; }
    void SetDisposalMethod(BYTE dm) { info.dispmeth = dm; }
    bool GetRetreiveAllFrames() const { return info.bGetAllFrames; }
    void SetRetreiveAllFrames(bool flag) { info.bGetAllFrames = flag; }
    void GetOffset(std::int32_t* x, std::int32_t* y) const;
    void SetOffset(std::int32_t x, std::int32_t y);
    DWORD GetFlags() const { return info.dwFlags; }
    void SetFlags(DWORD flags, bool bLockReservedFlags = true);
    std::int32_t GetProgress() const { return info.nProgress; }
    void SetProgress(std::int32_t p) { info.nProgress = p; }
    std::int32_t GetEscape() const { return info.nEscape; }
    void SetEscape(std::int32_t i) { info.nEscape = i; }
    bool IsEnabled() const { return info.bEnabled; }
    void Enable(bool enable = true) { info.bEnabled = enable; }
    const char* GetLastError() const { return info.szLastError; }
    static const char* GetVersion();
    static float GetVersionNumber();

    // serialisation. An image whose layers or frames nest deeper than a dump can be read back, or whose
    // dump would pass 4 GiB, has no dump: DumpSize is 0 and Dump writes nothing and returns 0.
    DWORD Dump(BYTE* dst);
    DWORD DumpSize();
    DWORD UnDump(const BYTE* src);
    // The same, for a buffer of known length: a dump that claims more than the buffer holds is refused.
    DWORD UnDump(const BYTE* src, std::size_t length);

    // selection
    bool SelectionCreate();
    bool SelectionDelete();
    bool SelectionClear(BYTE level = 0);
    bool SelectionAddRect(RECT r, BYTE level = 255);
    bool SelectionAddEllipse(RECT r, BYTE level = 255);
    bool SelectionAddPolygon(const POINT* points, std::int32_t npoints, BYTE level = 255);
    bool SelectionAddColor(RGBQUAD c, BYTE level = 255);
    bool SelectionAddPixel(std::int32_t x, std::int32_t y, BYTE level = 255);
    bool SelectionCopy(const CImageContainer& from);
    bool SelectionSet(CImageContainer& from);
    bool SelectionSplit(CImageContainer* dest);
    bool SelectionInvert();
    bool SelectionFlip();
    bool SelectionMirror();
    void SelectionRebuildBox();
    void SelectionGetBox(RECT& r) const { r = info.rSelectionBox; }
    BYTE SelectionGet(std::int32_t x, std::int32_t y) const;
    BYTE* SelectionGetPointer(std::int32_t x = 0, std::int32_t y = 0);
    bool SelectionIsInside(std::int32_t x, std::int32_t y) const;
    bool SelectionIsValid() const { return pSelection != nullptr; }
    bool SelectionToHRGN(HRGN& region);

    // alpha
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(BYTE level);
    void AlphaSet(std::int32_t x, std::int32_t y, BYTE level);
    bool AlphaSet(CImageContainer& from);
    BYTE AlphaGet(std::int32_t x, std::int32_t y) const;
    BYTE* AlphaGetPointer(std::int32_t x = 0, std::int32_t y = 0);
    void AlphaInvert();
    bool AlphaCopy(const CImageContainer& from);
    bool AlphaFlip();
    bool AlphaMirror();
    bool AlphaIsValid() const { return pAlpha != nullptr; }
    BYTE AlphaGetMax() const { return info.nAlphaMax; }
    void AlphaSetMax(BYTE nAlphaMax) { info.nAlphaMax = nAlphaMax; }
    void AlphaPaletteEnable(bool enable = true) { info.bAlphaPaletteEnabled = enable; }
    bool AlphaPaletteIsEnabled() const { return info.bAlphaPaletteEnabled; }
    bool AlphaPaletteIsValid() const;
    void AlphaPaletteClear();
    bool AlphaPaletteSplit(CImageContainer* dest);
    bool AlphaSplit(CImageContainer* dest);
    bool AlphaFromTransparency();
    void AlphaStrip();

    // layers
    bool LayerCreate(std::int32_t position = -1);
    bool LayerDelete(std::int32_t position = -1);
    void LayerDeleteAll();
    CImageContainer* GetLayer(std::int32_t position) const;
    std::int32_t GetNumLayers() const { return info.nNumLayers; }
    CImageContainer* GetParent() const { return info.pParent; }

protected:
    void Startup(DWORD imagetype);
    void CopyInfo(const CImageContainer& src);
    void Ghost(const CImageContainer* from);
    void RGBtoBGR(BYTE* buffer, int length);
    static long CompareColors(const void* elem1, const void* elem2);
    void Bitfield2RGB(const BYTE* src, DWORD redmask, DWORD greenmask, DWORD bluemask, BYTE bpp);
    void bihtoh(BITMAPINFOHEADER* bih) const;
    std::int32_t ntohl(std::int32_t dword) const;
    std::uint16_t ntohs(std::uint16_t word) const;

    RGBQUAD BlindGetPixelColor(std::int32_t x, std::int32_t y, bool bGetAlpha = true);
    BYTE BlindGetPixelIndex(std::int32_t x, std::int32_t y);
    BYTE* BlindGetPixelPointer(std::int32_t x, std::int32_t y);
    void BlindSetPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, bool bSetAlpha = false);
    void BlindSetPixelIndex(std::int32_t x, std::int32_t y, BYTE i);
    void SelectionSet(std::int32_t x, std::int32_t y, BYTE level);
    BYTE BlindSelectionGet(std::int32_t x, std::int32_t y) const;
    bool BlindSelectionIsInside(std::int32_t x, std::int32_t y) const;
    BYTE BlindAlphaGet(std::int32_t x, std::int32_t y) const;

    void* pDib = nullptr;
    BITMAPINFOHEADER head{};
    IMAGEINFO info{};
    BYTE* pSelection = nullptr;
    BYTE* pAlpha = nullptr;
    CImageContainer** ppLayers = nullptr;
    CImageContainer** ppFrames = nullptr;

private:
    std::size_t PlaneSize() const;
    std::size_t PlaneIndex(std::int32_t x, std::int32_t y) const;
    void SetError(const char* text);
    void ResetSelectionBox();
    void GrowSelectionBox(std::int32_t left, std::int32_t bottom, std::int32_t rightExcl,
                          std::int32_t topExcl);
    bool EnsureSelection();
    bool SplitPlane(const BYTE* plane, CImageContainer* dest);
    bool CreateFromRows(DWORD dwWidth, DWORD dwHeight, DWORD dwBitsperpixel, DWORD dwBytesperline,
                        bool bFlipImage, const std::function<const BYTE*(DWORD)>& sourceRow);
    void AdoptLayers(CImageContainer** layers, std::int32_t count);
    DWORD UnDumpChecked(const BYTE* src, std::size_t length, int depth);
    // The bytes of the dump from this depth on; false when it nests too deep or grows too large.
    bool DumpBytes(int depth, std::size_t& bytes) const;
    DWORD DumpTo(BYTE* dst) const;

    // Entries in ppFrames; kept apart from the frame count of the bookkeeping block, which codecs and
    // copies may change while the array stays as it is.
    std::int32_t m_frameArrayCount = 0;
};
