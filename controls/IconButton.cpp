#include "controls/IconButton.h"

#include "app/ColorRef.h"
#include "app/PngResource.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>

namespace {

COLORREF RefFromColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

QRgb RgbFromRef(COLORREF colour) {
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// The platform's button colours stand for the system colours of a button face and its text.
QColor Sys(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

// A bitmap with its transparent colour made fully transparent.
QImage Masked(const QImage& bitmap, QRgb transparent) {
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == (transparent & 0x00FFFFFF))
                line[x] = 0;
    }
    return image;
}

template <typename Op> QImage Recolour(const QImage& source, std::optional<QRgb> transparent, Op op) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            if (transparent && (p & 0x00FFFFFF) == (*transparent & 0x00FFFFFF))
                continue;
            line[x] = op(p);
        }
    }
    return image;
}

} // namespace

CIconButton::CIconButton(QWidget* parent) : QPushButton(parent) {
    const COLORREF face = RefFromColor(Sys(QPalette::Button));
    const COLORREF text = RefFromColor(Sys(QPalette::ButtonText));
    for (int i = 0; i < 6; ++i)
        m_crColors[i] = i % 2 == 0 ? face : text;
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

CIconButton::~CIconButton() {
    delete m_pHoverCursor;
}

void CIconButton::FreeImages() {
    m_in = QImage();
    m_out = QImage();
}

QImage CIconButton::Greyed(const QImage& image, std::optional<QRgb> transparent) {
    return Recolour(image, transparent, [](QRgb p) {
        if ((p & 0x00FFFFFF) == 0)
            return p; // black stays black
        const int g = static_cast<int>(0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p));
        return qRgba(g, g, g, qAlpha(p));
    });
}

QImage CIconButton::Darker(const QImage& image, std::optional<QRgb> transparent) {
    return Recolour(image, transparent, [](QRgb p) {
        const auto d = [](int c) { return static_cast<int>(c - 0.25 * c); };
        return qRgba(d(qRed(p)), d(qGreen(p)), d(qBlue(p)), qAlpha(p));
    });
}

int CIconButton::SetIcon(const QImage& in, OutImage outKind, const QImage& out) {
    FreeImages();
    if (in.isNull()) {
        update();
        return 1;
    }
    m_in = in.convertToFormat(QImage::Format_ARGB32);
    switch (outKind) {
    case OutImage::Given:
        m_out = out.isNull() ? QImage() : out.convertToFormat(QImage::Format_ARGB32);
        break;
    case OutImage::Greyed:
        m_out = Greyed(m_in, std::nullopt);
        break;
    case OutImage::Darker:
        m_out = Darker(m_in, std::nullopt);
        break;
    case OutImage::None:
        break;
    }
    update();
    return 0;
}

int CIconButton::SetBitmaps(const QImage& in, COLORREF inTransparent, OutImage outKind, const QImage& out,
                            COLORREF outTransparent) {
    FreeImages();
    if (in.isNull()) {
        update();
        return 1;
    }
    const QRgb inKey = RgbFromRef(inTransparent);
    switch (outKind) {
    case OutImage::Given:
        if (!out.isNull())
            m_out = Masked(out, RgbFromRef(outTransparent));
        break;
    case OutImage::Greyed:
        m_out = Masked(Greyed(in, inKey), inKey);
        break;
    case OutImage::Darker:
        m_out = Masked(Darker(in, inKey), inKey);
        break;
    case OutImage::None:
        break;
    }
    m_in = Masked(in, inKey);
    if (m_in.isNull()) {
        FreeImages();
        update();
        return 2;
    }
    update();
    return 0;
}

int CIconButton::SetBitmapsFromResource(int id, COLORREF transparent) {
    const std::unique_ptr<QImage> bitmap = LoadBitmapResource(id);
    return SetBitmaps(bitmap ? *bitmap : QImage(), transparent);
}

int CIconButton::SetPressedStyle(int style) {
    if (style == 0)
        m_ptPressedOffset = {1, 1};
    else if (style == 1)
        m_ptPressedOffset = {0, 2};
    else
        return 6;
    return 0;
}

int CIconButton::OffsetColor() {
    COLORREF& colour = m_crColors[BkIn];
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    const auto headroom = [](int c) { return c < 226 ? 30 : 255 - c; };
    const int shift = std::min({headroom(r), headroom(g), headroom(b)});
    colour = RGB(r + shift, g + shift, b + shift);
    update();
    return 0;
}

int CIconButton::SetBtnCursor() {
    delete m_pHoverCursor;
    m_pHoverCursor = nullptr;
    unsetCursor();
    const std::unique_ptr<QImage> image = LoadCursorResource(401);
    if (!image)
        return 1;
    m_pHoverCursor = new QCursor(QPixmap::fromImage(*image), image->width() / 3, 2);
    setCursor(*m_pHoverCursor);
    return 0;
}

void CIconButton::SetTooltipText(const QString& text) {
    setToolTip(text);
    setAccessibleName(text);
}

void CIconButton::SetCheckBoxMode(bool on) {
    setCheckable(on);
    update();
}

void CIconButton::SetCheck(int state) {
    if (!isCheckable())
        return;
    setChecked(state == 1 || state == 2);
    update();
}

const QImage* CIconButton::ShownImage(bool pressed) const {
    if (m_in.isNull())
        return nullptr;
    const bool useOut = isCheckable() ? !pressed : !pressed && !m_bMouseOnButton;
    if (useOut && !m_out.isNull())
        return &m_out;
    return &m_in;
}

CIconButton::Layout CIconButton::ImageLayout(unsigned char align, bool hasCaption, const QRect& item,
                                             QSize image, QPoint origin, bool shiftPressed,
                                             QPoint pressedOffset) {
    Layout layout{QRect(item.topLeft(), image), item};
    const auto centreH = [&] { layout.image.moveLeft(item.left() + (item.width() - image.width()) / 2); };
    const auto centreV = [&] { layout.image.moveTop(item.top() + (item.height() - image.height()) / 2); };
    switch (align) {
    case ImageLeft:
        if (hasCaption) {
            layout.image.moveLeft(item.left() + origin.x());
            layout.caption.setLeft(layout.caption.left() + image.width() + origin.x());
        } else {
            centreH();
        }
        centreV();
        break;
    case ImageAbove:
        centreH();
        if (hasCaption) {
            layout.image.moveTop(item.top() + origin.y());
            layout.caption.setTop(layout.caption.top() + image.height());
        } else {
            centreV();
        }
        break;
    case ImageRight:
        if (hasCaption) {
            layout.caption.setRight(layout.caption.right() - (origin.x() + image.width()));
            layout.caption.setLeft(item.left() + origin.x());
            layout.image.moveLeft(item.right() + 1 - origin.x() - image.width());
        } else {
            centreH();
        }
        centreV();
        break;
    default:
        break; // the image keeps the top-left corner; the caption is centred over it
    }
    if (shiftPressed)
        layout.image.translate(pressedOffset);
    return layout;
}

bool CIconButton::IsPressedLook() const {
    return isCheckable() ? (isDown() || isChecked()) : isDown();
}

void CIconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect item = rect();
    const bool pressed = IsPressedLook();
    if (!m_bDrawTransparent)
        PaintBackground(painter, item, pressed);
    PaintBorder(painter, item, pressed);
    QRect caption = item;
    PaintImage(painter, item, caption, pressed);
    if (!text().isEmpty())
        PaintText(painter, caption, pressed);
    if ((!m_bIsFlat || m_bDrawFlatFocus) && hasFocus()) {
        QPen dots(Qt::black, 1, Qt::DotLine);
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(item.adjusted(3, 3, -4, -4));
    }
}

void CIconButton::PaintBackground(QPainter& painter, const QRect& item, bool pressed) {
    QRect r = item;
    if (!m_bIsFlat && (hasFocus() || isDefault())) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    COLORREF colour = m_crColors[BkOut];
    if (m_bMouseOnButton || pressed)
        colour = m_crColors[BkIn];
    else if (hasFocus())
        colour = m_crColors[BkFocus];
    if (m_bRoundedBackground) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ColorFromRef(colour));
        painter.drawRoundedRect(r, 4, 4);
    } else {
        painter.fillRect(r, ColorFromRef(colour));
    }
}

void CIconButton::PaintBorder(QPainter& painter, const QRect& item, bool pressed) {
    const QColor light = Sys(QPalette::Light), shadow = Sys(QPalette::Dark);
    const QRect r = item.adjusted(0, 0, -1, -1);
    const auto frame = [&](QColor topLeft, QColor bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    painter.setBrush(Qt::NoBrush);
    if (pressed) {
        if (!m_bIsFlat) {
            painter.setPen(shadow);
            painter.drawRect(r);
        } else if (m_bDrawBorder) {
            frame(shadow, light);
        }
        return;
    }
    if (!m_bIsFlat) {
        frame(light, Sys(QPalette::Shadow));
        painter.setPen(shadow);
        painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    } else if (m_bMouseOnButton && m_bDrawBorder) {
        frame(light, shadow);
    }
}

void CIconButton::PaintImage(QPainter& painter, const QRect& item, QRect& caption, bool pressed) {
    const QImage* image = ShownImage(pressed);
    if (!image)
        return;
    const Layout layout = ImageLayout(m_byAlign, !text().isEmpty(), item, image->size(), m_ptImageOrg,
                                      pressed && !isCheckable(), m_ptPressedOffset);
    caption = layout.caption;
    if (!isEnabled() && m_bShowDisabledBitmap) {
        // Disabled: a light grey impression of the picture.
        QImage grey = Greyed(*image, std::nullopt);
        painter.setOpacity(0.45);
        painter.drawImage(layout.image, grey);
        painter.setOpacity(1.0);
        return;
    }
    painter.drawImage(layout.image, *image);
}

void CIconButton::PaintText(QPainter& painter, QRect caption, bool pressed) {
    if (pressed && !isCheckable())
        caption.translate(m_ptPressedOffset);
    painter.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    if (!isEnabled()) {
        painter.setPen(Sys(QPalette::Light));
        painter.drawText(caption.translated(1, 1), flags, text());
        painter.setPen(Sys(QPalette::Dark));
        painter.drawText(caption, flags, text());
        return;
    }
    COLORREF colour = m_crColors[FgOut];
    if (m_bMouseOnButton || pressed)
        colour = m_crColors[FgIn];
    else if (hasFocus())
        colour = m_crColors[FgFocus];
    painter.setPen(ColorFromRef(colour));
    painter.drawText(caption, flags, text());
}

void CIconButton::CancelHover() {
    if (m_bIsFlat && m_bMouseOnButton) {
        m_bMouseOnButton = false;
        update();
    }
}

void CIconButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    // A flat button entered with the left button held does not start hovering.
    if (!m_bIsFlat || (QApplication::mouseButtons() & Qt::LeftButton))
        return;
    if (m_bAlwaysTrack || QApplication::activeWindow()) {
        m_bMouseOnButton = true;
        update();
    }
}

void CIconButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    if (!m_bIsFlat || m_bMouseOnButton || (QApplication::mouseButtons() & Qt::LeftButton) || !underMouse())
        return;
    if (m_bAlwaysTrack || QApplication::activeWindow()) {
        m_bMouseOnButton = true;
        update();
    }
}

void CIconButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    CancelHover();
}

void CIconButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    CancelHover();
}

void CIconButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        // The focus moves on to the next control of the window.
        if (hasFocus())
            focusNextPrevChild(true);
        CancelHover();
    } else if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        CancelHover();
    }
}

void CShadeButton::PaintBackground(QPainter& painter, const QRect&, bool pressed) {
    if (!m_bMouseOnButton)
        painter.drawImage(0, 0, m_shade[0]);
    else if (pressed)
        painter.drawImage(1, 1, m_shade[3]);
    else
        painter.drawImage(0, 0, m_shade[3]);
}

void CFlatButton::PaintBackground(QPainter& painter, const QRect& item, bool pressed) {
    if (!m_bMouseOnButton && !pressed) {
        CIconButton::PaintBackground(painter, item, pressed);
        return;
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ColorFromRef(m_crColors[BkIn]));
    const QRectF r = QRectF(item).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_bRounded)
        painter.drawRoundedRect(r, 4, 4);
    else
        painter.drawRect(r);
}

void CFlatButton::PaintBorder(QPainter&, const QRect&, bool) {}
