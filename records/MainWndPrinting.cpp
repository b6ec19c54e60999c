// The operator view's result commands: the result browser button and the print command.
#include "app/MainWnd.h"
#include "records/PrintFlow.h"
#include "records/ResultBrowserDlg.h"
#include "screens/OperatorLayout.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

void CMainWnd::OnClickedResultView() {
    CTK_ResViewDlg browser(this);
    browser.exec();
}

void CMainWnd::OnFilePrint() {
    PrintResultDirect(this);
}

void CMainWnd::ConnectPrintCommands() {
    connect(Button(OperatorIds::ResultView), &QPushButton::clicked, this, &CMainWnd::OnClickedResultView);
    // Anywhere in the operator's window, as the program's print command.
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    print->setContext(Qt::WindowShortcut);
    connect(print, &QShortcut::activated, this, &CMainWnd::OnFilePrint);
}
