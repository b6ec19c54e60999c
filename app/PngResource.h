// Pictures compiled into the program (resources/images.qrc), found by the ids of resources/ImageIds.h.
#pragma once

#include <QImage>
#include <QString>

#include <memory>

// The PNG picture with this id, or null when no picture has the id or its bytes are not a decodable PNG.
// Thread: any (QImage, unlike QPixmap, may be used off the UI thread).
std::unique_ptr<QImage> LoadPngResource(int id);

// The PNG picture at a resource (":/...") or file path; null when it is missing or not a decodable PNG.
// Thread: any.
std::unique_ptr<QImage> LoadPngFile(const QString& path);
