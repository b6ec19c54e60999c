#include "controls/CellTip.h"

#include "app/ColorRef.h"
#include "platform/TickSource.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>

namespace {

constexpr Qt::WindowFlags kTipFlags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

} // namespace

CCellTip::CCellTip()
    : QWidget(nullptr, kTipFlags),
      m_dwDblClickMsecs(static_cast<DWORD>(QGuiApplication::styleHints()->mouseDoubleClickInterval())) {
    setObjectName(QStringLiteral("ZCellTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Moves without a button tell the tip when the mouse leaves the cell.
    setMouseTracking(true);
    // The program lost the focus: the tip goes with it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            Hide();
    });
}

bool CCellTip::Create(QWidget* parent) {
    if (m_bCreated)
        return true;
    m_pParentWnd = parent;
    // A window of its own that belongs to the grid: it never takes the focus and stays on top.
    setParent(parent, kTipFlags);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_bCreated = true;
    return true;
}

bool CCellTip::DestroyWindow() {
    m_bCreated = false;
    Hide();
    return true;
}

void CCellTip::Show(const QString& text, int, const QRect* hoverRect, const QFont* font, COLORREF textColour,
                    COLORREF backColour, QRect titleRect) {
    if (!m_bCreated || !m_pParentWnd)
        return;
    if (titleRect.isEmpty() || isVisible())
        return;
    // The hover area is kept one pixel larger to the right and bottom, in the tip's own coordinates (the tip
    // opens at the title rectangle's top-left corner).
    m_rectHover = (hoverRect ? *hoverRect : titleRect).adjusted(0, 0, 1, 1).translated(-titleRect.topLeft());
    // Only while the program has the focus: a tip must not pop up over another program.
    if (!QApplication::focusWidget())
        return;

    m_strText = QLatin1Char(' ') + text + QLatin1Char(' ');
    m_font = font ? *font : m_pParentWnd->font();
    const int width = QFontMetrics(m_font).horizontalAdvance(m_strText);
    if (width <= titleRect.width())
        return;
    m_crText = textColour;
    m_crBack = backColour;
    // The border adds a pixel on each side so the text is not cut by it.
    m_rectDisplay =
        QRect(m_pParentWnd->mapToGlobal(titleRect.topLeft()), QSize(width + 2, titleRect.height()));
    setGeometry(m_rectDisplay);
    show();
    raise();
    grabMouse();
}

void CCellTip::Hide() {
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    hide();
}

void CCellTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette palette = QApplication::palette();
    painter.fillRect(rect(),
                     m_crBack != CLR_DEFAULT ? ColorFromRef(m_crBack) : palette.color(QPalette::ToolTipBase));
    painter.setPen(palette.color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(m_font);
    painter.setPen(m_crText != CLR_DEFAULT ? ColorFromRef(m_crText) : palette.color(QPalette::ToolTipText));
    const QRect client = rect().adjusted(1, 1, -1, -1);
    painter.drawText(client, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strText);
}

QWidget* CCellTip::TargetAt(QPointF globalPos) const {
    QWidget* target = QApplication::widgetAt(globalPos.toPoint());
    if (!target || target == this || isAncestorOf(target))
        target = m_pParentWnd;
    return target;
}

void CCellTip::PassOn(QMouseEvent* event, QEvent::Type type) {
    const QPointF global = event->globalPosition();
    QWidget* target = TargetAt(global);
    if (!target)
        return;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        m_pPressTarget = target;
    QCoreApplication::postEvent(target,
                                new QMouseEvent(type, target->mapFromGlobal(global), global, event->button(),
                                                event->buttons(), event->modifiers()));
}

void CCellTip::mouseMoveEvent(QMouseEvent* event) {
    if (m_rectHover.contains(event->position().toPoint()))
        return;
    Hide();
    PassOn(event, QEvent::MouseMove);
}

void CCellTip::mousePressEvent(QMouseEvent* event) {
    Hide();
    QEvent::Type type = QEvent::MouseButtonPress;
    if (event->button() == Qt::LeftButton) {
        // A second left press soon after the first is a double click for the window below.
        const DWORD now = GetTickCount();
        if (m_dwLastLButtonDown != 0xFFFFFFFF && now - m_dwLastLButtonDown <= m_dwDblClickMsecs)
            type = QEvent::MouseButtonDblClick;
        m_dwLastLButtonDown = now;
    }
    PassOn(event, type);
}

void CCellTip::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CCellTip::mouseReleaseEvent(QMouseEvent* event) {
    // The release of a press the tip passed on goes where the press went.
    QWidget* target = m_pPressTarget ? m_pPressTarget.data() : TargetAt(event->globalPosition());
    m_pPressTarget = nullptr;
    if (!target)
        return;
    const QPointF global = event->globalPosition();
    QCoreApplication::postEvent(
        target, new QMouseEvent(QEvent::MouseButtonRelease, target->mapFromGlobal(global), global,
                                event->button(), event->buttons(), event->modifiers()));
}

void CCellTip::keyPressEvent(QKeyEvent* event) {
    Hide();
    if (QWidget* grid = m_pParentWnd ? m_pParentWnd->parentWidget() : nullptr)
        QCoreApplication::postEvent(grid, new QKeyEvent(event->type(), event->key(), event->modifiers(),
                                                        event->text(), event->isAutoRepeat()));
}
