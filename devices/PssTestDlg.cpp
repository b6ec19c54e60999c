#include "devices/PssTestDlg.h"

#include "app/MatchData.h"
#include "app/Messages.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <string_view>

namespace {

constexpr int kDesignWidth = 1920;
constexpr int kDesignHeight = 1080;

// Sensor tiles by control id and their board index; value tiles; punch tiles.
struct Sensor {
    int tile, valueTile, board;
};
constexpr Sensor kSensors[] = {{1339, 1365, 0}, {1337, 1364, 1}, {1340, 1363, 2}, {1338, 1362, 3}};
constexpr int kChungButtons[kJudges] = {1347, 1353, 1359}; // first of the judge's three "C" tiles
constexpr int kHongButtons[kJudges] = {1344, 1350, 1356};  // first of the judge's three "H" tiles
constexpr int kJudgeTiles = 1341;                          // 1341..1343
constexpr int kPunchTiles = 1366;                          // 1366 (tile 23), 1367 (tile 24)

// Tiles of Chung's devices and buttons are blue, Hong's red, the judges' agreement green.
QColor LitColour(int id) {
    if (id == 1339 || id == 1337 || id == 1365 || id == 1364)
        return {30, 91, 215};
    if (id == 1340 || id == 1338 || id == 1363 || id == 1362)
        return {210, 30, 30};
    if (id >= kJudgeTiles && id < kJudgeTiles + 3)
        return {40, 170, 70};
    if (id >= kPunchTiles && id < kPunchTiles + 2)
        return {220, 170, 20};
    for (int j = 0; j < kJudges; ++j)
        if (id >= kChungButtons[j] && id < kChungButtons[j] + 3)
            return {30, 91, 215};
    return {210, 30, 30};
}

} // namespace

PssTestScreen::PssTestScreen(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::black);
    setPalette(look);
}

PssTestScreen::~PssTestScreen() {
    DestroyWindow();
}

LRESULT PssTestScreen::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_PSS_TEST_UPDATE) {
        const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        const int judges = g_pMatchData ? g_pMatchData->nJudgeNumber : kJudges;
        if (m_board.Update(static_cast<int>(wParam), text, judges))
            update();
    } else if (message == UM_PSS_TEST_RESET) {
        m_board.Reset();
        update();
    }
    return 0;
}

std::vector<PssTestScreen::Tile> PssTestScreen::Tiles(bool usePunch) {
    std::vector<Tile> tiles = {
        {1339, "BPS", {120, 80, 320, 200}},     {1337, "HPS", {480, 80, 320, 200}},
        {1338, "HPS", {1120, 80, 320, 200}},    {1340, "BPS", {1480, 80, 320, 200}},
        {1365, "CB Val", {120, 300, 320, 90}},  {1364, "CH Val", {480, 300, 320, 90}},
        {1362, "HH Val", {1120, 300, 320, 90}}, {1363, "HB Val", {1480, 300, 320, 90}},
    };
    if (usePunch) {
        tiles.push_back({kPunchTiles, "PPS", {300, 410, 320, 90}});
        tiles.push_back({kPunchTiles + 1, "PPS", {1300, 410, 320, 90}});
    }
    for (int j = 0; j < kJudges; ++j) {
        const int y = 560 + 170 * j;
        for (int b = 0; b < 3; ++b) {
            const QString number = QString::number(b + 1);
            tiles.push_back({kChungButtons[j] + b, "Button_" + number + "C", {120 + 230 * b, y, 200, 130}});
            tiles.push_back({kHongButtons[j] + b, "Button_" + number + "H", {1140 + 230 * b, y, 200, 130}});
        }
        tiles.push_back({kJudgeTiles + j, "JUDGE", {830, y, 260, 130}});
    }
    return tiles;
}

bool PssTestScreen::Lit(const PssTestBoard& board, int id) {
    for (const Sensor& s : kSensors)
        if (id == s.tile || id == s.valueTile)
            return board.sensorLit[s.board];
    if (id >= kPunchTiles && id < kPunchTiles + 2)
        return board.punchLit[id - kPunchTiles];
    if (id >= kJudgeTiles && id < kJudgeTiles + 3)
        return board.judgeLit[id - kJudgeTiles];
    for (int j = 0; j < kJudges; ++j) {
        if (id >= kChungButtons[j] && id < kChungButtons[j] + 3)
            return board.chungButton[j][id - kChungButtons[j]];
        if (id >= kHongButtons[j] && id < kHongButtons[j] + 3)
            return board.hongButton[j][id - kHongButtons[j]];
    }
    return false;
}

QString PssTestScreen::Text(const PssTestBoard& board, const Tile& tile) {
    for (const Sensor& s : kSensors)
        if (tile.id == s.valueTile && board.sensorLit[s.board])
            return QString::number(board.sensorValue[s.board]);
    if (tile.id >= kPunchTiles && tile.id < kPunchTiles + 2 && board.punchLit[tile.id - kPunchTiles])
        return "PPS " + QString::number(board.punchValue[tile.id - kPunchTiles]);
    return tile.caption;
}

void PssTestScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = m_area.isValid() ? m_area : rect();
    const double sx = static_cast<double>(area.width()) / kDesignWidth;
    const double sy = static_cast<double>(area.height()) / kDesignHeight;
    const auto place = [&](const QRect& r) {
        return QRectF(area.x() + r.x() * sx, area.y() + r.y() * sy, r.width() * sx, r.height() * sy);
    };
    QFont font(QStringLiteral("HelveticaNeueLTPro-Bd"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(std::max(10, static_cast<int>(40 * sy)));
    painter.setFont(font);

    painter.setPen(Qt::white);
    for (int j = 0; j < kJudges; ++j)
        painter.drawText(place({830, 520 + 170 * j, 260, 40}), Qt::AlignCenter,
                         "Judge " + QString::number(j + 1));
    painter.drawText(place({120, 10, 680, 60}), Qt::AlignCenter, QStringLiteral("CHUNG"));
    painter.drawText(place({1120, 10, 680, 60}), Qt::AlignCenter, QStringLiteral("HONG"));

    const bool usePunch = g_pMatchData && g_pMatchData->bUsePunch;
    for (const Tile& tile : Tiles(usePunch)) {
        const bool lit = Lit(m_board, tile.id);
        const QRectF r = place(tile.rect);
        painter.setPen(QPen(lit ? Qt::white : QColor(90, 90, 90), 2));
        painter.setBrush(lit ? LitColour(tile.id) : QColor(40, 40, 40));
        painter.drawRoundedRect(r, 8 * sx, 8 * sy);
        painter.setPen(lit ? Qt::white : QColor(150, 150, 150));
        // Long captions shrink to their tile.
        const QString text = Text(m_board, tile);
        QFont fitted = font;
        const int width = QFontMetrics(font).horizontalAdvance(text);
        if (width > r.width() * 0.9)
            fitted.setPixelSize(std::max(8, static_cast<int>(font.pixelSize() * r.width() * 0.9 / width)));
        painter.setFont(fitted);
        painter.drawText(r, Qt::AlignCenter, text);
        painter.setFont(font);
    }
}

CTK_PssTestDlg::CTK_PssTestDlg(const QRect& screen, QWidget* parent)
    : PssTestScreen(parent, Qt::Window | Qt::FramelessWindowHint) {
    setGeometry(screen);
}

CTK_PssTestDlg_Op::CTK_PssTestDlg_Op(HWND view, QWidget* parent)
    : PssTestScreen(parent, Qt::Window), m_hView(view),
      m_pRefresh(new QPushButton(QStringLiteral("REFRESH"), this)),
      m_pClose(new QPushButton(QStringLiteral("CLOSE"), this)) {
    setWindowTitle(QStringLiteral("Equipment Test"));
    resize(960, 600);
    m_area = QRect(0, 0, 960, 540);
    m_pRefresh->setGeometry(300, 550, 160, 40);
    m_pClose->setGeometry(500, 550, 160, 40);
    connect(m_pRefresh, &QPushButton::clicked, this, &CTK_PssTestDlg_Op::OnClickedRefresh);
    connect(m_pClose, &QPushButton::clicked, this, &CTK_PssTestDlg_Op::OnClickedClose);
}

void CTK_PssTestDlg_Op::OnClickedRefresh() {
    m_board.Reset();
    update();
    SendMessage(m_hView, UM_PSS_TEST_REFRESH, 0, 0);
}

void CTK_PssTestDlg_Op::OnClickedClose() {
    // The view deletes this window while it leaves the test: nothing of it is touched afterwards.
    SendMessage(m_hView, UM_PSS_TEST_CLOSE, 0, 0);
}
