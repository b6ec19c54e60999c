// The equipment-test screens: CTK_PssTestDlg covers the public scoreboard on the second monitor and
// CTK_PssTestDlg_Op is the operator's copy with "REFRESH" and "CLOSE". Both only display a PssTestBoard
// that the operator view feeds with UM_PSS_TEST_UPDATE (tile / text); the public one also takes
// UM_PSS_TEST_RESET. The operator view creates them on entering the equipment test and deletes them on
// leaving it.
//
// Thread: user-interface thread only (a MessageWindow's handle may be read from any thread).
#pragma once

#include "devices/PssTestBoard.h"
#include "platform/WindowMessages.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

class QPushButton;

class PssTestScreen : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    ~PssTestScreen() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    const PssTestBoard& Board() const { return m_board; }

    // One tile of the screens: its control id, caption and place on a 1920 x 1080 screen; the drawing
    // scales it to the screen's size.
    struct Tile {
        int id;
        QString caption;
        QRect rect;
    };
    // Every tile; the punch-sensor tiles only when punch sensors are in use.
    static std::vector<Tile> Tiles(bool usePunch);
    // Whether the board lights the tile with this control id, and the text it shows.
    static bool Lit(const PssTestBoard& board, int id);
    static QString Text(const PssTestBoard& board, const Tile& tile);

protected:
    explicit PssTestScreen(QWidget* parent, Qt::WindowFlags flags);
    void paintEvent(QPaintEvent* event) override;
    QRect m_area; // where the tiles are drawn
    PssTestBoard m_board;
};

class CTK_PssTestDlg : public PssTestScreen {
    Q_OBJECT
public:
    // screen: the public-screen rectangle. A frameless top-level window even with a parent.
    CTK_PssTestDlg(const QRect& screen, QWidget* parent = nullptr);
};

class CTK_PssTestDlg_Op : public PssTestScreen {
    Q_OBJECT
public:
    // view: the operator view that REFRESH and CLOSE tell.
    CTK_PssTestDlg_Op(HWND view, QWidget* parent = nullptr);
    void OnClickedRefresh(); // clears this screen and asks the view to clear the public one
    void OnClickedClose();   // asks the view to leave the equipment test

private:
    HWND m_hView;
    QPushButton* m_pRefresh;
    QPushButton* m_pClose;
};
