// The "External" page of the configuration dialog: per outside system the supplier and the transport, the
// transport settings dialogs, and opening and closing each link. The page never opens a link itself: it
// asks the operator view (UM_EXT_LINK_CONTROL to g_hMainWnd), which owns the links, and shows the link
// slots of the match record; the buttons and lamps follow the slots while the page is shown, so a link
// that connects or drops later shows as it is. "Connect Test" runs on a worker (links/WtConnectTest.h)
// that posts its end to the page; meanwhile the button says the test runs. It also loads ExtItf.ini and
// saves the link keys of Rule.ini. UI thread only.
#pragma once

#include "platform/WindowMessages.h"

#include <QWidget>

#include <map>

struct MatchData;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

class CTK_ExtItfWnd : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    // The page's controls go by their ids (also their object names).
    enum Ids {
        OvrSupplier = 1042,
        OvrComm = 1043,
        IvrSupplier = 1044,
        IvrComm = 1045,
        TvgSupplier = 1046,
        TvgComm = 1047,
        LedBlinks = 1048,
        LedDuration = 1049,
        LedRest = 1050,
        PreRegCheck = 1053,
        UseWtCheck = 1055,
        OnlyMatchInfoCheck = 1057,
        StOpen = 1000,
        ConnectTest = 1001,
        TvgOpen = 1004,
        TvgSetting = 1005,
        LedOff = 1006,
        LedOn = 1007,
        LedSet = 1008,
        OvrSetting = 1261,
        OvrOpen = 1262,
        IvrSetting = 1263,
        IvrOpen = 1264,
        OvrLamp = 1265,
        IvrLamp = 1266,
        TvgLamp = 1267,
        PreRegConnect = 1268,
        PreRegLamp = 1269,
        PreRegSetting = 1270,
        StSetting = 1272,
        StLamp = 1273,
        WtSetting = 1274,
    };

    // Builds the page on the record and starts it (OnInitDialog).
    explicit CTK_ExtItfWnd(MatchData* md, QWidget* parent = nullptr);
    ~CTK_ExtItfWnd() override;

    // Control set-up, the state of every link, the LED values and ExtItf.ini into the record.
    void OnInitDialog();
    // The configuration dialog's "Okay" and "Apply": Rule.ini's link keys and the record.
    void SaveSettings();

    QWidget* Item(int id) const; // null for an id the page does not have

    // Handlers of the controls.
    void OnClickedOvrOpen();
    void OnClickedIvrOpen();
    void OnClickedTvgOpen();
    void OnClickedPreRegConnect();
    void OnClickedStOpen();
    void OnCommTypeChanged(int system); // 0 OVR, 1 IVR, 2 TVG
    void OnClickedLedSet();
    void OnClickedPreReg();
    void OnClickedUseWt();
    void OnClickedOnlyMatchInfo();
    // Starts the test; its end (the server's reply in a box, the OVR slot) comes as kConnectTested.
    void OnClickedConnectTest();
    // The "Setting" buttons: the settings dialog of that link, modal.
    void OnClickedSetting(int id);

    // Buttons, lamps and lists from the link slots.
    void ShowLinkStates();

    // The connect test's worker: wParam libcurl's result, lParam the test's number.
    static constexpr UINT kConnectTested = WM_USER + 1;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Opens a link settings dialog; virtual so tests can answer it without a modal loop.
    virtual void RunDialog(QWidget* dialog);

private:
    void Build();
    void OpenOrClose(int system);
    void CloseLink(int system, bool tellPeer);
    void ShowWtControls();
    void OnConnectTested(int result, LPARAM test);
    void SetLamp(int id, bool open, bool connecting);
    QComboBox* List(int id) const;
    QPushButton* Button(int id) const;

    MatchData* m_pData;
    std::map<int, QWidget*> m_items;
    QTimer* m_pRefresh = nullptr; // the live state while the page is shown
    LPARAM m_nConnectTest = 0;    // the number of this page's connect test under way, 0 for none
};
