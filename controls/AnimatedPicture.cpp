#include "controls/AnimatedPicture.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

const QColor kButtonFace(240, 240, 240);

} // namespace

CAnimatedPicture::CAnimatedPicture(QWidget* parent) : QWidget(parent), m_background(Qt::white) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CAnimatedPicture::~CAnimatedPicture() {
    m_pReader.reset(); // joined before the window it posts to goes
    DestroyWindow();
}

LRESULT CAnimatedPicture::WindowProc(UINT message, WPARAM wParam, LPARAM) {
    if (message == kPictureRead)
        OnPictureRead(static_cast<int>(wParam));
    return 0;
}

BOOL CAnimatedPicture::Load(const QString& path, int width, int height) {
    UnLoad();
    m_display = QSize(std::max(width, 0), std::max(height, 0));
    if (const std::shared_ptr<const FlagPictures::Picture> kept = FlagPictures::Kept(path))
        return Show(*kept);
    const std::optional<FlagPictures::Picture> picture = FlagPictures::Read(path);
    if (!picture) {
        UnLoad();
        return FALSE;
    }
    return Show(*picture);
}

BOOL CAnimatedPicture::LoadFromMemory(const QByteArray& data, int width, int height) {
    UnLoad();
    m_display = QSize(std::max(width, 0), std::max(height, 0));
    const std::optional<FlagPictures::Picture> picture = FlagPictures::Decode(data);
    if (!picture) {
        UnLoad();
        return FALSE;
    }
    return Show(*picture);
}

void CAnimatedPicture::LoadInBackground(const QString& path, int width, int height) {
    UnLoad();
    m_display = QSize(std::max(width, 0), std::max(height, 0));
    resize(m_display);
    if (const std::shared_ptr<const FlagPictures::Picture> kept = FlagPictures::Kept(path)) {
        const bool shown = Show(*kept) && (Draw() || IsPlaying());
        emit pictureReady(shown);
        return;
    }
    if (!m_pReader)
        m_pReader = std::make_unique<CFlagPictureReader>(GetSafeHwnd(), kPictureRead);
    m_bLoading = true;
    m_pReader->Request(path, m_nRequest);
}

void CAnimatedPicture::OnPictureRead(int request) {
    if (!m_pReader || !m_bLoading || request != m_nRequest)
        return; // a load that was given up
    m_bLoading = false;
    const std::shared_ptr<const FlagPictures::Picture> picture = m_pReader->Take(request);
    const bool shown = picture && Show(*picture) && (Draw() || IsPlaying());
    if (!shown)
        UnLoad();
    emit pictureReady(shown);
}

BOOL CAnimatedPicture::Show(const FlagPictures::Picture& picture) {
    m_bIsGif = picture.isGif;
    m_picture = picture.size;
    if (picture.background >= 0)
        m_background = QColor::fromRgb(static_cast<QRgb>(picture.background));
    if (picture.still.isNull()) {
        m_frames = picture.frames;
    } else {
        m_still = picture.still;
    }
    if (m_frames.empty() && m_still.isNull()) {
        UnLoad();
        return FALSE;
    }
    return PrepareSurface() ? TRUE : FALSE;
}

bool CAnimatedPicture::PrepareSurface() {
    resize(m_display);
    if (m_display.isEmpty())
        return false;
    m_surface = QImage(m_display, QImage::Format_ARGB32_Premultiplied);
    m_background = kButtonFace;
    m_surface.fill(m_background);
    return true;
}

BOOL CAnimatedPicture::Draw() {
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

int CAnimatedPicture::FrameDelayMs(int frame) const {
    if (frame < 0 || frame >= FrameCount())
        return 0;
    const int delay = m_frames[frame].block.delay;
    return delay > 4 ? delay * 10 : 100;
}

QRect CAnimatedPicture::ToDisplay(const QRect& picture) const {
    if (m_picture.isEmpty())
        return picture;
    const double sx = double(m_display.width()) / m_picture.width();
    const double sy = double(m_display.height()) / m_picture.height();
    return QRectF(picture.x() * sx, picture.y() * sy, picture.width() * sx, picture.height() * sy)
        .toAlignedRect();
}

void CAnimatedPicture::RenderFrame() {
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

void CAnimatedPicture::DisposeFrame() {
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

void CAnimatedPicture::OnTimer(UINT_PTR id) {
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

void CAnimatedPicture::Stop() {
    KillTimer(kAnimationTimer);
    m_bPlaying = false;
}

void CAnimatedPicture::UnLoad() {
    Stop();
    ++m_nRequest; // a background load under way is forgotten
    m_bLoading = false;
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

void CAnimatedPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_surface.isNull())
        painter.fillRect(rect(), kButtonFace);
    else
        painter.drawImage(QPoint(0, 0), m_surface);
}
