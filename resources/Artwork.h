// The program's pictures. Every picture is drawn by code in this folder (resources/Artwork*.cpp) the first
// time it is asked for, at the size its screen uses, in one palette: Chung blue, Hong red, white captions,
// yellow highlights on dark panels. Nothing is read from disk.
//
// A picture is named as the screens name it: a kind and a numeric id. The kinds are separate name spaces, as
// PNG, bitmap, icon and cursor resources are (bitmap 1028 and PNG 1028 are different pictures). Load them
// through app/PngResource.h (LoadPngResource, LoadBitmapResource, LoadIconResource, LoadCursorResource).
//
// Thread: any (a mutex guards the cache; QImage may be drawn off the UI thread).
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <span>

enum class ImageKind { Png, Bitmap, Icon, Cursor };

// One picture of the catalogue.
struct ArtworkEntry {
    ImageKind kind;
    int id;
    QSize size;
    const char* what; // what the picture shows, for the catalogue sheet and the tests
    QString says;     // the words written on it, lines parted by "\n"; empty for a picture without words
};

// Every picture the program has, ids unique per kind.
std::span<const ArtworkEntry> ArtworkCatalogue();

// The words written on the picture of the kind and id; empty for one without words or not in the catalogue.
QString ArtworkSays(ImageKind kind, int id);

// The picture of the kind and id, drawn once and kept; a null image for an id the catalogue does not have.
QImage Artwork(ImageKind kind, int id);

// The palette of the pictures, also used by the screens that draw around them.
namespace ArtworkColours {
inline constexpr unsigned Chung = 0xFF0B5BB2;     // RGB(11, 91, 178)
inline constexpr unsigned Hong = 0xFFBD1F30;      // RGB(189, 31, 48)
inline constexpr unsigned Yellow = 0xFFFFFF00;    // highlights
inline constexpr unsigned Panel = 0xFF1C2230;     // dark panels
inline constexpr unsigned PanelEdge = 0xFF3A4458; // their frames
} // namespace ArtworkColours
