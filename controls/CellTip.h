// The small borderless window that shows the whole text of a grid cell whose text is cut. It opens over the
// cell, as wide as the text, without taking the focus; it holds the mouse while open and closes when the
// mouse leaves the cell, on a key or a button press, and when the application loses the focus. Presses and
// moves it closes on go on to the window under the cursor (the grid when that is the tip itself), so the
// grid never misses a click because a tip covered its cell.
//
// Thread: user-interface thread only.
#pragma once

#include "controls/DataGridCell.h"
#include "platform/WinTypes.h"

#include <QEvent>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class CCellTip : public QWidget {
    Q_OBJECT
public:
    CCellTip();

    // Makes the tip a window of parent (the grid's client area); once.
    bool Create(QWidget* parent);
    bool IsCreated() const { return m_bCreated; }
    // Shows text over titleRect (parent's coordinates) when it is wider than that rectangle; the tip stays
    // while the mouse is inside hoverRect (titleRect when null). Font and colours default to the parent's
    // font and the tip colours (CLR_DEFAULT).
    void Show(const QString& text, int unused, const QRect* hoverRect, const QFont* font, COLORREF textColour,
              COLORREF backColour, QRect titleRect);
    void Hide();

    QString Text() const { return m_strText; }
    QRect HoverRect() const { return m_rectHover; }
    bool DestroyWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The window under globalPos that gets what the tip closed on: the parent where the tip itself lies.
    QWidget* TargetAt(QPointF globalPos) const;
    void PassOn(QMouseEvent* event, QEvent::Type type);

    QPointer<QWidget> m_pParentWnd;
    QRect m_rectHover;
    QRect m_rectDisplay;
    DWORD m_dwLastLButtonDown = 0xFFFFFFFF;
    DWORD m_dwDblClickMsecs;
    bool m_bCreated = false;
    QString m_strText;
    QFont m_font;
    COLORREF m_crText = CLR_DEFAULT;
    COLORREF m_crBack = CLR_DEFAULT;
    // Where the press the tip closed on went, so its release follows it there.
    QPointer<QWidget> m_pPressTarget;
};
