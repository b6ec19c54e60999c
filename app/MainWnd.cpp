#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

#include <QLabel>
#include <QPushButton>

#include <cassert>

HWND g_hMainWnd = 0;

CMainWnd::CMainWnd(QWidget* parent) : QWidget(parent) {}

CMainWnd::~CMainWnd() {
    DestroyWindow();
}

void CMainWnd::OnInitialUpdate() {
    g_hMainWnd = GetSafeHwnd();
}

LRESULT CMainWnd::WindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

void CMainWnd::OnTimer(UINT_PTR) {}

QWidget* CMainWnd::GetDlgItem(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

template <typename T> T* CMainWnd::MakeControl(int id) {
    if (QWidget* existing = GetDlgItem(id)) {
        if (auto* typed = qobject_cast<T*>(existing))
            return typed;
        assert(!"control id used with two kinds of control");
        DebugPrintf("control %d used with two kinds of control", id);
        auto* stray = new T(this); // keeps the caller safe; never shown
        stray->hide();
        return stray;
    }
    auto* control = new T(this);
    control->setObjectName(QString::number(id));
    control->hide();
    m_controls.emplace(id, control);
    return control;
}

QLabel* CMainWnd::Static(int id) {
    return MakeControl<QLabel>(id);
}

QPushButton* CMainWnd::Button(int id) {
    return MakeControl<QPushButton>(id);
}

void CMainWnd::SetDlgItemText(int id, const QString& text) {
    QWidget* control = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        button->setText(text);
}

void CMainWnd::ShowDlgItem(int id, bool show) {
    if (QWidget* control = GetDlgItem(id))
        control->setVisible(show);
}
