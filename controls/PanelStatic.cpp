#include "controls/PanelStatic.h"

#include "app/ColorRef.h"
#include "app/PngResource.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace {

COLORREF RefOf(QPalette::ColorRole role) {
    const QColor c = QApplication::palette().color(QPalette::Active, role);
    return RGB(c.red(), c.green(), c.blue());
}

// The single dropped file, when it is a ".bmp" file.
QString DroppedBitmap(const QList<QUrl>& files) {
    if (files.size() != 1)
        return {};
    const QString path = files.first().toLocalFile().left(259);
    return QFileInfo(path).suffix().compare(QStringLiteral("bmp"), Qt::CaseInsensitive) == 0 ? path
                                                                                             : QString();
}

} // namespace

CPanelStatic::CPanelStatic(QWidget* parent) : QLabel(parent) {
    m_crText = RefOf(QPalette::WindowText);
    m_crBack = RefOf(QPalette::Button);
    m_crGradStart = m_crBack;
    m_crGradEnd = m_crBack;
    setAcceptDrops(true);
}

void CPanelStatic::SetBitmap(const QImage& bitmap) {
    m_bBitmapMode = true;
    m_bitmap = bitmap;
    update();
}

bool CPanelStatic::SetBitmapFromResource(int id) {
    const std::unique_ptr<QImage> bitmap = LoadBitmapResource(id);
    if (!bitmap)
        return false;
    m_nBitmapId = id;
    m_strBitmapFile.clear();
    m_bTransparent = false;
    SetBitmap(*bitmap);
    return true;
}

bool CPanelStatic::SetBitmapFromFile(const QString& path) {
    QImage bitmap;
    if (!bitmap.load(path) || bitmap.isNull())
        return false;
    m_nBitmapId = -1;
    m_strBitmapFile = path;
    SetBitmap(bitmap);
    return true;
}

void CPanelStatic::SetFontFace(const QString& face, int height, int weight) {
    m_strFace = face.left(31);
    m_nFontSize = height;
    m_nFontWeight = weight;
    QFont font(m_strFace);
    font.setPixelSize(std::max(1, height));
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    setFont(font);
    update();
}

void CPanelStatic::CopyFont(const QFont* font) {
    if (!font)
        return;
    setFont(*font);
    m_strFace = font->family();
    m_nFontSize = font->pixelSize() > 0 ? font->pixelSize() : m_nFontSize;
    m_nFontWeight = font->bold() ? 700 : 400;
    update();
}

std::vector<QString> CPanelStatic::WrapLines(const QString& text, int width,
                                             const std::function<int(const QString&)>& measure) {
    std::vector<QString> lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if ((c == u'\r' && next == u'\n') || (c == u'\n' && next == u'\r')) {
            lines.push_back(current);
            current.clear();
            ++i;
            continue;
        }
        current += c;
        if (measure(current) <= width || current.size() < 2)
            continue;
        const qsizetype space = current.lastIndexOf(u' ');
        if (space > 0 && !current.endsWith(u' ')) {
            lines.push_back(current.left(space));
            current = current.mid(space + 1);
        } else if (current.endsWith(u' ')) {
            lines.push_back(current);
            current.clear();
        } else {
            lines.push_back(current.left(current.size() - 1));
            current = current.right(1);
        }
    }
    if (!current.isEmpty() || lines.empty())
        lines.push_back(current);
    return lines;
}

void CPanelStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = rect();
    if (m_bBitmapMode) {
        // Stretched from its rectangle one column and one row short of the whole bitmap.
        if (!m_bitmap.isNull())
            painter.drawImage(
                area, m_bitmap,
                QRect(0, 0, std::max(1, m_bitmap.width() - 1), std::max(1, m_bitmap.height() - 1)));
        m_bTransparent = false;
    } else if (!m_bTransparent) {
        if (m_nGradient != 0) {
            QLinearGradient gradient(area.topLeft(), m_nGradient == 1 ? area.topRight() : area.bottomLeft());
            gradient.setColorAt(0, ColorFromRef(m_crGradStart));
            gradient.setColorAt(1, ColorFromRef(m_crGradEnd));
            painter.fillRect(area, gradient);
        } else {
            painter.fillRect(area, ColorFromRef(m_crBack));
        }
    }
    if (text().isEmpty())
        return;
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const Qt::Alignment align = alignment();
    int flags = Qt::TextSingleLine;
    flags |= (align & Qt::AlignHCenter) ? Qt::AlignHCenter
             : (align & Qt::AlignRight) ? Qt::AlignRight
                                        : Qt::AlignLeft;
    const std::vector<QString> lines =
        m_bWordWrap
            ? WrapLines(text(), area.width(), [&](const QString& s) { return metrics.horizontalAdvance(s); })
            : std::vector<QString>{text()};
    const int lineHeight = metrics.height();
    const int freeHeight = area.height() - static_cast<int>(lines.size()) * lineHeight;
    if (m_bAutoFit && freeHeight < 0 && m_nFontSize > 1) {
        SetFontFace(m_strFace.isEmpty() ? font().family() : m_strFace, m_nFontSize - 1, m_nFontWeight);
    }
    int top = (align & Qt::AlignVCenter) ? area.top() + freeHeight / 2 : area.top();
    for (const QString& line : lines) {
        const QRect lineRect(area.left(), top, area.width(), lineHeight);
        if (m_b3DText) {
            painter.setPen(ColorFromRef(m_crText).darker(200));
            painter.drawText(lineRect.translated(m_bRaised ? 1 : -1, m_bRaised ? 1 : -1), flags, line);
        }
        painter.setPen(ColorFromRef(m_crText));
        painter.drawText(lineRect, flags, line);
        top += lineHeight;
    }
}

bool CPanelStatic::DropFiles(const QList<QUrl>& files) {
    const QString path = DroppedBitmap(files);
    return !path.isEmpty() && SetBitmapFromFile(path);
}

void CPanelStatic::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() && !DroppedBitmap(event->mimeData()->urls()).isEmpty())
        event->acceptProposedAction();
}

void CPanelStatic::dropEvent(QDropEvent* event) {
    if (event->mimeData() && DropFiles(event->mimeData()->urls()))
        event->acceptProposedAction();
}

void CPanelStatic::mousePressEvent(QMouseEvent* event) {
    if (m_bMovable && event->button() == Qt::RightButton) {
        m_dragFrom = event->position().toPoint();
        m_bDragging = true;
        return;
    }
    QLabel::mousePressEvent(event);
}

void CPanelStatic::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging) {
        move(pos() + event->position().toPoint() - m_dragFrom);
        return;
    }
    QLabel::mouseMoveEvent(event);
}

void CPanelStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (m_bDragging && event->button() == Qt::RightButton) {
        m_bDragging = false;
        return;
    }
    QLabel::mouseReleaseEvent(event);
}
