#include "match/KeyFilter.h"

#include "app/MainWnd.h"

#include <QApplication>
#include <QKeyEvent>

KeyFilter::KeyFilter(CMainWnd& view) : QObject(&view), m_view(view) {
    qApp->installEventFilter(this);
}

KeyFilter::~KeyFilter() {
    qApp->removeEventFilter(this);
}

bool KeyFilter::ForShortcuts(const QWidget& target, const QWidget* viewWindow) {
    // Another window of the program has the keyboard: Space is for its focused button.
    if (target.window() != viewWindow)
        return false;
    // A modal dialog or message box (the gam-jeom question among them) and an open menu or list keep the
    // keyboard for their own controls; a text field keeps Space and the arrows for editing, so a name typed
    // into a registration dialog never starts the clock.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    return !target.testAttribute(Qt::WA_InputMethodEnabled);
}

bool KeyFilter::SeenBefore(const QKeyEvent& press, const QWidget& target) const {
    // isAncestorOf() is also true of the widget itself, which a new press may well go to.
    return &press == m_pLastPress && press.timestamp() == m_nLastStamp && m_pLastTarget &&
           m_pLastTarget != &target && target.isAncestorOf(m_pLastTarget);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        m_bZDown = false; // its release goes to another program
        return false;
    }
    // A key reaches the window first and its widget next; the widget's copy is the one that counts.
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType())
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (key.key() == Qt::Key_Z && !key.isAutoRepeat())
        m_bZDown = type == QEvent::KeyPress;
    if (type != QEvent::KeyPress)
        return false;

    auto* target = static_cast<QWidget*>(watched);
    if (SeenBefore(key, *target))
        return false;
    m_pLastPress = event;
    m_nLastStamp = key.timestamp();
    m_pLastTarget = target;
    if (!ForShortcuts(*target, m_view.window()))
        return false;
    return m_view.PreTranslateMessage(key, m_bZDown);
}
