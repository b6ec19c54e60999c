// A picture control for the nations' flags: shows a picture file scaled to a given size. A GIF with more
// than one image plays as an animation on a timer of its own, each frame for its own delay and with its
// disposal; any other picture (PNG, a single-image GIF, a bitmap) is shown still. The control cuts an
// animated GIF into single-image GIF files itself (controls/GifBlocks.h) and lets Qt's image reader decode
// each one. Frames are composed off screen and the control only copies the composition when it paints.
//
// Thread: user-interface thread only. The animation's timer runs on the same thread, so the composition is
// never written while it is painted.
#pragma once

#include "controls/GifBlocks.h"
#include "platform/WindowMessages.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <vector>

class CPictureEx : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    static constexpr UINT_PTR kAnimationTimer = 1;

    explicit CPictureEx(QWidget* parent = nullptr);
    ~CPictureEx() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    // Reads the file and loads it for a display of width x height (the control takes that size). FALSE
    // when the file cannot be read or holds no picture; the control is then empty.
    BOOL Load(const QString& path, int width, int height);
    // The same from bytes in memory.
    BOOL LoadFromMemory(const QByteArray& data, int width, int height);
    // A still picture is composed and shown (TRUE). An animation starts playing and FALSE is returned, as
    // nothing is shown yet by the call itself. FALSE when nothing is loaded.
    BOOL Draw();
    // Stops the animation where it is.
    void Stop();
    // Stops and forgets everything loaded.
    void UnLoad();

    bool IsGif() const { return m_bIsGif; }
    bool IsPlaying() const { return m_bPlaying; }
    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    int CurrentFrame() const { return m_nCurrentFrame; }
    // How long frame i stays, in ms: the delay times 10 above 4 hundredths, else (or without a delay) 100.
    int FrameDelayMs(int frame) const;
    // The composition the control shows; null before a Draw.
    const QImage& Surface() const { return m_surface; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct FrameImage {
        GifBlocks::Frame block;
        QImage picture; // the frame's own pixels, frame-sized
    };

    bool PrepareSurface();
    void RenderFrame();
    void DisposeFrame();
    QRect ToDisplay(const QRect& picture) const;

    QSize m_display;     // the size asked for; every picture is scaled to it
    QSize m_picture;     // the GIF's logical screen, or the still picture's size
    QColor m_background; // for disposals and between loops
    QImage m_still;      // a still picture
    std::vector<FrameImage> m_frames;
    QImage m_surface; // the composition
    QImage m_saved;   // the area under a frame whose disposal restores the previous picture
    int m_nCurrentFrame = 0;
    bool m_bIsGif = false;
    bool m_bPlaying = false;
};
