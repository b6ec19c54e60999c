#include "records/ResultSheetDlg.h"

#include "app/AppGlobals.h"
#include "app/DbTemp.h"
#include "app/VeziruduzApp.h"
#include "records/PrintFlow.h"
#include "records/ResultSheet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace

CTK_ResDlg::CTK_ResDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("MATCH RESULT"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(AddLabel(IDC_TITLE, QStringLiteral("MATCH RESULT"), 18, false), 0, Qt::AlignHCenter);
    layout->addWidget(AddLabel(IDC_CLASS, {}, 20, false), 0, Qt::AlignHCenter);
    auto* when = new QHBoxLayout;
    when->addWidget(AddLabel(IDC_MATCH_NO, {}, 15, true));
    when->addStretch();
    when->addWidget(AddLabel(IDC_DATE, {}, 15, true));
    layout->addLayout(when);
    layout->addWidget(AddLabel(IDC_RESULT, {}, 22, false), 0, Qt::AlignHCenter);

    auto* players = new QGridLayout;
    players->addWidget(AddLabel(IDC_CHUNG_NAME, {}, 15, true), 0, 0, Qt::AlignHCenter);
    players->addWidget(AddLabel(IDC_VS, QStringLiteral("VS"), 15, true), 0, 1, Qt::AlignHCenter);
    players->addWidget(AddLabel(IDC_HONG_NAME, {}, 15, true), 0, 2, Qt::AlignHCenter);
    players->addWidget(AddLabel(IDC_CHUNG_ORIGIN, {}, 15, true), 1, 0, Qt::AlignHCenter);
    players->addWidget(AddLabel(IDC_HONG_ORIGIN, {}, 15, true), 1, 2, Qt::AlignHCenter);
    players->addWidget(AddLabel(IDC_CHUNG_NATION, {}, 15, true), 2, 0, Qt::AlignHCenter);
    players->addWidget(AddLabel(IDC_HONG_NATION, {}, 15, true), 2, 2, Qt::AlignHCenter);
    for (const int id : {IDC_CHUNG_TOTAL, IDC_HONG_TOTAL}) {
        QLabel* total = AddLabel(id, {}, 24, false);
        total->setAlignment(Qt::AlignCenter);
        total->setMinimumSize(90, 50);
        total->setAutoFillBackground(true);
        QPalette colours = total->palette();
        colours.setColor(QPalette::Window, id == IDC_CHUNG_TOTAL ? QColor(0, 0, 255) : QColor(255, 0, 0));
        colours.setColor(QPalette::WindowText, Qt::white);
        total->setPalette(colours);
        players->addWidget(total, 3, id == IDC_CHUNG_TOTAL ? 0 : 2, Qt::AlignHCenter);
    }
    struct ScoreRow {
        const char* label;
        int chung, hong;
    };
    const ScoreRow rows[] = {{"Point of Head", IDC_CHUNG_HEAD, IDC_HONG_HEAD},
                             {"Point of Trunk", IDC_CHUNG_TRUNK, IDC_HONG_TRUNK},
                             {"Point", IDC_CHUNG_POINT, IDC_HONG_POINT},
                             {"Gam-Jeom", IDC_CHUNG_DEDUCT, IDC_HONG_DEDUCT}};
    int r = 4;
    for (const ScoreRow& row : rows) {
        players->addWidget(AddLabel(row.chung, {}, 15, true), r, 0, Qt::AlignHCenter);
        players->addWidget(new QLabel(QString::fromLatin1(row.label), this), r, 1, Qt::AlignHCenter);
        players->addWidget(AddLabel(row.hong, {}, 15, true), r, 2, Qt::AlignHCenter);
        ++r;
    }
    layout->addLayout(players);

    auto* devices = new QHBoxLayout;
    devices->addWidget(new QLabel(QStringLiteral("Head Gear"), this));
    devices->addWidget(AddLabel(IDC_HEAD_GEAR, {}, 15, true));
    devices->addStretch();
    devices->addWidget(new QLabel(QStringLiteral("e-Socks"), this));
    devices->addWidget(AddLabel(IDC_E_SOCKS, {}, 15, true));
    layout->addLayout(devices);

    auto* buttons = new QHBoxLayout;
    m_summary = new QCheckBox(QStringLiteral("Summary"), this);
    m_includeAll = new QCheckBox(QStringLiteral("Include All"), this);
    auto* print = new QPushButton(QStringLiteral("Print"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    buttons->addWidget(m_summary);
    buttons->addWidget(m_includeAll);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(print, &QPushButton::clicked, this, &CTK_ResDlg::OnPrint);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QLabel* CTK_ResDlg::AddLabel(int id, const QString& text, int pixelSize, bool bold) {
    auto* label = new QLabel(text, this);
    QFont font(QStringLiteral("HelveticaNeueLTPro-Bd"));
    font.setFamilies({QStringLiteral("HelveticaNeueLTPro-Bd"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Noto Sans CJK KR")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    m_labels[id] = label;
    return label;
}

QLabel* CTK_ResDlg::Label(int id) const {
    const auto found = m_labels.find(id);
    return found == m_labels.end() ? nullptr : found->second;
}

void CTK_ResDlg::SetMatch(const std::u16string& court, const std::u16string& gameNo,
                          const std::u16string& key) {
    m_court = court;
    m_gameNo = gameNo;
    m_key = key;
}

bool CTK_ResDlg::OnInitDialog() {
    if (!LoadResultRow(theApp.m_dbLocal, m_key))
        return false;
    FillResultSheet();
    return true;
}

void CTK_ResDlg::FillResultSheet() {
    const std::u16string* s = g_strResultRow;
    const auto set = [&](int id, const std::u16string& text) { Label(id)->setText(Q(text)); };
    Label(IDC_HEAD_GEAR)
        ->setText(s[ResultSlot::HeadGear] == u"O" ? QStringLiteral("(O)") : QStringLiteral("(X)"));
    Label(IDC_E_SOCKS)
        ->setText(s[ResultSlot::ESocks] == u"O" ? QStringLiteral("(O)") : QStringLiteral("(X)"));
    Label(IDC_CLASS)->setText(
        QStringLiteral("%1 %2 (%3)")
            .arg(Q(s[ResultSlot::Weight]), Q(s[ResultSlot::Weight1]), Q(s[ResultSlot::Sex])));
    Label(IDC_MATCH_NO)->setText(QStringLiteral("Match No.") + Q(s[ResultSlot::GameNo]));
    set(IDC_DATE, s[ResultSlot::Date]);
    set(IDC_RESULT, s[ResultSlot::Winner]);
    set(IDC_CHUNG_NAME, s[ResultSlot::ChungName]);
    set(IDC_HONG_NAME, s[ResultSlot::HongName]);
    set(IDC_CHUNG_ORIGIN, OriginText(s[ResultSlot::ChungFrom], s[ResultSlot::ChungNation]));
    set(IDC_HONG_ORIGIN, OriginText(s[ResultSlot::HongFrom], s[ResultSlot::HongNation]));
    set(IDC_CHUNG_NATION, NationText(s[ResultSlot::ChungNation]));
    set(IDC_HONG_NATION, NationText(s[ResultSlot::HongNation]));
    set(IDC_CHUNG_TOTAL, s[ResultSlot::ChungTotal]);
    set(IDC_HONG_TOTAL, s[ResultSlot::HongTotal]);
    set(IDC_CHUNG_HEAD, s[ResultSlot::ChungHead]);
    set(IDC_CHUNG_TRUNK, s[ResultSlot::ChungVest]);
    set(IDC_CHUNG_POINT, s[ResultSlot::ChungPoint]);
    set(IDC_CHUNG_DEDUCT, s[ResultSlot::ChungDeduct]);
    set(IDC_HONG_HEAD, s[ResultSlot::HongHead]);
    set(IDC_HONG_TRUNK, s[ResultSlot::HongVest]);
    set(IDC_HONG_POINT, s[ResultSlot::HongPoint]);
    set(IDC_HONG_DEDUCT, s[ResultSlot::HongDeduct]);
}

void CTK_ResDlg::OnPrint() {
    if (!g_pChungLog || !g_pHongLog)
        return;
    const EventFilter filter = EventFilterOf(m_summary->isChecked(), m_includeAll->isChecked());
    LoadEventRows(theApp.m_dbLocal, 0, filter, m_key, *g_pChungLog);
    LoadEventRows(theApp.m_dbLocal, 1, filter, m_key, *g_pHongLog);
    accept();
    ShowResultPreview(parentWidget());
}
