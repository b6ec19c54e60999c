#include "controls/PictureEx.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>

namespace {

const QColor kButtonFace(240, 240, 240);

} // namespace

CPictureEx::CPictureEx(QWidget* parent) : QWidget(parent), m_background(Qt::white) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CPictureEx::~CPictureEx() {
    DestroyWindow();
}

LRESULT CPictureEx::WindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

BOOL CPictureEx::Load(const QString& path, int width, int height) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        UnLoad();
        return FALSE;
    }
    return LoadFromMemory(file.readAll(), width, height);
}

BOOL CPictureEx::LoadFromMemory(const QByteArray& data, int width, int height) {
    UnLoad();
    m_display = QSize(std::max(width, 0), std::max(height, 0));
    if (GifBlocks::IsGif(data)) {
        m_bIsGif = true;
        m_picture = QSize(GifBlocks::ScreenWidth(data), GifBlocks::ScreenHeight(data));
        if (const int colour = GifBlocks::BackgroundColour(data); colour >= 0)
            m_background = QColor::fromRgb(static_cast<QRgb>(colour));
        const std::vector<GifBlocks::Frame> blocks = GifBlocks::Frames(data);
        if (blocks.empty()) {
            UnLoad();
            return FALSE;
        }
        if (blocks.size() > 1) {
            for (const GifBlocks::Frame& block : blocks) {
                QImage picture = QImage::fromData(GifBlocks::SingleImage(data, block), "GIF");
                if (picture.isNull())
                    continue; // a frame that does not decode is left out
                // The decoder gives the whole logical screen; the frame is its own rectangle of it.
                const QRect own(block.left, block.top, block.width, block.height);
                if (picture.size() == m_picture && !own.isEmpty() && own != QRect(QPoint(), m_picture))
                    picture = picture.copy(own);
                m_frames.push_back({block, picture.convertToFormat(QImage::Format_ARGB32)});
            }
            if (m_frames.empty()) {
                UnLoad();
                return FALSE;
            }
            return PrepareSurface() ? TRUE : FALSE;
        }
    }
    m_still = QImage::fromData(data);
    if (m_still.isNull()) {
        UnLoad();
        return FALSE;
    }
    if (!m_bIsGif)
        m_picture = m_still.size();
    return PrepareSurface() ? TRUE : FALSE;
}

bool CPictureEx::PrepareSurface() {
    resize(m_display);
    if (m_display.isEmpty())
        return false;
    m_surface = QImage(m_display, QImage::Format_ARGB32_Premultiplied);
    m_background = kButtonFace;
    m_surface.fill(m_background);
    return true;
}

BOOL CPictureEx::Draw() {
    if (m_surface.isNull())
        return FALSE;
    if (m_frames.size() > 1) {
        Stop();
        m_bPlaying = true;
        RenderFrame();
        SetTimer(kAnimationTimer, static_cast<UINT>(FrameDelayMs(m_nCurrentFrame)));
        return FALSE;
    }
    if (m_still.isNull())
        return FALSE;
    QPainter painter(&m_surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(), m_display), m_still);
    painter.end();
    update();
    return TRUE;
}

int CPictureEx::FrameDelayMs(int frame) const {
    if (frame < 0 || frame >= FrameCount())
        return 0;
    const int delay = m_frames[frame].block.delay;
    return delay > 4 ? delay * 10 : 100;
}

QRect CPictureEx::ToDisplay(const QRect& picture) const {
    if (m_picture.isEmpty())
        return picture;
    const double sx = double(m_display.width()) / m_picture.width();
    const double sy = double(m_display.height()) / m_picture.height();
    return QRectF(picture.x() * sx, picture.y() * sy, picture.width() * sx, picture.height() * sy)
        .toAlignedRect();
}

void CPictureEx::RenderFrame() {
    const FrameImage& frame = m_frames[m_nCurrentFrame];
    const QRect at =
        ToDisplay(QRect(frame.block.left, frame.block.top, frame.picture.width(), frame.picture.height()));
    if (frame.block.disposal == 3)
        m_saved = m_surface.copy(at);
    QPainter painter(&m_surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(at, frame.picture);
    painter.end();
    update();
}

void CPictureEx::DisposeFrame() {
    const FrameImage& frame = m_frames[m_nCurrentFrame];
    const QRect at =
        ToDisplay(QRect(frame.block.left, frame.block.top, frame.picture.width(), frame.picture.height()));
    QPainter painter(&m_surface);
    if (frame.block.disposal == 2) {
        painter.fillRect(at, m_background);
    } else if (frame.block.disposal == 3 && !m_saved.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(at.topLeft(), m_saved);
        m_saved = QImage();
    }
}

void CPictureEx::OnTimer(UINT_PTR id) {
    if (id != kAnimationTimer || !m_bPlaying || m_frames.size() < 2)
        return;
    DisposeFrame();
    if (++m_nCurrentFrame >= FrameCount()) {
        m_nCurrentFrame = 0;
        QPainter(&m_surface).fillRect(QRect(QPoint(), m_display), m_background);
    }
    RenderFrame();
    SetTimer(kAnimationTimer, static_cast<UINT>(FrameDelayMs(m_nCurrentFrame)));
}

void CPictureEx::Stop() {
    KillTimer(kAnimationTimer);
    m_bPlaying = false;
}

void CPictureEx::UnLoad() {
    Stop();
    m_still = QImage();
    m_frames.clear();
    m_surface = QImage();
    m_saved = QImage();
    m_picture = QSize();
    m_display = QSize();
    m_nCurrentFrame = 0;
    m_bIsGif = false;
    m_background = Qt::white;
}

void CPictureEx::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_surface.isNull())
        painter.fillRect(rect(), kButtonFace);
    else
        painter.drawImage(QPoint(0, 0), m_surface);
}
