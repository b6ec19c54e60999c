// The grid control: a scrolling table of cells with fixed header rows and columns, drawn by its cells, with
// a focus cell and a selection, keyboard and mouse navigation, column and row sizing by the dividers,
// in-place editing, sorting by a header click and the clipboard as Unicode text. What it stores and decides
// is CGridModel (controls/GridModel.h); this class is its window.
//
// The parent learns of selection changes, clicks and edits through the notify signal (code, row, column);
// a slot that sets *result negative refuses a begin-edit or end-edit.
//
// Thread: user-interface thread only.
#pragma once

#include "controls/CellTip.h"
#include "controls/DataGridDropTarget.h"
#include "controls/GridModel.h"

#include <QAbstractScrollArea>

class QPrinter;
class QScrollBar;

class CDataGrid : public QAbstractScrollArea, public CGridModel {
    Q_OBJECT
public:
    // Period of the auto-scroll while the left button selects past the grid's edge.
    static constexpr int kAutoScrollMs = 150;
    static constexpr int kResizeCaptureRange = 3;

    explicit CDataGrid(QWidget* parent = nullptr, int id = 0);
    ~CDataGrid() override;

    int GetDlgCtrlID() const { return m_nId; }

    // ---- window parts of the model ----
    void RedrawCell(int row, int col) override;
    void Refresh() override;
    void ResetScrollBars() override;
    LRESULT SendMessageToParent(int row, int col, int code) override;
    QWidget* EditParent() override;
    void OnEditorEnded(int row, int col, const QString& text, UINT key) override;

    // While drawing is not allowed nothing is drawn or invalidated and the scroll bars stay as they are, so
    // an owner can fill a large grid at once; allowing it again repaints (and recomputes the bars if asked).
    void SetRedraw(bool allow, bool resetScrollBars = false);
    bool IsRedrawAllowed() const { return m_bAllowDraw; }

    // Scrolls until the cell is wholly in view.
    void EnsureVisible(int row, int col);

    // Opens the in-place editor on a cell (a mouse click gives VK_LBUTTON as the character).
    void OnEditCell(int row, int col, QPoint point, UINT ch);
    void EndEditing();
    void OnFixedRowClick(CCellID cell);
    void OnFixedColumnClick(CCellID cell);

    // Clipboard commands.
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditSelectAll();

    // A right click: the focus moves to the cell (raised out of the fixed area) and the parent is told.
    void OnRButtonUp(QPoint point);

    // The tip that shows a cut text whole (created on first use).
    CCellTip& CellTip() { return m_CellTip; }
    CDataGridDropTarget& DropTarget() { return m_DropTarget; }

    // ---- printing ----
    // Prints the whole grid, page after page: a header with the window's title and the date, the fixed rows
    // as column headings on every page, the rows that fit whole and a footer "Page n of m". The grid keeps
    // its on-screen size on paper unless it is wider than the page, then it is scaled down to fit across.
    bool Print(QPrinter* printer);
    virtual void OnBeginPrinting(QPainter& painter, QPrinter& printer);
    virtual void OnPrint(QPainter& painter, int page);
    virtual void OnEndPrinting(QPainter& painter);
    virtual void PrintHeader(QPainter& painter, int page);
    virtual void PrintFooter(QPainter& painter, int page);
    // Print the fixed rows, then one row, at y in the grid's pixels; y moves below what was printed.
    virtual void PrintColumnHeadings(QPainter& painter, int& y);
    virtual void PrintRow(QPainter& painter, int row, int& y);

    // The whole drawing into a painter (the paint event uses it).
    void OnDraw(QPainter& painter, QRect clip);

signals:
    void notify(int code, int row, int col, LRESULT* result);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void OnChar(UINT ch);
    // Whether point lies on the cell's text (right of its picture).
    bool InTextRect(CCellID cell, QPoint point) const;
    bool MouseOverColumnResizeArea(QPoint point) const;
    bool MouseOverRowResizeArea(QPoint point) const;
    void SyncScroll();
    // Line steps of the scroll bars move by whole rows and columns.
    void OnScrollAction(bool vertical, int action);
    // One line step; false when the bar did not move.
    bool LineStep(QScrollBar* bar, bool forward);

    static constexpr int kHorizontalBar = 1;
    static constexpr int kVerticalBar = 2;

    int m_nId;
    int m_nBarState = 0;
    bool m_bAllowDraw = true;
    int m_nWheelRest = 0;
    CCellTip m_CellTip;
    CDataGridDropTarget m_DropTarget;
    // The print in progress: the scale from the grid's pixels to the printer's, the page in the grid's
    // pixels, the rows of each page.
    struct PrintState {
        double scale = 1.0;
        QSize page;
        int headerHeight = 0;
        int footerHeight = 0;
        QFont font;
        QString date;
        std::vector<std::pair<int, int>> pages;
    } m_Print;
    int m_nTimerId = 0;
    int m_nResizeIndex = -1;
    QPoint m_LeftClickDownPoint;
    bool m_bLMouseButtonDown = false;
};
