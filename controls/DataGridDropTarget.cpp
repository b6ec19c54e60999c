#include "controls/DataGridDropTarget.h"

#include "controls/DataGrid.h"

#include <QDropEvent>

namespace {

// One registration at a time in the whole program.
bool g_bRegistering = false;

DWORD KeyState(const QDropEvent& event) {
    DWORD keys = 0;
    if (event.buttons() & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (event.buttons() & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (event.buttons() & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (event.modifiers() & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

Qt::DropAction ActionOf(DWORD effect) {
    if (effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

DWORD EffectOf(Qt::DropAction action) {
    switch (action) {
    case Qt::MoveAction:
    case Qt::TargetMoveAction:
        return DROPEFFECT_MOVE;
    case Qt::CopyAction:
        return DROPEFFECT_COPY;
    case Qt::LinkAction:
        return DROPEFFECT_LINK;
    default:
        return DROPEFFECT_NONE;
    }
}

// A drag over a position: allowed with the effect's action, or refused.
void Answer(QDropEvent* event, DWORD effect) {
    if ((effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->setDropAction(ActionOf(effect));
    event->accept();
}

} // namespace

CDataGridDropTarget::~CDataGridDropTarget() {
    if (m_bRegistered)
        Revoke();
}

BOOL CDataGridDropTarget::Register(QWidget* wnd) {
    if (m_bRegistered || g_bRegistering)
        return FALSE;
    auto* grid = qobject_cast<CDataGrid*>(wnd);
    if (!grid)
        return FALSE;
    g_bRegistering = true;
    m_pDataGrid = grid;
    // Drags reach the grid's client area.
    grid->viewport()->setAcceptDrops(true);
    grid->viewport()->installEventFilter(this);
    m_bRegistered = TRUE;
    g_bRegistering = false;
    return m_bRegistered;
}

void CDataGridDropTarget::Revoke() {
    m_bRegistered = FALSE;
    if (m_pDataGrid) {
        m_pDataGrid->viewport()->removeEventFilter(this);
        m_pDataGrid->viewport()->setAcceptDrops(false);
    }
    m_pDataGrid = nullptr;
}

DWORD CDataGridDropTarget::OnDragEnter(QWidget* wnd, const QMimeData* data, DWORD keyState, QPoint point) {
    if (!m_pDataGrid || wnd != m_pDataGrid)
        return DROPEFFECT_NONE;
    return m_pDataGrid->OnDragEnter(data, keyState, point);
}

DWORD CDataGridDropTarget::OnDragOver(QWidget* wnd, const QMimeData* data, DWORD keyState, QPoint point) {
    if (!m_pDataGrid || wnd != m_pDataGrid)
        return DROPEFFECT_NONE;
    return m_pDataGrid->OnDragOver(data, keyState, point);
}

BOOL CDataGridDropTarget::OnDrop(QWidget* wnd, const QMimeData* data, DWORD dropEffect, QPoint point) {
    if (!m_pDataGrid || wnd != m_pDataGrid)
        return FALSE;
    return m_pDataGrid->OnDrop(data, dropEffect, point);
}

void CDataGridDropTarget::OnDragLeave(QWidget* wnd) {
    if (m_pDataGrid && wnd == m_pDataGrid)
        m_pDataGrid->OnDragLeave();
}

DWORD CDataGridDropTarget::OnDragScroll(QWidget* wnd, DWORD keyState, QPoint) {
    if (!m_pDataGrid || wnd != m_pDataGrid)
        return DROPEFFECT_NONE;
    return keyState & MK_CONTROL ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

bool CDataGridDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (!m_pDataGrid || watched != m_pDataGrid->viewport())
        return false;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        const DWORD effect =
            OnDragEnter(m_pDataGrid, drag->mimeData(), KeyState(*drag), drag->position().toPoint());
        Answer(drag, effect);
        // The drag stays with the grid even where it may not drop, so the moves keep coming.
        drag->accept();
        return true;
    }
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const QPoint point = drag->position().toPoint();
        const DWORD keys = KeyState(*drag);
        // A scroll answer wins; otherwise the grid decides where the drag is.
        DWORD effect = OnDragScroll(m_pDataGrid, keys, point);
        if (!(effect & DROPEFFECT_SCROLL))
            effect = OnDragOver(m_pDataGrid, drag->mimeData(), keys, point);
        Answer(drag, effect);
        return true;
    }
    case QEvent::DragLeave:
        OnDragLeave(m_pDataGrid);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (OnDrop(m_pDataGrid, drop->mimeData(), EffectOf(drop->dropAction()), drop->position().toPoint()))
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    default:
        return false;
    }
}
