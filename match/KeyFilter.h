// The operator's keyboard shortcuts: an event filter on the application that shows each key press meant for
// the operator view's window to the view's key table before the focused control receives it, so Space never
// clicks a focused button there. Keys for any other window of the program (a modeless dialog such as the
// registration or the video replay), a modal dialog, an open pop-up menu or a text field go to them
// untouched. UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class CMainWnd;
class QKeyEvent;

class KeyFilter final : public QObject {
public:
    // Installs itself on the application, as a child of the view; removes itself when destroyed.
    explicit KeyFilter(CMainWnd& view);
    ~KeyFilter() override;

    // Whether a key press meant for the widget is one for the shortcuts: the widget is in the view's window
    // (viewWindow), and nothing whose own use of the key comes first has it.
    static bool ForShortcuts(const QWidget& target, const QWidget* viewWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool SeenBefore(const QKeyEvent& press, const QWidget& target) const;

    CMainWnd& m_view;
    bool m_bZDown = false; // the Z key is held
    // The press last handed to the view and the widget it was meant for: a control that lets a key go on
    // has Qt show the same event to its parents, and the key must act once.
    const QEvent* m_pLastPress = nullptr;
    quint64 m_nLastStamp = 0;
    QPointer<QWidget> m_pLastTarget;
};
