// The program's single top-level window. It owns the life of the match record (created with the frame,
// freed after the view is gone), measures the monitors, loads the settings when it is created, keeps the
// operator window at a fixed size on the primary monitor and asks before the program closes.
//
// Thread: user-interface thread only.
#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QPoint>
#include <QSize>

#include <vector>

class CMainWnd;
class MonitorProvider;
struct MatchData;
struct MonitorRect;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char16_t* kTitle = u"Belvanta V2.0.18H";
    // The operator window's outer size, which is also the largest the operator can drag it to.
    static constexpr QSize kFrameSize{1296, 742};

    // Creates the match record. `monitors` must outlive the frame.
    explicit CMainFrame(MonitorProvider& monitors, QWidget* parent = nullptr);
    // Deletes the view, then frees the match record the view used to the end.
    ~CMainFrame() override;

    // Creates the view, measures the monitors, loads the nation table and the rule settings, places the
    // frame and starts following display changes.
    void OnCreate();
    // The view's start, once the settings are loaded.
    void InitialUpdateFrame();

    // Sets the public-screen size by nDisplayResolution and moves the frame onto the primary monitor.
    void PlaceMainWindow();
    // Counts the monitors and stores the primary's and the last other monitor's right and bottom edges. A
    // monitor that is gone leaves its edges behind; the count tells the view how many there are.
    void MeasureMonitors();

    // Closes like the close button, without the question (SIGTERM, SIGINT); open modal dialogs are
    // closed first, as their own close buttons would.
    void closeWithoutAsking();

    CMainWnd* view() const { return m_pView; }

    // Where the frame goes: centred on the primary monitor; with the primary at the desktop's origin this is
    // ((right - 1280) / 2, (bottom - 720) / 2).
    static QPoint FramePosition(QPoint primaryOrigin, int primaryRight, int primaryBottom);
    // Copies the layout into the record's monitor fields; returns the primary's top-left (unchanged when
    // no monitor is the primary).
    static QPoint StoreMonitors(MatchData& md, const std::vector<MonitorRect>& monitors,
                                QPoint primaryOrigin);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Makes the view; called once by OnCreate.
    virtual CMainWnd* CreateView();

private:
    void OnDisplayChange();
    // Sizes the window so that its outer size, decorations included, is kFrameSize, and limits it to that.
    void ApplyOuterSize();
    // Tells the view, when it is a DisplayChangeHandler (app/Monitors.h), to show or hide the public windows
    // by the new monitor count.
    void NotifyViewOfDisplayChange();

    MonitorProvider& m_monitors;
    CMainWnd* m_pView = nullptr; // central widget, deleted before the record
    bool m_bCloseNoAsk = false;  // set by closeWithoutAsking()
    QPoint m_primaryOrigin;      // top-left of the primary monitor at the last measurement
    QMargins m_appliedMargins;   // the decorations ApplyOuterSize last allowed for
};
