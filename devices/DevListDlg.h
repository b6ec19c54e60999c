// The "Device List Manager" dialog: per side and protector type a list of up to six known device addresses,
// kept in DevMgr.ini [DEVICE_LIST] (devices/DeviceLists.h). An address is added from its edit (Add, or Enter
// in the edit) after the checks of the list; Del removes the checked rows and numbers the rest again. Every
// change is saved at once.
//
// Thread: user-interface thread only.
#pragma once

#include "devices/DeviceLists.h"

#include <QDialog>

class CCheckListCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

class CTK_DevListDlg : public QDialog {
    Q_OBJECT
public:
    // Controls of each list: edit, Add, Del, list.
    struct ListControls {
        int edit;
        int add;
        int del;
        int list;
    };
    static constexpr ListControls kControls[4] = {
        {1044, 1000, 1001, 1387}, // Chung trunk
        {1045, 1002, 1003, 1388}, // Chung head
        {1046, 1004, 1005, 1389}, // Hong trunk
        {1047, 1006, 1007, 1390}, // Hong head
    };

    explicit CTK_DevListDlg(QWidget* parent = nullptr);

    // Add and Del of one list.
    void OnClickedAdd(DeviceList list);
    void OnClickedDel(DeviceList list);

    CCheckListCtrl* List(DeviceList list) const { return m_lists[Index(list)]; }
    QLineEdit* Edit(DeviceList list) const { return m_edits[Index(list)]; }
    QPushButton* AddButton(DeviceList list) const { return m_add[Index(list)]; }
    QPushButton* DelButton(DeviceList list) const { return m_del[Index(list)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int Index(DeviceList list) { return static_cast<int>(list); }
    void Load(DeviceList list);
    void Save(DeviceList list);
    std::vector<std::u16string> Addresses(DeviceList list) const;

    CCheckListCtrl* m_lists[4] = {};
    QLineEdit* m_edits[4] = {};
    QPushButton* m_add[4] = {};
    QPushButton* m_del[4] = {};
};
