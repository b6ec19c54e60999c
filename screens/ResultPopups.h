// The pop-ups of a decision: the golden-round superiority pop-up on the public screen, the round or match
// result pop-up on the public screen and its smaller copy on the operator's monitor. Each is a frameless
// top-level window (a parent only owns it) that reads the match record at every paint; Enter and Esc do
// nothing. What they show comes from screens/ResultPopupRules.h.
//
// Thread: user-interface thread only.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class CAnimatedPicture;
struct MatchData;

// The superiority pop-up: the statistics the decision rests on and the verdict.
class CTK_GRndSupDlg : public QWidget {
    Q_OBJECT
public:
    // mode non-zero: the totals form; 0: the golden-round form.
    CTK_GRndSupDlg(int left, int top, int right, int bottom, int mode, QWidget* parent = nullptr);

    // Back to its own size and offset inside the public-screen rectangle (after a display change).
    void PlaceOnScreen();
    int Mode() const { return m_nMode; }
    int Background() const { return m_nBackground; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nMode;
    int m_nBackground = 0; // PNG id
    QImage m_background;
};

// The round result (mode 1) or match result (mode 0) over the public scoreboard, with the winner line.
class CTK_GRndWinDispDlg : public QWidget {
    Q_OBJECT
public:
    // winner 0 Chung, 1 Hong, other a tie (round mode; the match mode takes nWinSide); criterion 0..7.
    CTK_GRndWinDispDlg(int left, int top, int right, int bottom, int mode, int winner, int criterion,
                       const QString& title, QWidget* parent = nullptr);

    // Over the public-screen rectangle again (after a display change).
    void PlaceOnScreen();
    int Mode() const { return m_nMode; }
    int Winner() const { return m_nWinner; }
    int Criterion() const { return m_nCriterion; }
    CAnimatedPicture* Flag() const { return m_pFlag; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int WinnerShown() const;
    bool Small() const { return width() < 1920; }

    int m_nMode;
    int m_nWinner;
    int m_nCriterion;
    QString m_strTitle;
    QImage m_background;
    CAnimatedPicture* m_pFlag;
    bool m_bFlagShown = false;
};

// The operator's copy: mode 1 the totals form, 0 the match form.
class CTK_GRndWinDispDlg_OP : public QWidget {
    Q_OBJECT
public:
    explicit CTK_GRndWinDispDlg_OP(int mode, QWidget* parent = nullptr);

    // Centred on the primary monitor again, its top on the monitor.
    void PlaceOnScreen();
    int Mode() const { return m_nMode; }
    // The superiority mark shown: 928 (Chung), 930 (Hong) or 0.
    int MarkShown() const;
    CAnimatedPicture* Flag() const { return m_pFlag; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nMode;
    QImage m_background;
    CAnimatedPicture* m_pFlag;
    bool m_bFlagShown = false;
};
