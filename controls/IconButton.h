// The owner-drawn push button of the whole user interface: an image (icon or bitmap with a transparent
// colour) beside, above, right of or under an optional caption, six state colours, a flat look that shows its
// border only while the pointer is over it, a check-box mode, a hover cursor and a pressed-image offset.
// The parent handles clicks as for any button (the clicked signal). Two kinds change only the background and
// the border: CShadeButton (shade pictures, which this program never fills, so the parent shows through)
// and CFlatButton (a rounded or square outline filled with the hover colour while hovered or pressed).
//
// A button without a caption must be given a tool tip (SetTooltipText), which is also its accessible name.
//
// Thread: user-interface thread only.
#pragma once

#include "controls/OwnerMenu.h"
#include "platform/WinTypes.h"

#include <QImage>
#include <QPushButton>

#include <optional>

class CIconButton : public QPushButton {
    Q_OBJECT
public:
    explicit CIconButton(QWidget* parent = nullptr);
    ~CIconButton() override;

    // Indexes of the six colours.
    enum ColourIndex { BkIn = 0, FgIn = 1, BkOut = 2, FgOut = 3, BkFocus = 4, FgFocus = 5 };
    // Image alignment against the caption.
    enum Align : unsigned char { ImageLeft = 0, ImageAbove = 1, ImageRight = 2, ImageOverlap = 3 };
    // What the "out" image (shown when neither hovered nor pressed) is.
    enum class OutImage { Given, None, Greyed, Darker };

    // Icons (images with their own alpha). Returns 0, or 1 when the in icon is empty (all images freed).
    int SetIcon(const QImage& in, OutImage outKind = OutImage::None, const QImage& out = {});
    // Bitmaps with a transparent colour (COLORREF). A derived out bitmap uses the in colour. Returns 0, 1
    // when the in bitmap is empty, 2 when its mask cannot be made (all images freed in both cases).
    int SetBitmaps(const QImage& in, COLORREF inTransparent, OutImage outKind = OutImage::None,
                   const QImage& out = {}, COLORREF outTransparent = 0);
    // The bitmap of the catalogue by id (app/PngResource.h) with no out bitmap.
    int SetBitmapsFromResource(int id, COLORREF transparent);
    // 0: pressed offset (1, 1); 1: (0, 2); any other value returns 6 and changes nothing. No repaint.
    int SetPressedStyle(int style);
    // Brightens the background-in colour: every channel is raised by the smallest headroom (30 below 226,
    // else 255 minus the channel). Returns 0.
    int OffsetColor();
    // The hover cursor (cursor 401 of the catalogue); nonzero when it did not load.
    int SetBtnCursor();
    // The tool tip and the accessible name: what the button does.
    void SetTooltipText(const QString& text);

    // Check-box mode: each click toggles the check state. SetCheck with 1 or 2 checks, else unchecks.
    void SetCheck(int state);
    int GetCheck() const { return isChecked() ? 1 : 0; }

    // Colours and looks the owner writes directly, then repaints.
    COLORREF m_crColors[6];
    unsigned char m_byAlign = ImageLeft;
    bool m_bIsFlat = true;
    bool m_bDrawBorder = true;
    bool m_bDrawFlatFocus = false;
    bool m_bRoundedBackground = false;
    bool m_bDrawTransparent = false;
    bool m_bShowDisabledBitmap = true;
    QPoint m_ptImageOrg{3, 3};
    QPoint m_ptPressedOffset{1, 1};
    bool m_bAlwaysTrack = true;
    COwnerMenu m_menuPopup; // the optional drop-down menu; this program gives it no items

    bool IsHovering() const { return m_bMouseOnButton; }
    bool IsCheckBox() const { return isCheckable(); }
    void SetCheckBoxMode(bool on);
    // The image that a paint in this state shows (the out image when there is one and the button is neither
    // pressed nor hovered; in check-box mode, when not checked), or null when there is none.
    const QImage* ShownImage(bool pressed) const;
    // The cached colour and grey derivations (for tests and the disabled look).
    static QImage Greyed(const QImage& image, std::optional<QRgb> transparent);
    static QImage Darker(const QImage& image, std::optional<QRgb> transparent);

    // Where the image goes for an item rectangle, and how the caption rectangle shrinks around it.
    struct Layout {
        QRect image;
        QRect caption;
    };
    static Layout ImageLayout(unsigned char align, bool hasCaption, const QRect& item, QSize image,
                              QPoint origin, bool shiftPressed, QPoint pressedOffset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    // One paint, in the order of the parts: background, border, image, text, focus.
    bool IsPressedLook() const;
    virtual void PaintBackground(QPainter& painter, const QRect& item, bool pressed);
    virtual void PaintBorder(QPainter& painter, const QRect& item, bool pressed);
    void PaintImage(QPainter& painter, const QRect& item, QRect& caption, bool pressed);
    void PaintText(QPainter& painter, QRect caption, bool pressed);
    void CancelHover();

    bool m_bMouseOnButton = false;

private:
    void FreeImages();

    // in (hovered or pressed) and out images; bitmaps are turned into images with the transparent colour made
    // fully transparent.
    QImage m_in;
    QImage m_out;
    QCursor* m_pHoverCursor = nullptr;
};

// The shade-picture button: its background is the shade picture of the state (index 0 normal, 3 hover), which
// nothing in this program fills; with none, nothing is painted there and the parent shows through.
class CShadeButton : public CIconButton {
    Q_OBJECT
public:
    using CIconButton::CIconButton;
    QImage m_shade[6];

protected:
    void PaintBackground(QPainter& painter, const QRect& item, bool pressed) override;
};

// The outlined button: while hovered or pressed, a black-outlined rectangle (rounded 8 x 8 on request) filled
// with the background-in colour; otherwise the plain background. No border of its own.
class CFlatButton : public CIconButton {
    Q_OBJECT
public:
    using CIconButton::CIconButton;
    bool m_bRounded = false;

protected:
    void PaintBackground(QPainter& painter, const QRect& item, bool pressed) override;
    void PaintBorder(QPainter& painter, const QRect& item, bool pressed) override;
};
