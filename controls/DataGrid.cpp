#include "controls/DataGrid.h"

#include "app/ColorRef.h"
#include "controls/CellEditor.h"
#include "controls/GridAccessible.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr UINT kEscape = 0x1B;
constexpr UINT kReturn = 0x0D;

int VirtualKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    default:
        return 0;
    }
}

} // namespace

CDataGrid::CDataGrid(QWidget* parent, int id) : QAbstractScrollArea(parent), m_nId(id) {
    if (id)
        setObjectName(QString::number(id));
    GridAccessibility::Install();
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::Box);
    viewport()->setMouseTracking(true);
    SetFont(font());
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(true, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(false, action); });
}

CDataGrid::~CDataGrid() {
    m_CellTip.DestroyWindow();
    // Editors are children of the viewport; none may report to a grid being torn down.
    for (CCellEditor* edit : viewport()->findChildren<CCellEditor*>())
        edit->Detach();
}

// ---- window parts of the model ----

void CDataGrid::RedrawCell(int row, int col) {
    if (!m_bAllowDraw)
        return;
    QRect rect;
    if (GetCellRect(row, col, rect))
        viewport()->update(rect);
}

void CDataGrid::Refresh() {
    if (m_bAllowDraw)
        viewport()->update();
}

void CDataGrid::SetRedraw(bool allow, bool resetScrollBars) {
    m_bAllowDraw = allow;
    if (!allow)
        return;
    if (resetScrollBars)
        ResetScrollBars();
    Refresh();
}

void CDataGrid::ResetScrollBars() {
    if (!m_bAllowDraw)
        return;
    SetClientSize(viewport()->size());
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Work on the client area as if no bar were shown.
    QSize whole = viewport()->size();
    if (verticalScrollBar()->isVisible())
        whole.rwidth() += bar;
    if (horizontalScrollBar()->isVisible())
        whole.rheight() += bar;
    SetClientSize(whole);
    const ScrollBars bars = ComputeScrollBars(bar, bar);
    m_nBarState = (bars.horizontal ? kHorizontalBar : 0) | (bars.vertical ? kVerticalBar : 0);
    setHorizontalScrollBarPolicy(bars.horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(bars.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setRange(0, std::max(bars.hMax - bars.hPage, 0));
    horizontalScrollBar()->setPageStep(std::max(bars.hPage, 1));
    verticalScrollBar()->setRange(0, std::max(bars.vMax + 1 - bars.vPage, 0));
    verticalScrollBar()->setPageStep(std::max(bars.vPage, 1));
    SetClientSize(viewport()->size());
    SyncScroll();
    viewport()->update();
}

LRESULT CDataGrid::SendMessageToParent(int row, int col, int code) {
    LRESULT result = 0;
    emit notify(code, row, col, &result);
    return result;
}

QWidget* CDataGrid::EditParent() {
    return viewport();
}

void CDataGrid::OnEditorEnded(int row, int col, const QString& text, UINT key) {
    OnEndEditCell(row, col, text);
    setFocus(Qt::OtherFocusReason);
    // Tab and the arrow and page keys go on to the next cell and open its editor as moved in by a key. Their
    // codes are not passed on: the arrows' and page keys' share their values with space, '!' .. '('.
    const bool moves = key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN);
    if (!moves)
        return;
    const CCellID before = GetFocusCell();
    const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    bool passOn = false;
    const CCellID target = KeyTarget(static_cast<int>(key), shift, false, &passOn);
    if (target == before || !IsValid(target))
        return;
    SetFocusCell(target.row, target.col);
    SetSelectionStart(target);
    SetSelectedRange({target.row, target.col, target.row, target.col});
    EnsureVisible(target.row, target.col);
    OnEditCell(target.row, target.col, QPoint(-1, -1), VK_TAB);
}

void CDataGrid::SyncScroll() {
    SetScrollPos(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CDataGrid::scrollContentsBy(int, int) {
    EndEditing();
    m_CellTip.Hide();
    SyncScroll();
    viewport()->update();
}

void CDataGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        OnSysColorChange(QGuiApplication::palette());
}

void CDataGrid::resizeEvent(QResizeEvent* event) {
    m_DropTarget.Register(this);
    EndEditing();
    QAbstractScrollArea::resizeEvent(event);
    ResetScrollBars();
}

bool CDataGrid::LineStep(QScrollBar* bar, bool forward) {
    const int before = bar->value();
    bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
    SyncScroll();
    return bar->value() != before;
}

void CDataGrid::OnScrollAction(bool vertical, int action) {
    EndEditing();
    m_CellTip.Hide();
    if (action != QAbstractSlider::SliderSingleStepAdd && action != QAbstractSlider::SliderSingleStepSub)
        return;
    // A line is one whole row or column of its own size; the bar still holds the position before the step.
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    SyncScroll();
    const int pos = LineScrollPos(vertical, action == QAbstractSlider::SliderSingleStepAdd, bar->maximum());
    bar->setSliderPosition(std::clamp(pos, bar->minimum(), bar->maximum()));
}

void CDataGrid::EnsureVisible(int row, int col) {
    if (!m_bAllowDraw || !IsValid(row, col))
        return;
    SetClientSize(viewport()->size());
    SyncScroll();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    // Whole line steps towards the cell; fixed rows and columns are always in view.
    const CCellRange visible = GetVisibleNonFixedCellRange();
    if (col >= GetFixedColumnCount()) {
        for (int c = visible.maxCol + 1; c <= col; ++c)
            if (GetColumnWidth(c) > 0)
                LineStep(h, true);
        const int partlyHidden = HPartialOffset() < 0 ? 1 : 0;
        for (int c = visible.minCol - 1 + partlyHidden; c >= col; --c)
            if (GetColumnWidth(c) > 0)
                LineStep(h, false);
    }
    if (row >= GetFixedRowCount()) {
        for (int r = visible.maxRow + 1; r <= row; ++r)
            if (GetRowHeight(r) > 0)
                LineStep(v, true);
        for (int r = visible.minRow - 1; r >= row; --r)
            if (GetRowHeight(r) > 0)
                LineStep(v, false);
    }

    // Then until the cell is whole: its right and bottom edges inside the client area, its left edge clear
    // of the fixed columns.
    const QRect client = viewport()->rect();
    const int fixedWidth = GetFixedColumnWidth();
    const int fixedHeight = GetFixedRowHeight();
    QRect rect;
    if (!GetCellRect(row, col, rect))
        return;
    while (rect.right() > client.right() && rect.left() > fixedWidth && (m_nBarState & kHorizontalBar)) {
        if (!LineStep(h, true) || !GetCellRect(row, col, rect))
            return;
    }
    while (HPartialOffset() < 0 && rect.left() < fixedWidth && (m_nBarState & kHorizontalBar)) {
        if (!LineStep(h, false) || !GetCellRect(row, col, rect))
            return;
    }
    while (rect.bottom() > client.bottom() && rect.top() > fixedHeight && (m_nBarState & kVerticalBar)) {
        if (!LineStep(v, true) || !GetCellRect(row, col, rect))
            return;
    }
}

void CDataGrid::wheelEvent(QWheelEvent* event) {
    EndEditing();
    m_CellTip.Hide();
    const int lines = QApplication::wheelScrollLines();
    // Notches of 120; a fine wheel's parts add up until they make a line.
    m_nWheelRest += event->angleDelta().y() * (lines < 0 ? 1 : lines);
    const int steps = m_nWheelRest / 120;
    m_nWheelRest -= steps * 120;
    QScrollBar* v = verticalScrollBar();
    for (int i = 0; i < std::abs(steps); ++i) {
        if (lines < 0)
            v->triggerAction(steps > 0 ? QAbstractSlider::SliderPageStepSub
                                       : QAbstractSlider::SliderPageStepAdd);
        else
            LineStep(v, steps < 0);
    }
    SyncScroll();
    event->accept();
}

// ---- drawing ----

void CDataGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    OnDraw(painter, event->rect());
}

void CDataGrid::OnDraw(QPainter& painter, QRect clip) {
    if (!m_bAllowDraw)
        return;
    SetClientSize(viewport()->size());
    const int fixedWidth = GetFixedColumnWidth();
    const int fixedHeight = GetFixedRowHeight();
    const CCellRange visible = GetVisibleNonFixedCellRange();

    // What lies outside the cells shows the grid's background; the cells' own areas their default colours.
    int right = fixedWidth + HPartialOffset();
    for (int col = visible.minCol; col >= 0 && col <= visible.maxCol; ++col)
        right += GetColumnWidth(col);
    int bottom = fixedHeight;
    for (int row = visible.minRow; row >= 0 && row <= visible.maxRow; ++row)
        bottom += GetRowHeight(row);
    if (visible.minCol < 0 || visible.maxCol < visible.minCol)
        right = fixedWidth;
    if (visible.minRow < 0 || visible.maxRow < visible.minRow)
        bottom = fixedHeight;
    painter.fillRect(clip, ColorFromRef(GetGridBkColor()));
    painter.fillRect(QRect(0, 0, right, bottom).intersected(clip),
                     ColorFromRef(GetDefaultCell(false, false)->GetBackClr()));

    // Each region (corner, fixed columns, fixed rows, scrollable cells) is left out of the clip once drawn,
    // so a partly scrolled column never paints over the fixed ones.
    QRegion open(clip);
    QRegion drawn;
    const auto drawCell = [&](int row, int col) {
        QRect rect;
        if (GetRowHeight(row) <= 0 || GetColumnWidth(col) <= 0 || !GetCellRect(row, col, rect))
            return;
        if (!rect.intersects(clip))
            return;
        if (CDataGridCellBase* cell = GetCell(row, col)) {
            cell->SetCoords(row, col);
            cell->Draw(painter, row, col, rect, false);
            drawn += rect;
        }
    };
    const auto excludeDrawn = [&] {
        open -= drawn;
        drawn = QRegion();
        painter.setClipRegion(open);
    };
    painter.setClipRegion(open);
    for (int row = 0; row < GetFixedRowCount(); ++row)
        for (int col = 0; col < GetFixedColumnCount(); ++col)
            drawCell(row, col);
    excludeDrawn();
    if (visible.minRow >= 0)
        for (int row = visible.minRow; row <= visible.maxRow; ++row)
            for (int col = 0; col < GetFixedColumnCount(); ++col)
                drawCell(row, col);
    excludeDrawn();
    if (visible.minCol >= 0)
        for (int row = 0; row < GetFixedRowCount(); ++row)
            for (int col = visible.minCol; col <= visible.maxCol; ++col)
                drawCell(row, col);
    excludeDrawn();
    if (visible.minRow >= 0 && visible.minCol >= 0)
        for (int row = visible.minRow; row <= visible.maxRow; ++row)
            for (int col = visible.minCol; col <= visible.maxCol; ++col)
                drawCell(row, col);
    painter.setClipRegion(QRegion(clip));

    // Grid lines between the scrollable cells; the fixed cells draw their own bevels.
    if (visible.minRow < 0 || visible.minCol < 0)
        return;
    painter.setPen(ColorFromRef(GetGridLineColor()));
    int x = fixedWidth + HPartialOffset();
    for (int col = visible.minCol; col <= visible.maxCol; ++col) {
        if (GetColumnWidth(col) <= 0)
            continue;
        x += GetColumnWidth(col);
        painter.drawLine(x - 1, fixedHeight, x - 1, bottom - 1);
    }
    int y = fixedHeight;
    for (int row = visible.minRow; row <= visible.maxRow; ++row) {
        if (GetRowHeight(row) <= 0)
            continue;
        y += GetRowHeight(row);
        painter.drawLine(fixedWidth, y - 1, right - 1, y - 1);
    }
}

// ---- editing ----

void CDataGrid::OnEditCell(int row, int col, QPoint point, UINT ch) {
    m_CellTip.Hide();
    if (!IsValid(row, col) || !IsCellEditable(row, col))
        return;
    EnsureVisible(row, col);
    QRect rect;
    if (!IsCellVisible(row, col) || !GetCellRect(row, col, rect))
        return;
    if (SendMessageToParent(row, col, DGN_BEGINLABELEDIT) < 0)
        return;
    if (CDataGridCellBase* cell = GetCell(row, col))
        cell->Edit(row, col, rect, point, static_cast<UINT>(m_nId), ch);
}

void CDataGrid::EndEditing() {
    const CCellID focus = GetFocusCell();
    if (CDataGridCellBase* cell = GetCell(focus.row, focus.col))
        cell->EndEdit();
}

void CDataGrid::OnFixedRowClick(CCellID cell) {
    if (!IsValid(cell))
        return;
    if (GetHeaderSort()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ascending = !(cell.col == GetSortColumn() && GetSortAscending());
        SortItems(cell.col, ascending);
        QApplication::restoreOverrideCursor();
        Refresh();
    }
    if (IsSelectable()) {
        SetMouseMode(cell.col < GetFixedColumnCount() ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL);
        OnSelecting(cell);
    }
}

void CDataGrid::OnFixedColumnClick(CCellID cell) {
    if (IsSelectable()) {
        SetMouseMode(cell.row < GetFixedRowCount() ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW);
        OnSelecting(cell);
    }
}

// ---- clipboard ----

void CDataGrid::OnEditCopy() {
    if (const std::optional<QString> text = CopyTextFromGrid())
        QApplication::clipboard()->setText(*text);
}

void CDataGrid::OnEditCut() {
    if (!IsEditable())
        return;
    OnEditCopy();
    CutSelectedText();
}

void CDataGrid::OnEditPaste() {
    if (!IsEditable())
        return;
    const CCellRange range = GetSelectedCellRange();
    CCellID target = IsValid(range) ? CCellID{range.minRow, range.minCol} : GetFocusCell();
    if (!IsValid(target))
        target = GetTopleftNonFixedCell();
    if (!IsValid(target))
        return;
    CDataGridCellBase* cell = GetCell(target.row, target.col);
    if (cell && cell->IsEditing()) {
        if (auto* edit = qobject_cast<QLineEdit*>(cell->GetEditWnd())) {
            edit->paste();
            return;
        }
    }
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data && data->hasText())
        PasteTextToGrid(target, data->text(), true);
}

void CDataGrid::OnEditSelectAll() {
    const CCellID focus = GetFocusCell();
    SendMessageToParent(focus.row, focus.col, DGN_SELCHANGING);
    SelectAllCells();
    SendMessageToParent(focus.row, focus.col, DGN_SELCHANGED);
}

// ---- keyboard ----

bool CDataGrid::focusNextPrevChild(bool next) {
    // Tab moves between cells while the grid handles it.
    if (GetHandleTabKey() && IsValid(GetFocusCell()))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CDataGrid::keyPressEvent(QKeyEvent* event) {
    m_CellTip.Hide();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key();
    const CCellID focus = GetFocusCell();
    if (!IsValid(focus)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (ctrl) {
        switch (key) {
        case Qt::Key_Insert:
        case Qt::Key_C:
            OnEditCopy();
            return;
        case Qt::Key_A:
            OnEditSelectAll();
            return;
        case Qt::Key_V:
            OnEditPaste();
            return;
        case Qt::Key_X:
            OnEditCut();
            return;
        case Qt::Key_Plus:
            AutoSizeColumns();
            Refresh();
            return;
        default:
            break;
        }
    }
    if (shift && key == Qt::Key_Insert) {
        OnEditPaste();
        return;
    }
    if (key == Qt::Key_Delete) {
        CutSelectedText();
        return;
    }
    if (key == Qt::Key_F2) {
        OnEditCell(focus.row, focus.col, QPoint(-1, -1), VK_LBUTTON);
        return;
    }
    const int vk = VirtualKey(key);
    CCellID target = focus;
    if (vk == VK_NEXT || vk == VK_PRIOR) {
        const int topBefore = GetTopleftNonFixedCell().row;
        verticalScrollBar()->triggerAction(vk == VK_NEXT ? QAbstractSlider::SliderPageStepAdd
                                                         : QAbstractSlider::SliderPageStepSub);
        SyncScroll();
        const int moved = GetTopleftNonFixedCell().row - topBefore;
        if (vk == VK_NEXT)
            target.row = moved ? std::min(focus.row + moved, GetRowCount() - 1) : GetRowCount() - 1;
        else
            target.row = moved ? std::max(focus.row + moved, GetFixedRowCount()) : GetFixedRowCount();
    } else if (vk != 0 && (vk != VK_TAB || GetHandleTabKey())) {
        bool passOn = false;
        target = KeyTarget(vk, shift || key == Qt::Key_Backtab, ctrl, &passOn);
        if (passOn) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
    } else {
        // Characters open the editor on the focus cell; Escape and Ctrl combinations do not.
        const QString text = event->text();
        if (!ctrl && !text.isEmpty() && MouseMode() == MOUSE_NOTHING) {
            const UINT ch = text.at(0).unicode();
            if (ch != kEscape && (ch != VK_TAB || !GetHandleTabKey()) &&
                (ch >= 0x20 || ch == kReturn || ch == 0x08)) {
                OnChar(ch);
                return;
            }
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (target == focus)
        return;
    if (MouseMode() == MOUSE_NOTHING) {
        SetMouseMode(MOUSE_SELECT_CELLS);
        if (!shift || vk == VK_TAB)
            SetSelectionStart(target);
        SendMessageToParent(target.row, target.col, DGN_SELCHANGING);
        OnSelecting(target);
        SendMessageToParent(target.row, target.col, DGN_SELCHANGED);
        SetMouseMode(MOUSE_NOTHING);
    }
    SetFocusCell(target.row, target.col);
    EnsureVisible(target.row, target.col);
    Refresh();
}

void CDataGrid::OnChar(UINT ch) {
    const CCellID focus = GetFocusCell();
    OnEditCell(focus.row, focus.col, QPoint(-1, -1), ch);
}

// ---- mouse ----

bool CDataGrid::InTextRect(CCellID cell, QPoint point) const {
    QRect rect;
    const CDataGridCellBase* c = GetCell(cell.row, cell.col);
    return c && GetCellRect(cell.row, cell.col, rect) && c->GetTextRect(rect) && rect.contains(point);
}

bool CDataGrid::MouseOverColumnResizeArea(QPoint point) const {
    if (point.y() >= GetFixedRowHeight())
        return false;
    const CCellID cell = GetCellFromPt(point);
    QRect rect;
    if (!GetCellRect(cell.row, cell.col, rect))
        return false;
    const int endX = rect.left() + GetColumnWidth(cell.col);
    return (point.x() - rect.left() < kResizeCaptureRange && cell.col != 0) ||
           endX - point.x() < kResizeCaptureRange;
}

bool CDataGrid::MouseOverRowResizeArea(QPoint point) const {
    if (point.x() >= GetFixedColumnWidth())
        return false;
    const CCellID cell = GetCellFromPt(point);
    QRect rect;
    if (!GetCellRect(cell.row, cell.col, rect))
        return false;
    const int endY = rect.top() + GetRowHeight(cell.row);
    return (point.y() - rect.top() < kResizeCaptureRange && cell.row != 0) ||
           endY - point.y() < kResizeCaptureRange;
}

void CDataGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    m_bLMouseButtonDown = true;
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = GetCellFromPt(point);
    if (!IsValid(m_LeftClickDownCell))
        return;
    if (!shift)
        SetSelectionStart(m_LeftClickDownCell);
    else if (!IsValid(SelectionStart()))
        SetSelectionStart(GetFocusCell());
    EndEditing();

    const CCellID cell = m_LeftClickDownCell;
    if (cell == GetFocusCell() && !ctrl && InTextRect(cell, point) && IsCellEditable(cell.row, cell.col)) {
        SetMouseMode(MOUSE_PREPARE_EDIT);
        return;
    }
    if (IsCellSelected(cell.row, cell.col)) {
        SetFocusCell(cell.row, cell.col);
        if (ctrl) {
            SetSelectedRange({cell.row, cell.col, cell.row, cell.col}, false, false);
            return;
        }
        if (GetDragAndDrop()) {
            // A press on the selection may start a drag; the selection stays as it is until the release.
            SetMouseMode(MOUSE_PREPARE_DRAG);
            return;
        }
    } else if (MouseMode() != MOUSE_OVER_COL_DIVIDE && MouseMode() != MOUSE_OVER_ROW_DIVIDE) {
        if (IsCellFixed(cell.row, cell.col))
            SetFocusCell(-1, -1);
        else
            SetFocusCell(cell.row, cell.col);
    }

    if (MouseMode() == MOUSE_OVER_COL_DIVIDE && GetColumnResize()) {
        SetMouseMode(MOUSE_SIZING_COL);
        QRect rect;
        GetCellRect(cell.row, cell.col, rect);
        m_nResizeIndex =
            point.x() - rect.left() < kResizeCaptureRange && cell.col > 0 ? cell.col - 1 : cell.col;
        return;
    }
    if (MouseMode() == MOUSE_OVER_ROW_DIVIDE && GetRowResize()) {
        SetMouseMode(MOUSE_SIZING_ROW);
        QRect rect;
        GetCellRect(cell.row, cell.col, rect);
        m_nResizeIndex =
            point.y() - rect.top() < kResizeCaptureRange && cell.row > 0 ? cell.row - 1 : cell.row;
        return;
    }

    SendMessageToParent(cell.row, cell.col, DGN_SELCHANGING);
    RememberSelection(ctrl);
    if (cell.row < GetFixedRowCount()) {
        OnFixedRowClick(cell);
    } else if (cell.col < GetFixedColumnCount()) {
        OnFixedColumnClick(cell);
    } else {
        SetMouseMode(MOUSE_SELECT_CELLS);
        OnSelecting(cell);
        m_nTimerId = startTimer(kAutoScrollMs);
    }
}

void CDataGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_bLMouseButtonDown && IsValid(m_LeftClickDownCell)) {
        switch (MouseMode()) {
        case MOUSE_SELECT_COL:
        case MOUSE_SELECT_ROW:
        case MOUSE_SELECT_CELLS: {
            const CCellID cell = GetCellFromPt(point);
            if (IsValid(cell) && !(cell == GetFocusCell())) {
                OnSelecting(cell);
                SetFocusCell(cell.row, cell.col);
            }
            break;
        }
        case MOUSE_PREPARE_EDIT:
        case MOUSE_PREPARE_DRAG:
            // The button went down on the focus cell's text, but the mouse moved: no edit.
            SetMouseMode(MOUSE_PREPARE_DRAG);
            OnBeginDrag();
            break;
        default:
            break;
        }
        return;
    }
    if (GetColumnResize() && MouseOverColumnResizeArea(point)) {
        viewport()->setCursor(Qt::SizeHorCursor);
        SetMouseMode(MOUSE_OVER_COL_DIVIDE);
    } else if (GetRowResize() && MouseOverRowResizeArea(point)) {
        viewport()->setCursor(Qt::SizeVerCursor);
        SetMouseMode(MOUSE_OVER_ROW_DIVIDE);
    } else if (MouseMode() != MOUSE_NOTHING) {
        viewport()->setCursor(Qt::ArrowCursor);
        SetMouseMode(MOUSE_NOTHING);
    }
    if (MouseMode() != MOUSE_NOTHING)
        return;
    const CCellID cell = GetCellFromPt(point);
    CDataGridCellBase* c = GetCell(cell.row, cell.col);
    if (!c)
        return;
    c->OnMouseOver();
    // A cut text shows whole in the cell tip while the mouse is over it.
    QRect rect;
    if (!GetCellTips() || (event->buttons() & Qt::RightButton) || c->IsEditing() ||
        !GetCellRect(cell.row, cell.col, rect))
        return;
    QRect textRect = rect;
    const QString tip = c->GetTipText();
    if (tip.isEmpty() || !c->GetTipTextRect(textRect) || !textRect.contains(point))
        return;
    m_CellTip.Create(viewport());
    m_CellTip.Show(tip, static_cast<int>(c->GetMargin()), &rect, c->GetFont(), GetCellTipTextClr(),
                   GetCellTipBackClr(), textRect);
}

void CDataGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        OnRButtonUp(event->position().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    m_bLMouseButtonDown = false;
    if (m_nTimerId) {
        killTimer(m_nTimerId);
        m_nTimerId = 0;
    }
    const CCellID focus = GetFocusCell();
    switch (MouseMode()) {
    case MOUSE_PREPARE_EDIT:
        OnEditCell(focus.row, focus.col, point, VK_LBUTTON);
        break;
    case MOUSE_PREPARE_DRAG:
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
        SendMessageToParent(focus.row, focus.col, DGN_SELCHANGING);
        ResetSelection();
        SendMessageToParent(focus.row, focus.col, DGN_SELCHANGED);
        break;
    case MOUSE_SIZING_COL:
        if (point != m_LeftClickDownPoint) {
            QPoint origin;
            if (GetCellOrigin(0, m_nResizeIndex, origin))
                SetColumnWidth(m_nResizeIndex, std::max(point.x() - origin.x(), 0));
            ResetScrollBars();
        }
        break;
    case MOUSE_SIZING_ROW:
        if (point != m_LeftClickDownPoint) {
            QPoint origin;
            if (GetCellOrigin(m_nResizeIndex, 0, origin))
                SetRowHeight(m_nResizeIndex, std::max(point.y() - origin.y(), 0));
            ResetScrollBars();
        }
        break;
    default:
        SendMessageToParent(focus.row, focus.col, DGN_SELCHANGED);
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
        break;
    }
    SetMouseMode(MOUSE_NOTHING);
    viewport()->setCursor(Qt::ArrowCursor);
}

void CDataGrid::OnRButtonUp(QPoint point) {
    EndEditing();
    const CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell)) {
        SendMessageToParent(-1, -1, NM_RCLICK);
        return;
    }
    SetFocusCell(-1, -1);
    SetFocusCell(std::max(cell.row, GetFixedRowCount()), std::max(cell.col, GetFixedColumnCount()));
    QRect rect;
    if (GetCellRect(cell.row, cell.col, rect))
        if (CDataGridCellBase* c = GetCell(cell.row, cell.col))
            c->OnRClick(point - rect.topLeft());
    SendMessageToParent(cell.row, cell.col, NM_RCLICK);
}

void CDataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (MouseMode() == MOUSE_OVER_COL_DIVIDE && GetColumnResize()) {
        const CCellID cell = GetCellFromPt(point);
        QRect rect;
        if (GetCellRect(cell.row, cell.col, rect))
            AutoSizeColumn(point.x() - rect.left() < kResizeCaptureRange && cell.col > 0 ? cell.col - 1
                                                                                         : cell.col);
        Refresh();
        return;
    }
    if (MouseMode() == MOUSE_OVER_ROW_DIVIDE && GetRowResize()) {
        const CCellID cell = GetCellFromPt(point);
        QRect rect;
        if (GetCellRect(cell.row, cell.col, rect))
            AutoSizeRow(point.y() - rect.top() < kResizeCaptureRange && cell.row > 0 ? cell.row - 1
                                                                                     : cell.row);
        Refresh();
        return;
    }
    if (MouseMode() == MOUSE_NOTHING) {
        const CCellID cell = GetCellFromPt(point);
        if (IsValid(cell) && !IsCellFixed(cell.row, cell.col) && InTextRect(cell, point))
            OnEditCell(cell.row, cell.col, point, VK_LBUTTON);
        if (IsValid(cell))
            SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
    }
}

void CDataGrid::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_nTimerId) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
    const QRect client = viewport()->rect();
    const int fixedHeight = GetFixedRowHeight();
    const int fixedWidth = GetFixedColumnWidth();
    QPoint probe = point;
    if (point.y() > client.bottom()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        probe = {std::clamp(point.x(), 0, client.right()), client.bottom()};
    } else if (point.y() < fixedHeight) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        probe = {std::clamp(point.x(), 0, client.right()), fixedHeight + 1};
    }
    if (point.x() > client.right()) {
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        probe = {client.right(), std::clamp(point.y(), 0, client.bottom())};
    } else if (point.x() < fixedWidth) {
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        probe = {fixedWidth + 1, std::clamp(point.y(), 0, client.bottom())};
    }
    SyncScroll();
    const CCellID cell = GetCellFromPt(probe);
    if (IsValid(cell))
        OnSelecting(cell);
}
