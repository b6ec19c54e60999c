// The winner displays: the full-screen winner display on the public monitor (CTK_WinDispDlg) and its copy
// on the operator's monitor (CTK_WinDispDlg_OP) with the contest, the winner's name, nation and flag and
// both final scores; and the reason banner (CTK_WinPopDlg). Modeless, frameless, owned by the operator
// view, which deletes them; they hold nothing beyond what they draw. UI thread only.
#pragma once

#include "match/WinnerDisplayRules.h"

#include <QDialog>

#include <memory>

class CAnimatedPicture;
class QFrame;
class QImage;
class QLabel;

// The common body of the two winner displays.
class WinnerDisplay : public QDialog {
    Q_OBJECT
public:
    enum : int { IDC_TITLE = 1331, IDC_NAME = 1281, IDC_FLAG = 1332, IDC_FLAG_FRAME = 1334 };

    ~WinnerDisplay() override;

    WinnerDisplayRules::Screen Screen() const { return m_screen; }
    const WinnerDisplayRules::Layout& Layout() const { return m_layout; }

protected:
    WinnerDisplay(WinnerDisplayRules::Screen screen, int backgroundId, QWidget* parent);
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnInitDialog();

    WinnerDisplayRules::Screen m_screen;
    WinnerDisplayRules::Layout m_layout;
    std::unique_ptr<QImage> m_background; // null when the picture is missing
    QLabel* m_name = nullptr;
    CAnimatedPicture* m_flag = nullptr; // read off the UI thread, within the flag pictures' bounds
    QFrame* m_flagFrame = nullptr;
};

class CTK_WinDispDlg : public WinnerDisplay {
    Q_OBJECT
public:
    // The scoreboard area of the public monitor.
    CTK_WinDispDlg(int left, int top, int right, int bottom, QWidget* parent);
};

class CTK_WinDispDlg_OP : public WinnerDisplay {
    Q_OBJECT
public:
    explicit CTK_WinDispDlg_OP(QWidget* parent);
};

// The reason banner over the public scoreboard; Enter and Esc do nothing, only its owner closes it.
class CTK_WinPopDlg : public QDialog {
    Q_OBJECT
public:
    // reason: the decision's banner reason; winner 1 Chung, 2 Hong.
    CTK_WinPopDlg(int left, int top, int right, int bottom, int reason, int winner, QWidget* parent);
    ~CTK_WinPopDlg() override;

    int ImageId() const { return m_nImageId; }
    bool HasPicture() const { return m_image != nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_nImageId;
    QSize m_drawSize;
    std::unique_ptr<QImage> m_image;
};
