// The monitors of the desktop as the frame measures them: one rectangle per monitor and which one is the
// primary. The frame reads them through MonitorProvider so that tests can give it any layout and unplug a
// monitor by hand.
//
// Thread: user-interface thread only.
#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QScreen;

// A monitor's rectangle in desktop pixels; right and bottom are the first pixels outside it (x + width,
// y + height).
struct MonitorRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool primary = false;
};

class MonitorProvider {
public:
    virtual ~MonitorProvider() = default;

    // The monitors in the platform's order.
    virtual std::vector<MonitorRect> monitors() const = 0;
    // Called after a monitor is added, removed or resized, or the primary changes; replaces the previous
    // handler (an empty one stops the calls).
    virtual void setChangeHandler(std::function<void()> onChange) = 0;
};

// A window that follows display changes. The frame calls it on its view after measuring the monitors
// again, so the record's monitor fields are already up to date; the operator view implements it to show or
// hide the public windows by nMonitorCount.
class DisplayChangeHandler {
public:
    virtual void OnDisplayChange() = 0;

protected:
    ~DisplayChangeHandler() = default;
};

// The screens of the running QGuiApplication.
class ScreenMonitors final : public QObject, public MonitorProvider {
    Q_OBJECT
public:
    ScreenMonitors();

    std::vector<MonitorRect> monitors() const override;
    void setChangeHandler(std::function<void()> onChange) override;

private:
    void watchScreen(QScreen* screen);
    void changed();

    std::function<void()> m_onChange;
};

// A layout set by hand, for tests.
class FakeMonitors final : public MonitorProvider {
public:
    explicit FakeMonitors(std::vector<MonitorRect> layout = {}) : m_layout(std::move(layout)) {}

    std::vector<MonitorRect> monitors() const override { return m_layout; }
    void setChangeHandler(std::function<void()> onChange) override { m_onChange = std::move(onChange); }

    // Replaces the layout and reports the change, as plugging or unplugging a monitor does.
    void setLayout(std::vector<MonitorRect> layout);

private:
    std::vector<MonitorRect> m_layout;
    std::function<void()> m_onChange;
};
