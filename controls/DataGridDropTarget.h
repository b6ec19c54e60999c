// The grid's drop target: it takes the drag-and-drop events of the grid's window and hands them to the
// grid's own drag hooks (CDataGrid::OnDragEnter, OnDragOver, OnDrop, OnDragLeave), answering for nobody
// else. The grid registers it on its window when it is first sized.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QObject>
#include <QPoint>

class CDataGrid;
class QMimeData;
class QWidget;

class CDataGridDropTarget : public QObject {
    Q_OBJECT
public:
    CDataGridDropTarget() = default;
    ~CDataGridDropTarget() override;

    // Serves grid: false when already registered, while another registration is under way, or for a window
    // that is not a grid.
    BOOL Register(QWidget* wnd);
    virtual void Revoke();
    BOOL IsRegistered() const { return m_bRegistered; }

    // Each answers for the served grid with the grid's own hook; for any other window no drop.
    virtual DWORD OnDragEnter(QWidget* wnd, const QMimeData* data, DWORD keyState, QPoint point);
    virtual DWORD OnDragOver(QWidget* wnd, const QMimeData* data, DWORD keyState, QPoint point);
    virtual BOOL OnDrop(QWidget* wnd, const QMimeData* data, DWORD dropEffect, QPoint point);
    virtual void OnDragLeave(QWidget* wnd);
    // Copy with Ctrl, else move, for the served grid; it scrolls nothing (the grid does that itself).
    virtual DWORD OnDragScroll(QWidget* wnd, DWORD keyState, QPoint point);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDataGrid* m_pDataGrid = nullptr;
    BOOL m_bRegistered = FALSE;
};
