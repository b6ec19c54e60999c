// A picture control for the nations' flags: shows a picture file scaled to a given size. A GIF with more
// than one image plays as an animation on a timer of its own, each frame for its own delay and with its
// disposal; any other picture (PNG, a single-image GIF, a bitmap) is shown still. The pictures are decoded
// within bounds that refuse a file claiming more than a flag needs (controls/FlagPicture.h). Frames are
// composed off screen and the control only copies the composition when it paints.
//
// Thread: user-interface thread only. The animation's timer runs on the same thread, so the composition is
// never written while it is painted. LoadInBackground reads and decodes on a worker of the control's own
// (controls/FlagPictureReader.h), which is stopped and joined when the control goes.
#pragma once

#include "controls/FlagPicture.h"
#include "controls/FlagPictureReader.h"
#include "platform/WindowMessages.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <memory>
#include <vector>

class CAnimatedPicture : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    static constexpr UINT_PTR kAnimationTimer = 1;

    explicit CAnimatedPicture(QWidget* parent = nullptr);
    ~CAnimatedPicture() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    // Reads the file and loads it for a display of width x height (the control takes that size). FALSE
    // when the file cannot be read or holds no picture; the control is then empty.
    BOOL Load(const QString& path, int width, int height);
    // The same from bytes in memory.
    BOOL LoadFromMemory(const QByteArray& data, int width, int height);
    // Loads the file for a display of width x height without waiting for it: at once when its picture was
    // read before and is unchanged, else on the control's reader. The control takes that size now; once the
    // picture is there it is drawn (as Draw does) and pictureReady(true) is sent, or for a file that cannot
    // be shown the control is emptied and pictureReady(false) is sent. A later load or UnLoad forgets it.
    void LoadInBackground(const QString& path, int width, int height);
    bool IsLoading() const { return m_bLoading; }
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

signals:
    // A picture loaded in the background is drawn (true), or could not be shown (false).
    void pictureReady(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    using FrameImage = FlagPictures::Frame;
    // The message of the reader's finished requests; the request's number in wParam.
    static constexpr UINT kPictureRead = WM_USER + 1;

    BOOL Show(const FlagPictures::Picture& picture);
    void OnPictureRead(int request);
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
    bool m_bLoading = false;
    int m_nRequest = 0; // the background load the control waits for; others are stale
    std::unique_ptr<CFlagPictureReader> m_pReader;
};
