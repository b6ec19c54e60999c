// The cells of the grid control: CDataGridCellBase (state bits, drawing and measuring, written against its
// own accessors), CDataGridCell (the ordinary cell that stores every attribute) and CDataGridDefaultCell (one
// per kind of position; its attributes stand in for every use-the-default value of an ordinary cell).
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class CGridModel;
class QPainter;
class QWidget;

// Cell state bits (shared with the grid's item-state calls).
constexpr UINT DGIS_FOCUSED = 0x01;
constexpr UINT DGIS_SELECTED = 0x02;
constexpr UINT DGIS_DROPHILITED = 0x04;
constexpr UINT DGIS_READONLY = 0x08;
constexpr UINT DGIS_FIXED = 0x10;
constexpr UINT DGIS_FIXEDROW = 0x20;
constexpr UINT DGIS_FIXEDCOL = 0x40;
constexpr UINT DGIS_MODIFIED = 0x80;

// Text format flags of a cell (the values of the platform's text drawing).
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
// Use the default cell's format.
constexpr UINT kDefaultFormat = 0xFFFFFFFF;
// Use the default cell's colour.
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
// Use the default cell's margin.
constexpr UINT kDefaultMargin = 0xFFFFFFFF;

// First character given to an editor opened by a mouse click or F2 (the left-button key code).
constexpr UINT VK_LBUTTON = 0x01;

class CDataGridCellBase {
public:
    CDataGridCellBase() = default;
    virtual ~CDataGridCellBase() = default;
    CDataGridCellBase(const CDataGridCellBase&) = delete;
    CDataGridCellBase& operator=(const CDataGridCellBase&) = delete;

    virtual void SetText(const QString& text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(LPARAM data) = 0;
    virtual void SetState(UINT state) { m_nState = state; }
    virtual void SetFormat(UINT format) = 0;
    virtual void SetTextClr(COLORREF colour) = 0;
    virtual void SetBackClr(COLORREF colour) = 0;
    // Null gives the cell back the default cell's font.
    virtual void SetFont(const QFont* font) = 0;
    virtual void SetMargin(UINT margin) = 0;
    virtual void SetGrid(CGridModel* grid) = 0;
    virtual void SetCoords(int /*row*/, int /*col*/) {}

    virtual QString GetText() const = 0;
    virtual QString GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual LPARAM GetData() const = 0;
    virtual UINT GetState() const { return m_nState; }
    virtual UINT GetFormat() const = 0;
    virtual COLORREF GetTextClr() const = 0;
    virtual COLORREF GetBackClr() const = 0;
    // The cell's own font, else its default cell's; null when neither exists.
    virtual const QFont* GetFont() const = 0;
    virtual CGridModel* GetGrid() const = 0;
    virtual QWidget* GetEditWnd() const = 0;
    virtual UINT GetMargin() const = 0;
    // The grid's default cell for this cell's kind (by its fixed-row and fixed-column bits).
    virtual CDataGridCellBase* GetDefaultCell() const;
    virtual bool IsDefaultFont() const = 0;
    virtual bool IsEditing() const = 0;
    // The size of the cell's picture when it has one the grid's image list knows.
    std::optional<QSize> ImageSize() const;

    bool IsFocused() const { return GetState() & DGIS_FOCUSED; }
    bool IsFixed() const { return GetState() & DGIS_FIXED; }
    bool IsFixedCol() const { return GetState() & DGIS_FIXEDCOL; }
    bool IsFixedRow() const { return GetState() & DGIS_FIXEDROW; }
    bool IsSelected() const { return GetState() & DGIS_SELECTED; }
    bool IsReadOnly() const { return GetState() & DGIS_READONLY; }
    bool IsModified() const { return GetState() & DGIS_MODIFIED; }
    bool IsDropHighlighted() const { return GetState() & DGIS_DROPHILITED; }

    // Copies the other cell's attributes (never its editor).
    virtual void Assign(const CDataGridCellBase& other);
    virtual void Reset() { m_nState = 0; }

    // Draws the cell into rect; false (nothing drawn) without a grid or for an empty rectangle.
    virtual bool Draw(QPainter& painter, int row, int col, QRect rect, bool erase = true);
    // The part of rect the text goes in (right of the image when the cell has one).
    virtual bool GetTextRect(QRect& rect) const;
    virtual bool GetTipTextRect(QRect& rect) const { return GetTextRect(rect); }
    // The size text needs in the cell's font with its margins; the default cell's size for empty text.
    virtual QSize GetTextExtent(const QString& text) const;
    virtual QSize GetCellExtent() const;

    // In-place editing: the ordinary cell opens its editor on the grid's viewport.
    virtual bool Edit(int /*row*/, int /*col*/, QRect /*rect*/, QPoint /*point*/, UINT /*id*/, UINT /*ch*/) {
        return false;
    }
    virtual bool ValidateEdit(const QString& /*text*/) { return true; }
    // The printed cell: its own or its kind's background, a thin frame, picture and text in the painter's
    // font; no focus or selection marks.
    virtual bool PrintCell(QPainter& painter, int row, int col, QRect rect);
    virtual void EndEdit() {}
    virtual void OnEndEdit() {}

    virtual void OnMouseEnter() {}
    virtual void OnMouseOver() {}
    virtual void OnMouseLeave() {}
    virtual void OnClick(QPoint) {}
    virtual void OnClickDown(QPoint) {}
    virtual void OnDblClick(QPoint) {}
    virtual void OnRClick(QPoint) {}

protected:
    // What lies inside the cell's margins: the picture, the sort arrow and the text, in text's colour.
    void DrawContent(QPainter& painter, int row, int col, QRect rect, const QColor& text) const;

private:
    UINT m_nState = 0;
};

class CDataGridCell : public CDataGridCellBase {
public:
    CDataGridCell() { Reset(); }
    ~CDataGridCell() override;

    void SetText(const QString& text) override { m_strText = text; }
    void SetImage(int image) override { m_nImage = image; }
    void SetData(LPARAM data) override { m_lParam = data; }
    void SetFormat(UINT format) override { m_nFormat = format; }
    void SetTextClr(COLORREF colour) override { m_crFgClr = colour; }
    void SetBackClr(COLORREF colour) override { m_crBkClr = colour; }
    void SetFont(const QFont* font) override;
    void SetMargin(UINT margin) override { m_nMargin = margin; }
    void SetGrid(CGridModel* grid) override { m_pGrid = grid; }

    QString GetText() const override { return m_strText; }
    int GetImage() const override { return m_nImage; }
    LPARAM GetData() const override { return m_lParam; }
    UINT GetFormat() const override;
    COLORREF GetTextClr() const override { return m_crFgClr; }
    COLORREF GetBackClr() const override { return m_crBkClr; }
    const QFont* GetFont() const override;
    CGridModel* GetGrid() const override { return m_pGrid; }
    QWidget* GetEditWnd() const override { return m_pEditWnd; }
    UINT GetMargin() const override;
    bool IsDefaultFont() const override { return !m_pFont; }
    bool IsEditing() const override { return m_bEditing; }

    void Reset() override;

    bool Edit(int row, int col, QRect rect, QPoint point, UINT id, UINT ch) override;
    void EndEdit() override;
    void OnEndEdit() override;

private:
    QString m_strText;
    LPARAM m_lParam = 0;
    int m_nImage = -1;
    UINT m_nFormat = kDefaultFormat;
    COLORREF m_crFgClr = CLR_DEFAULT;
    COLORREF m_crBkClr = CLR_DEFAULT;
    std::unique_ptr<QFont> m_pFont;
    UINT m_nMargin = kDefaultMargin;
    bool m_bEditing = false;
    CGridModel* m_pGrid = nullptr;
    QWidget* m_pEditWnd = nullptr; // the open editor; it deletes itself
};

class CDataGridDefaultCell : public CDataGridCell {
public:
    CDataGridDefaultCell();

    void SetData(LPARAM) override {}
    void SetState(UINT) override {}
    // Also measures the margin (one blank) and the default size (" XXXXXXXXXXXX ", height x 3 / 2).
    void SetFont(const QFont* font) override;
    UINT GetState() const override { return CDataGridCell::GetState() | DGIS_READONLY; }
    const QFont* GetFont() const override { return &m_font; }

    DWORD GetStyle() const { return m_dwStyle; }
    void SetStyle(DWORD style) { m_dwStyle = style; }
    int GetWidth() const { return m_Size.width(); }
    int GetHeight() const { return m_Size.height(); }
    void SetWidth(int width) { m_Size.setWidth(width); }
    void SetHeight(int height) { m_Size.setHeight(height); }

private:
    QSize m_Size{30, 10};
    QFont m_font;
    DWORD m_dwStyle = 0;
};
