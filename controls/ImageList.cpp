#include "controls/ImageList.h"

#include <QPainter>

int CImageList::Add(const QPixmap& image) {
    if (image.isNull() || m_size.isEmpty())
        return -1;
    m_images.push_back(image.size() == m_size
                           ? image
                           : image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return GetImageCount() - 1;
}

bool CImageList::Draw(QPainter& painter, int index, QPoint point) const {
    if (!HasImage(index))
        return false;
    painter.drawPixmap(point, m_images[static_cast<size_t>(index)]);
    return true;
}
