// A panel that shows either a bitmap stretched over its whole area (panels whose picture the screens swap at
// run time, such as the round-win marks) or word-wrapped text over a solid, gradient or see-through
// background. It takes a dropped ".bmp" file, and can be moved with the right mouse button when movable.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QImage>
#include <QLabel>
#include <QUrl>

#include <functional>
#include <vector>

class CPanelStatic : public QLabel {
    Q_OBJECT
public:
    explicit CPanelStatic(QWidget* parent = nullptr);

    // Bitmap mode with this picture (kept by the panel), repainted.
    void SetBitmap(const QImage& bitmap);
    // The bitmap of the catalogue (app/PngResource.h); false, and nothing changes, when it does not load.
    bool SetBitmapFromResource(int id);
    // A bitmap file; false, and nothing changes, when it does not load.
    bool SetBitmapFromFile(const QString& path);
    // A font of the face (at most 31 characters), pixel height and weight (400 normal, 700 bold).
    void SetFontFace(const QString& face, int height, int weight);
    void CopyFont(const QFont* font);

    bool IsBitmapMode() const { return m_bBitmapMode; }
    int BitmapResourceId() const { return m_nBitmapId; }
    const QImage& Bitmap() const { return m_bitmap; }
    int FontSize() const { return m_nFontSize; }

    // Written by the owner, then repainted.
    COLORREF m_crText;
    COLORREF m_crBack;
    COLORREF m_crGradStart;
    COLORREF m_crGradEnd;
    int m_nGradient = 0; // 0 none, 1 horizontal, any other vertical
    bool m_bTransparent = false;
    bool m_bAutoFit = false;
    bool m_bWordWrap = true;
    bool m_b3DText = false;
    bool m_bRaised = false;
    bool m_bMovable = false;

    // Files dropped on the panel: only a single ".bmp" file is taken (loaded as the bitmap); true then.
    bool DropFiles(const QList<QUrl>& files);

    // The text cut into lines as the panel draws it: at CR LF or LF CR (the pair dropped) and, whenever the
    // text taken so far is wider than `width`, at its last space (dropped) or, when it has none or ends in
    // one, before the character that made it too wide (a line ending in a space keeps it).
    static std::vector<QString> WrapLines(const QString& text, int width,
                                          const std::function<int(const QString&)>& measure);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_bBitmapMode = false;
    int m_nBitmapId = -1;
    QString m_strBitmapFile;
    QImage m_bitmap;
    QString m_strFace;
    int m_nFontWeight = 400;
    int m_nFontSize = 8;
    QPoint m_dragFrom;
    bool m_bDragging = false;
};
