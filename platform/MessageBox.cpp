#include "platform/MessageBox.h"

#include "platform/DebugOutput.h"
#include "platform/WindowMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <atomic>
#include <cassert>

namespace platform {
namespace {

std::atomic<Prompter*> g_prompter{nullptr};
HWND g_boxOwner = 0; // UI thread

QWidget* topLevelOf(HWND hwnd) {
    auto* widget = dynamic_cast<QWidget*>(windowFromHandle(hwnd));
    return widget ? widget->window() : nullptr;
}

// The box's owner, or the operator's window where the owner is missing, hidden or on another monitor.
QWidget* boxParent(HWND owner) {
    QWidget* operatorWindow = topLevelOf(g_boxOwner);
    QWidget* own = topLevelOf(owner);
    if (own && own->isVisible() && (!operatorWindow || own->screen() == operatorWindow->screen()))
        return own;
    return operatorWindow;
}

QString qs(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

int showQtBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags) {
    QMessageBox box(boxParent(owner));
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

} // namespace

Prompter* setPrompter(Prompter* prompter) {
    return g_prompter.exchange(prompter);
}

void setMessageBoxOwner(HWND operatorWindow) {
    g_boxOwner = operatorWindow;
}

} // namespace platform

int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags) {
    if (caption.empty())
        caption = u"Veziruduz";
    OutputDebugString(u"[box] " + std::u16string(caption) + u": " + std::u16string(text));
    if (platform::Prompter* prompter = platform::g_prompter.load())
        return prompter->ask(owner, text, caption, flags);
    assert(QCoreApplication::instance() &&
           QThread::currentThread() == QCoreApplication::instance()->thread());
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL; // no widgets: nothing can be shown
    return platform::showQtBox(owner, text, caption, flags);
}

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags) {
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QString c = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    return MessageBox(owner, std::u16string_view(reinterpret_cast<const char16_t*>(t.utf16()), t.size()),
                      std::u16string_view(reinterpret_cast<const char16_t*>(c.utf16()), c.size()), flags);
}

void ShowNoticeBox(HWND owner, std::u16string_view text, std::u16string_view caption) {
    if (caption.empty())
        caption = u"Veziruduz";
    OutputDebugString(u"[notice] " + std::u16string(caption) + u": " + std::u16string(text));
    if (platform::Prompter* prompter = platform::g_prompter.load()) {
        prompter->notify(owner, text, caption);
        return;
    }
    assert(QCoreApplication::instance() &&
           QThread::currentThread() == QCoreApplication::instance()->thread());
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, platform::qs(caption), platform::qs(text),
                                QMessageBox::Ok, platform::boxParent(owner));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

int AfxMessageBox(std::u16string_view text, UINT flags) {
    return MessageBox(HWND{0}, text, u"Veziruduz", flags);
}
