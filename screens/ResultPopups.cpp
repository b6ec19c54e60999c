#include "screens/ResultPopups.h"

#include "app/ColorRef.h"
#include "app/DisplayFont.h"
#include "app/MatchData.h"
#include "app/PngResource.h"
#include "controls/AnimatedPicture.h"
#include "match/WinnerDisplayRules.h"
#include "screens/ExtScrDlg.h"
#include "screens/FittedText.h"
#include "screens/ResultPopupRules.h"

#include <QPainter>

using namespace ResultPopups;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

// Black under the picture, the picture stretched over the pop-up's whole size, whatever that size is.
void PaintBackground(QPainter& p, const QRect& area, const QImage& background) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(area, Qt::black);
    if (!background.isNull())
        p.drawImage(area, background);
}

QImage Png(int id) {
    const std::unique_ptr<QImage> image = LoadPngResource(id);
    return image ? *image : QImage();
}

QImage Bitmap(int id) {
    const std::unique_ptr<QImage> image = LoadBitmapResource(id);
    return image ? *image : QImage();
}

void Text(QPainter& p, const QRect& rect, const QFont& font, COLORREF colour, const QString& text) {
    if (text.isEmpty())
        return;
    p.setFont(font);
    p.setPen(ColorFromRef(colour));
    p.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
}

// A label fitted to its box: smaller, never under half its size, then elided.
void Label(QPainter& p, const QRect& rect, const QFont& font, COLORREF colour, const QString& text) {
    const FittedText fitted = FitText(text, font, rect.width(), font.pixelSize() / 2);
    Text(p, rect, fitted.font, colour, fitted.text);
}

// The values in white, each column's header above it and each row's side to its left (from labelLeft).
void PaintTable(QPainter& p, const Table& table, const QFont& font, int labelLeft,
                const std::function<QRect(int column, int side)>& cell) {
    QFont labelFont = font;
    labelFont.setPixelSize(font.pixelSize() * 4 / 7);
    for (std::size_t c = 0; c < table.chung.size(); ++c) {
        Text(p, cell(static_cast<int>(c), 0), font, kWhite, table.chung[c]);
        Text(p, cell(static_cast<int>(c), 1), font, kWhite, table.hong[c]);
        if (c < table.headers.size())
            Label(p, HeaderRect(cell(static_cast<int>(c), 0)), labelFont, kWhite, table.headers[c]);
    }
    Label(p, RowLabelRect(cell(0, 0), labelLeft), labelFont, kChungOnDark, QStringLiteral("CHUNG"));
    Label(p, RowLabelRect(cell(0, 1), labelLeft), labelFont, kHongOnDark, QStringLiteral("HONG"));
}

// The winner line on its box, and the frame of the flag beside it when the flag is shown.
void PaintWinnerLine(QPainter& p, const WinnerLine& line, const QRect& box, const QFont& font,
                     const QRect& flagFrame) {
    p.fillRect(box, ColorFromRef(line.back));
    Text(p, box, font, line.text_colour, line.text);
    if (!flagFrame.isNull()) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(flagFrame.adjusted(-1, -1, 0, 0));
    }
}

} // namespace

// ---- superiority ----

CTK_GRndSupDlg::CTK_GRndSupDlg(int left, int top, int right, int bottom, int mode, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_nMode(mode) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Superiority"));
    if (g_pMatchData) {
        m_nBackground = SuperiorityBackground(*g_pMatchData, mode);
        m_background = Png(m_nBackground);
    }
    setGeometry(left, top, right - left, bottom - top);
}

void CTK_GRndSupDlg::PlaceOnScreen() {
    if (g_pMatchData)
        setGeometry(SuperiorityRect(*g_pMatchData));
}

void CTK_GRndSupDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBackground(p, rect(), m_background);
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool small = md->nDisplayResolution == 1;
    PaintTable(p, SuperiorityTable(*md, m_nMode), DisplayFont(small ? 47 : 70), 10,
               [&](int column, int side) { return SuperiorityCell(small, m_nMode, column, side); });
    const Verdict verdict = SuperiorityVerdict(md->nWinSide);
    Text(p, SuperiorityVerdictRect(small, m_nMode), DisplayFont(small ? 90 : 120), verdict.colour,
         verdict.text);
}

// ---- public result ----

CTK_GRndWinDispDlg::CTK_GRndWinDispDlg(int left, int top, int right, int bottom, int mode, int winner,
                                       int criterion, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_nMode(mode), m_nWinner(winner),
      m_nCriterion(criterion), m_strTitle(title), m_pFlag(new CAnimatedPicture(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Result"));
    m_pFlag->hide();
    if (g_pMatchData)
        m_background = Png(ResultBackground(*g_pMatchData, false, mode));
    setGeometry(left, top, right - left, bottom - top);
    if (g_pMatchData) {
        const WinnerLine line = WinnerLineOf(*g_pMatchData, WinnerShown());
        m_bFlagShown = ShowFlagPicture(*m_pFlag, line.flagPath, PublicFlagRect(Small()));
    }
}

int CTK_GRndWinDispDlg::WinnerShown() const {
    return m_nMode == 1 ? m_nWinner : (g_pMatchData ? g_pMatchData->nWinSide : -1);
}

void CTK_GRndWinDispDlg::PlaceOnScreen() {
    if (g_pMatchData)
        setGeometry(PublicScreenRect(*g_pMatchData));
}

void CTK_GRndWinDispDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBackground(p, rect(), m_background);
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool small = Small();
    if (m_nMode == 1)
        Text(p, PublicRoundCaptionRect(small), DisplayFont(small ? 60 : 90), kWhite,
             QStringLiteral("ROUND %1").arg(md->nCurRound));
    Text(p, PublicTitleRect(small, m_nMode), DisplayFont(small ? 40 : 60), 0xFFFFFF,
         m_nMode == 1 ? m_strTitle : WinnerDisplayRules::TitleText(*md));
    const Table table = m_nMode == 1 ? RoundTable(*md, m_nCriterion) : MatchTable(*md);
    PaintTable(p, table, DisplayFont(small ? 47 : 70), small ? 163 : 245,
               [&](int column, int side) { return PublicCell(small, m_nMode, column, side); });
    PaintWinnerLine(p, WinnerLineOf(*md, WinnerShown()), PublicWinnerLineRect(small, m_bFlagShown),
                    DisplayFont(small ? 60 : 90), m_bFlagShown ? PublicFlagRect(small) : QRect());
}

// ---- operator copy ----

CTK_GRndWinDispDlg_OP::CTK_GRndWinDispDlg_OP(int mode, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_nMode(mode),
      m_pFlag(new CAnimatedPicture(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Result"));
    m_pFlag->hide();
    if (g_pMatchData) {
        m_background = Png(ResultBackground(*g_pMatchData, true, mode));
        const WinnerLine line = WinnerLineOf(*g_pMatchData, g_pMatchData->nWinSide);
        m_bFlagShown = ShowFlagPicture(*m_pFlag, line.flagPath, OperatorFlagRect());
    }
    PlaceOnScreen();
}

void CTK_GRndWinDispDlg_OP::PlaceOnScreen() {
    if (g_pMatchData)
        setGeometry(OperatorRect(*g_pMatchData));
}

int CTK_GRndWinDispDlg_OP::MarkShown() const {
    if (m_nMode != 1 || !g_pMatchData)
        return 0;
    const int side = TotalsMarkSide(*g_pMatchData);
    return side == 0 ? 928 : side == 1 ? 930 : 0;
}

void CTK_GRndWinDispDlg_OP::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBackground(p, rect(), m_background);
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    Text(p, QRect(304, 63, 411, 55), DisplayFont(32), 0xFFFFFF, WinnerDisplayRules::TitleText(*md));
    const Table table = m_nMode == 1 ? TotalsTable(*md) : MatchTable(*md);
    PaintTable(p, table, DisplayFont(37), 130,
               [&](int column, int side) { return OperatorCell(m_nMode, column, side); });
    if (const int mark = MarkShown())
        p.drawImage(OperatorMarkRect(mark == 928 ? 0 : 1), Bitmap(mark));
    QFont lineFont = DisplayFont(48);
    PaintWinnerLine(p, WinnerLineOf(*md, md->nWinSide), OperatorWinnerLineRect(m_bFlagShown), lineFont,
                    m_bFlagShown ? OperatorFlagRect() : QRect());
}
