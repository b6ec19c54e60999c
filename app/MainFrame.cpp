#include "app/MainFrame.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Monitors.h"
#include "app/NationTable.h"
#include "app/RuleSettings.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>

namespace {

// The public scoreboard's size by nDisplayResolution, and the operator screen's size the frame is
// centred by.
constexpr QSize kSmallPublicScreen{1280, 720};
constexpr QSize kLargePublicScreen{1920, 1080};
constexpr QSize kOperatorScreen{1280, 720};

} // namespace

CMainFrame::CMainFrame(MonitorProvider& monitors, QWidget* parent)
    : QMainWindow(parent), m_monitors(monitors) {
    CreateMatchData();
    setWindowTitle(QString::fromUtf16(kTitle));
}

CMainFrame::~CMainFrame() {
    m_monitors.setChangeHandler({});
    // The view's shutdown still reads and writes the record, so it goes first.
    delete m_pView;
    m_pView = nullptr;
    FreeMatchData();
}

void CMainFrame::OnCreate() {
    m_pView = CreateView();
    setCentralWidget(m_pView);

    MeasureMonitors();
    LoadNationTable(*g_pMatchData);
    LoadRuleSettings(*g_pMatchData);
    PlaceMainWindow();

    m_monitors.setChangeHandler([this] { OnDisplayChange(); });
}

CMainWnd* CMainFrame::CreateView() {
    return new CMainWnd(this);
}

void CMainFrame::InitialUpdateFrame() {
    m_pView->OnInitialUpdate();
}

void CMainFrame::MeasureMonitors() {
    m_primaryOrigin = StoreMonitors(*g_pMatchData, m_monitors.monitors(), m_primaryOrigin);
}

QPoint CMainFrame::StoreMonitors(MatchData& md, const std::vector<MonitorRect>& monitors,
                                 QPoint primaryOrigin) {
    md.nMonitorCount = static_cast<int>(monitors.size());
    for (const MonitorRect& monitor : monitors) {
        if (monitor.primary) {
            md.nPrimaryRight = monitor.right;
            md.nPrimaryBottom = monitor.bottom;
            primaryOrigin = QPoint(monitor.left, monitor.top);
        } else {
            md.nSecondRight = monitor.right;
            md.nSecondBottom = monitor.bottom;
            md.nSecondLeft = monitor.left;
            md.nSecondTop = monitor.top;
            md.bSecondOrigin = 1;
        }
    }
    return primaryOrigin;
}

QPoint CMainFrame::FramePosition(QPoint primaryOrigin, int primaryRight, int primaryBottom) {
    // Centred on the primary monitor wherever it lies on the desktop; at the origin this is
    // ((right - 1280) / 2, (bottom - 720) / 2).
    const int x = primaryOrigin.x() + (primaryRight - primaryOrigin.x() - kOperatorScreen.width()) / 2;
    const int y = primaryOrigin.y() + (primaryBottom - primaryOrigin.y() - kOperatorScreen.height()) / 2;
    return {x, y};
}

void CMainFrame::PlaceMainWindow() {
    MatchData& md = *g_pMatchData;
    const QSize publicScreen = md.nDisplayResolution != 0 ? kSmallPublicScreen : kLargePublicScreen;
    md.nExtScrWidth = publicScreen.width();
    md.nExtScrHeight = publicScreen.height();

    create(); // the platform window, whose decorations the outer size includes
    ApplyOuterSize();
    move(FramePosition(m_primaryOrigin, md.nPrimaryRight, md.nPrimaryBottom));
}

void CMainFrame::ApplyOuterSize() {
    const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    m_appliedMargins = margins;
    const QSize inner = kFrameSize.shrunkBy(margins);
    setMaximumSize(inner);
    resize(inner);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Some window systems tell the decorations only once the window is shown.
    if (windowHandle() && windowHandle()->frameMargins() != m_appliedMargins)
        ApplyOuterSize();
}

void CMainFrame::OnDisplayChange() {
    MeasureMonitors();
    NotifyViewOfDisplayChange();
}

void CMainFrame::NotifyViewOfDisplayChange() {
    if (auto* handler = dynamic_cast<DisplayChangeHandler*>(m_pView))
        handler->OnDisplayChange();
}

void CMainFrame::closeWithoutAsking() {
    // Innermost first. Each dialog is tried once, so one that refuses to close cannot hold the walk.
    std::vector<QWidget*> tried;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == this || std::find(tried.begin(), tried.end(), modal) != tried.end())
            break;
        tried.push_back(modal);
        modal->close();
    }
    // Stays set: the program is ending, and a close question still open below this call must not keep it.
    m_bCloseNoAsk = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    bool close = m_bCloseNoAsk || g_pMatchData->bCloseNoAsk;
    if (!close) {
        const int answer = MessageBox(HWND{0}, u"Are you sure to close this program?", u"Information",
                                      MB_YESNO | MB_ICONQUESTION);
        // A termination request that came while the question was open has closed the program already.
        close = answer == IDYES || m_bCloseNoAsk;
    }
    if (!close) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the frame ends the program even while a public window is still shown on the other monitor.
    // Outside the main loop (tests) this does nothing.
    QCoreApplication::quit();
}
