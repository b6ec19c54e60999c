// A list of pictures of one size addressed by index, for controls that show small images beside their
// text (the grid's cells). The control that uses a list does not own it.
//
// Thread: user-interface thread only.
#pragma once

#include <QPixmap>
#include <QSize>

#include <vector>

class QPainter;

class CImageList {
public:
    CImageList(int width, int height) : m_size(width, height) {}

    // Adds a picture, scaled to the list's size when it has another; its index, or -1 for an empty picture.
    int Add(const QPixmap& image);
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    bool HasImage(int index) const { return index >= 0 && index < GetImageCount(); }
    QSize GetImageSize() const { return m_size; }
    // Draws image index with its top-left corner at point; false for an index the list does not know.
    bool Draw(QPainter& painter, int index, QPoint point) const;

private:
    QSize m_size;
    std::vector<QPixmap> m_images;
};
