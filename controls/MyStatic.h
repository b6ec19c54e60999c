// A single-line label with its own text, colours, font and draw format, painted in one pass (no flicker):
// the whole control in the fill colour, the text cells in the text background colour, the text in the text
// colour. The screens change its text through SetText.
//
// Thread: user-interface thread only.
#pragma once

#include "controls/MyStaticPictures.h"
#include "platform/WinTypes.h"

#include <QLabel>

// Draw-format bits of the label (the values its owners write).
namespace DrawFormat {
constexpr UINT Left = 0x00;
constexpr UINT Center = 0x01;
constexpr UINT Right = 0x02;
constexpr UINT VCenter = 0x04;
constexpr UINT Bottom = 0x08;
constexpr UINT WordBreak = 0x10;
constexpr UINT SingleLine = 0x20;
// The Qt alignment and text flags of a draw format.
int ToQt(UINT format);
} // namespace DrawFormat

class CMyStatic : public QLabel {
    Q_OBJECT
public:
    explicit CMyStatic(QWidget* parent = nullptr);

    // Stores the text and repaints the label if it changed.
    void SetText(const QString& text);

    const QFont* m_pFont = nullptr; // not owned; null: the parent's font
    COLORREF m_crTextBk = 0xFFFFFF; // behind the text's own cells
    COLORREF m_crText = 0x000000;   // the text
    COLORREF m_crFill = 0xFFFFFF;   // the whole control
    UINT m_nFormat = DrawFormat::Center | DrawFormat::VCenter | DrawFormat::SingleLine;

    // The colours in one call, then a repaint.
    void SetColours(COLORREF text, COLORREF back);

    // What the label shows now: its text, font, format, size and colours.
    CStaticPictures::Look CurrentLook() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
