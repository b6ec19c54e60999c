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

#include "controls/GridDropTarget.h"
#include "controls/GridModel.h"
#include "controls/TitleTip.h"

#include <QAbstractScrollArea>

class QScrollBar;

class CGridCtrl : public QAbstractScrollArea, public CGridModel {
    Q_OBJECT
public:
    // Period of the auto-scroll while the left button selects past the grid's edge.
    static constexpr int kAutoScrollMs = 150;
    static constexpr int kResizeCaptureRange = 3;

    explicit CGridCtrl(QWidget* parent = nullptr, int id = 0);
    ~CGridCtrl() override;

    int GetDlgCtrlID() const { return m_nId; }

    // ---- window parts of the model ----
    void RedrawCell(int row, int col) override;
    void Refresh() override;
    void ResetScrollBars() override;
    LRESULT SendMessageToParent(int row, int col, int code) override;
    QWidget* EditParent() override;
    void OnEditorEnded(int row, int col, const QString& text, UINT key) override;

    // Scrolls until the cell is wholly in view.
    void EnsureVisible(int row, int col);
    bool AutoSizeColumn(int col);
    bool AutoSizeRow(int row);
    void AutoSizeColumns();

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
    CTitleTip& TitleTip() { return m_TitleTip; }
    CGridDropTarget& DropTarget() { return m_DropTarget; }

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
    bool focusNextPrevChild(bool next) override;

private:
    void OnChar(UINT ch);
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
    int m_nWheelRest = 0;
    CTitleTip m_TitleTip;
    CGridDropTarget m_DropTarget;
    int m_nTimerId = 0;
    int m_nResizeIndex = -1;
    QPoint m_LeftClickDownPoint;
    bool m_bLMouseButtonDown = false;
};
