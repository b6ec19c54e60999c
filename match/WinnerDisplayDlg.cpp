#include "match/WinnerDisplayDlg.h"

#include "app/AppGlobals.h"
#include "app/DisplayFont.h"
#include "app/MatchData.h"
#include "app/PngResource.h"
#include "controls/AnimatedPicture.h"
#include "match/ScoreRules.h"
#include "resources/Artwork.h"
#include "screens/FittedText.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

using namespace WinnerDisplayRules;

namespace {

constexpr int kPublic720Background = 707;
constexpr int kPublic1080Background = 658;
constexpr int kOperatorBackground = 872;
const QColor kUnpainted(16, 24, 48); // what shows where a background picture is missing

void PaintBackground(QPainter& painter, const QImage* image, const QSize& size, const QRect& all) {
    painter.fillRect(all, kUnpainted);
    if (image)
        painter.drawImage(QRect(QPoint(0, 0), size), *image);
}

void MakeFrameless(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setModal(false);
    dialog.setAttribute(Qt::WA_OpaquePaintEvent);
}

} // namespace

WinnerDisplay::WinnerDisplay(WinnerDisplayRules::Screen screen, int backgroundId, QWidget* parent)
    : QDialog(parent), m_screen(screen), m_background(LoadPngResource(backgroundId)) {
    MakeFrameless(*this);
    setObjectName(screen == WinnerDisplayRules::Screen::Operator ? QStringLiteral("768")
                                                                 : QStringLiteral("602"));
    m_name = new QLabel(this);
    m_name->setObjectName(QString::number(IDC_NAME));
    m_name->setAlignment(Qt::AlignCenter);
    m_flagFrame = new QFrame(this);
    m_flagFrame->setObjectName(QString::number(IDC_FLAG_FRAME));
    m_flagFrame->setStyleSheet(QStringLiteral("background-color: #808080;"));
    m_flag = new CAnimatedPicture(this);
    m_flag->setObjectName(QString::number(IDC_FLAG));
    m_flag->setAccessibleName(QStringLiteral("Flag of the winner's nation"));
    m_flag->setToolTip(m_flag->accessibleName());
    // A flag file that turns out not to show takes its frame with it.
    connect(m_flag, &CAnimatedPicture::pictureReady, this, [this](bool shown) {
        if (shown)
            return;
        m_flag->hide();
        m_flagFrame->hide();
    });
    OnInitDialog();
}

WinnerDisplay::~WinnerDisplay() = default;

void WinnerDisplay::OnInitDialog() {
    const MatchData* md = g_pMatchData;
    const int w = md ? md->nWinSide : 3;
    const bool chungHasNation = md && md->aPlayer[0].nNation != 0;
    m_layout = LayoutFor(m_screen, chungHasNation);
    m_name->setGeometry(m_layout.name);
    m_name->setFont(DisplayFont(m_layout.nameFont));

    bool flag = md && ShowsFlag(*md, w);
    if (flag) {
        const QString path = FlagPath(*md, QString::fromStdU16String(g_strAppDir), w);
        flag = !path.contains(QStringLiteral("none.gif"));
        if (flag) {
            m_flag->move(m_layout.flag.topLeft());
            m_flagFrame->setGeometry(m_layout.flagFrame);
            m_flag->LoadInBackground(path, m_layout.flag.width(), m_layout.flag.height());
        }
    }
    m_flag->setVisible(flag);
    m_flagFrame->setVisible(flag);

    const Colours colours = NameColours(w);
    m_name->setStyleSheet(QStringLiteral("background-color: %1; color: %2;")
                              .arg(colours.background.name(), colours.text.name()));
    // A long name shrinks to fit its line, then is elided; it never runs off the line's ends.
    const int margin = m_layout.name.height() / 10;
    const FittedText name = FitText(md ? NameText(*md, w) : QStringLiteral("DRAW"), m_name->font(),
                                    m_layout.name.width() - 2 * margin, m_layout.nameFont / 2);
    m_name->setFont(name.font);
    m_name->setText(name.text);
}

void WinnerDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBackground(painter, m_background.get(), m_layout.background, rect());
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const auto text = [&](const QRect& box, int pixels, Qt::Alignment align, const QString& words) {
        const FittedText fitted = FitText(words, DisplayFont(pixels), box.width(), pixels / 2);
        painter.setFont(fitted.font);
        painter.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine, fitted.text);
    };
    painter.setPen(Qt::white);
    text(m_layout.title, m_layout.titleFont, Qt::AlignHCenter, TitleText(*md));
    // The scores say whose they are and what they count.
    const auto [chung, hong] = Scores(*md);
    text(m_layout.chungValue, m_layout.nameFont, Qt::AlignHCenter, QString::number(chung));
    text(m_layout.hongValue, m_layout.nameFont, Qt::AlignHCenter, QString::number(hong));
    text(m_layout.scoreCaption, m_layout.labelFont, Qt::AlignRight, ScoreCaption(*md));
    for (const int side : {0, 1}) {
        const QRect& header = side == 0 ? m_layout.chungHeader : m_layout.hongHeader;
        painter.fillRect(header, NameColours(side).background);
        text(header, m_layout.labelFont, Qt::AlignHCenter,
             side == 0 ? QStringLiteral("CHUNG") : QStringLiteral("HONG"));
    }
}

void WinnerDisplay::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc must not close a display the owner keeps.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

CTK_WinDispDlg::CTK_WinDispDlg(int left, int top, int right, int bottom, QWidget* parent)
    : WinnerDisplay(g_pMatchData ? PublicScreen(*g_pMatchData) : WinnerDisplayRules::Screen::Public1920,
                    g_pMatchData && g_pMatchData->nDisplayResolution == 1 ? kPublic720Background
                                                                          : kPublic1080Background,
                    parent) {
    setGeometry(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

CTK_WinDispDlg_OP::CTK_WinDispDlg_OP(QWidget* parent)
    : WinnerDisplay(WinnerDisplayRules::Screen::Operator, kOperatorBackground, parent) {
    const MatchData* md = g_pMatchData;
    setGeometry(OperatorRect(md ? md->nPrimaryRight : 1024, md ? md->nPrimaryBottom : 574));
}

CTK_WinPopDlg::CTK_WinPopDlg(int left, int top, int right, int bottom, int reason, int winner,
                             QWidget* parent)
    : QDialog(parent) {
    MakeFrameless(*this);
    setObjectName(QStringLiteral("961"));
    const MatchData* md = g_pMatchData;
    const bool res1280 = md && md->nDisplayResolution == 1;
    const bool roundWins = md && ScoreRules::UsesRoundWins(*md);
    m_nImageId = BannerImageId(reason, res1280, roundWins, md ? BannerWinner(*md, winner) : 0);
    m_drawSize = BannerSize(res1280, roundWins);
    m_image = LoadPngResource(m_nImageId);
    // The picture's words, for screen readers.
    setAccessibleName(ArtworkSays(ImageKind::Png, m_nImageId).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    setToolTip(accessibleName());
    setGeometry(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

CTK_WinPopDlg::~CTK_WinPopDlg() = default;

void CTK_WinPopDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBackground(painter, m_image.get(), m_drawSize, rect());
}

void CTK_WinPopDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}
