#include "devices/DevListDlg.h"

#include "controls/CheckListCtrl.h"
#include "platform/MessageBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace

CTK_DevListDlg::CTK_DevListDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Device List Manager"));
    auto* layout = new QVBoxLayout(this);
    auto* sides = new QHBoxLayout;
    const char* groups[] = {" CHUNG Device List ", " HONG Device List "};
    const char* labels[] = {" Trunk Protector", " Head Protector"};
    const QColor sideColours[] = {QColor(0, 0, 192), QColor(192, 0, 0)};
    for (int side = 0; side < 2; ++side) {
        auto* group = new QGroupBox(QString::fromUtf8(groups[side]), this);
        auto* column = new QVBoxLayout(group);
        for (int type = 0; type < 2; ++type) {
            const int i = side * 2 + type;
            const ListControls& ids = kControls[i];
            auto* label = new QLabel(QString::fromUtf8(labels[type]), group);
            QPalette look = label->palette();
            look.setColor(QPalette::WindowText, sideColours[side]);
            label->setPalette(look);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            column->addWidget(label);

            auto* row = new QHBoxLayout;
            m_edits[i] = new QLineEdit(group);
            m_edits[i]->setObjectName(QString::number(ids.edit));
            m_edits[i]->setMaxLength(32);
            m_edits[i]->setPlaceholderText(QStringLiteral("16 hexadecimal digits"));
            m_edits[i]->installEventFilter(this);
            m_add[i] = new QPushButton(QStringLiteral("Add"), group);
            m_add[i]->setObjectName(QString::number(ids.add));
            m_del[i] = new QPushButton(QStringLiteral("Del"), group);
            m_del[i]->setObjectName(QString::number(ids.del));
            for (QPushButton* button : {m_add[i], m_del[i]}) {
                button->setAutoDefault(false);
                button->setFixedWidth(50);
            }
            row->addWidget(m_edits[i]);
            row->addWidget(m_add[i]);
            row->addWidget(m_del[i]);
            column->addLayout(row);

            m_lists[i] = new CCheckListCtrl(group, ids.list);
            m_lists[i]->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Device ID")});
            m_lists[i]->header()->resizeSection(0, 80);
            m_lists[i]->header()->setStretchLastSection(true);
            m_lists[i]->setMinimumSize(300, 170);
            m_lists[i]->Init();
            column->addWidget(m_lists[i]);

            const DeviceList list = kDeviceLists[i];
            connect(m_add[i], &QPushButton::clicked, this, [this, list] { OnClickedAdd(list); });
            connect(m_del[i], &QPushButton::clicked, this, [this, list] { OnClickedDel(list); });
            Load(list);
        }
        sides->addWidget(group);
    }
    layout->addLayout(sides);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

void CTK_DevListDlg::Load(DeviceList list) {
    CCheckListCtrl* control = List(list);
    control->clear();
    int number = 0;
    for (const std::u16string& address : LoadDeviceList(list)) {
        ++number;
        control->InsertItem(control->GetItemCount(), {QString::number(number), Text(address)});
    }
}

std::vector<std::u16string> CTK_DevListDlg::Addresses(DeviceList list) const {
    std::vector<std::u16string> addresses;
    const CCheckListCtrl* control = List(list);
    for (int row = 0; row < control->GetItemCount(); ++row)
        addresses.push_back(control->GetItemText(row, 1).toStdU16String());
    return addresses;
}

void CTK_DevListDlg::Save(DeviceList list) {
    if (!SaveDeviceList(list, Addresses(list)))
        AfxMessageBox(u"DevMgr.ini could not be written; the device list is not saved.",
                      MB_OK | MB_ICONWARNING);
}

void CTK_DevListDlg::OnClickedAdd(DeviceList list) {
    QLineEdit* edit = Edit(list);
    const std::u16string address = edit->text().trimmed().toStdU16String();
    const DeviceAddRefusal refusal = CheckDeviceAddress(list, address, Addresses(list));
    if (refusal != DeviceAddRefusal::None) {
        AfxMessageBox(DeviceAddRefusalText(refusal));
    } else {
        CCheckListCtrl* control = List(list);
        control->InsertItem(control->GetItemCount(),
                            {QString::number(control->GetItemCount() + 1), Text(address)});
        Save(list);
    }
    edit->clear();
}

void CTK_DevListDlg::OnClickedDel(DeviceList list) {
    CCheckListCtrl* control = List(list);
    for (int row = control->GetItemCount() - 1; row >= 0; --row)
        if (control->GetCheck(row))
            control->DeleteItem(row);
    for (int row = 0; row < control->GetItemCount(); ++row)
        control->SetItemText(row, 0, QString::number(row + 1));
    Save(list);
}

bool CTK_DevListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (int i = 0; i < 4; ++i)
                if (watched == m_edits[i]) {
                    if (!m_edits[i]->text().isEmpty())
                        OnClickedAdd(kDeviceLists[i]);
                    return true;
                }
        }
    }
    return QDialog::eventFilter(watched, event);
}
