// Pictures compiled into the program (resources/images.qrc), found by the ids of resources/ImageIds.h.
#pragma once

#include <QImage>
#include <QString>

#include <memory>

// The PNG picture with this id, or null when no picture has the id or its bytes are not a decodable PNG.
// The pictures are the compiled-in files of resources/images.qrc and the drawn catalogue of
// resources/Artwork.h. Thread: any (QImage, unlike QPixmap, may be used off the UI thread).
std::unique_ptr<QImage> LoadPngResource(int id);
// The bitmap, icon and cursor pictures of the catalogue by id (each kind has ids of its own); null for an
// id it does not have. Thread: any.
std::unique_ptr<QImage> LoadBitmapResource(int id);
std::unique_ptr<QImage> LoadIconResource(int id);
std::unique_ptr<QImage> LoadCursorResource(int id);

// The PNG picture at a resource (":/...") or file path; null when it is missing or not a decodable PNG.
// Thread: any.
std::unique_ptr<QImage> LoadPngFile(const QString& path);
