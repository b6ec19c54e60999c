// The device lists of DevMgr.ini: the address checks in their order, loading and saving, and the dialog's
// Add, Enter and Del offscreen.
#include "app/IniFiles.h"
#include "controls/CheckListCtrl.h"
#include "devices/DevListDlg.h"
#include "devices/DeviceLists.h"
#include "tests/support/TestCourt.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Addresses = std::vector<std::u16string>;

TEST(DeviceAddressCheck, ChecksRunInTheirOrderForEachList) {
    const Addresses six = {u"0000000000000001", u"0000000000000002", u"0000000000000003",
                           u"0000000000000004", u"0000000000000005", u"0000000000000006"};
    const struct {
        DeviceList list;
        const char16_t* address;
        Addresses current;
        DeviceAddRefusal refusal;
    } cases[] = {
        {DeviceList::ChungTrunk, u"0000000000000000", {}, DeviceAddRefusal::None},
        {DeviceList::ChungTrunk, u"000000000000000", {}, DeviceAddRefusal::Length},
        {DeviceList::ChungTrunk, u"00000000000000000", {}, DeviceAddRefusal::Length},
        {DeviceList::ChungTrunk, u"000000000000000g", {}, DeviceAddRefusal::NotHex},
        {DeviceList::ChungTrunk, u"1000000000000000", {}, DeviceAddRefusal::Colour},
        {DeviceList::ChungTrunk, u"0000010000000000", {}, DeviceAddRefusal::Type},
        {DeviceList::ChungTrunk, u"1000010000000000", {}, DeviceAddRefusal::Colour}, // colour before type
        {DeviceList::ChungTrunk, u"0000000000000000", six, DeviceAddRefusal::Full},
        {DeviceList::ChungTrunk, u"00000000000000AB", {u"00000000000000ab"}, DeviceAddRefusal::Duplicate},
        {DeviceList::ChungHead, u"0000010000000000", {}, DeviceAddRefusal::None},
        {DeviceList::ChungHead, u"0000000000000000", {}, DeviceAddRefusal::Type},
        {DeviceList::HongTrunk, u"10a0000000000000", {}, DeviceAddRefusal::None},
        {DeviceList::HongTrunk, u"0000000000000000", {}, DeviceAddRefusal::Colour},
        {DeviceList::HongHead, u"1000010000000000", {}, DeviceAddRefusal::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromStdU16String(c.address).toStdString());
        EXPECT_EQ(CheckDeviceAddress(c.list, c.address, c.current), c.refusal);
    }
    EXPECT_EQ(DeviceAddRefusalText(DeviceAddRefusal::Full), u"Limit the maximum device number!");
    EXPECT_EQ(DeviceAddRefusalText(DeviceAddRefusal::Length),
              u"The character size are longer or shorter then 16.");
}

class DeviceListFileTest : public TestCourt, public ::testing::Test {};

TEST_F(DeviceListFileTest, EmptyKeysAreEmptyListsAndPiecesAreTrimmed) {
    EXPECT_TRUE(LoadDeviceList(DeviceList::ChungTrunk).empty()) << "no file";
    home.write("ini/DevMgr.ini",
               "[DEVICE_LIST]\r\nEBP_CHUNG=\r\nEHP_HONG= 1000010000000001 ,,1000010000000002\r\n");
    EXPECT_TRUE(LoadDeviceList(DeviceList::ChungTrunk).empty()) << "an empty key is no rows";
    EXPECT_EQ(LoadDeviceList(DeviceList::HongHead), (Addresses{u"1000010000000001", u"1000010000000002"}));
}

TEST_F(DeviceListFileTest, SavingJoinsWithCommasAndKeepsAUtf16File) {
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("[DEVICE_LIST]\r\nEBP_CHUNG=\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    home.write("ini/DevMgr.ini", utf16);
    ASSERT_TRUE(SaveDeviceList(DeviceList::ChungTrunk, {u"0000000000000001", u"0000000000000002"}));
    const std::string bytes = home.read("ini/DevMgr.ini");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "the file stays UTF-16";
    EXPECT_EQ(LoadDeviceList(DeviceList::ChungTrunk), (Addresses{u"0000000000000001", u"0000000000000002"}));
    ASSERT_TRUE(SaveDeviceList(DeviceList::ChungTrunk, {}));
    EXPECT_TRUE(LoadDeviceList(DeviceList::ChungTrunk).empty());
}

// ---- the dialog ----

class DevListDlgTest : public DeviceListFileTest {
protected:
    void Type(DeviceList list, const QString& text) {
        QLineEdit* edit = dialog.Edit(list);
        edit->setText(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &press);
    }
    std::u16string Key(const char16_t* key) {
        WCHAR buffer[kIniValueChars];
        ReadIniString(u"DEVICE_LIST", key, buffer, u"DevMgr.ini");
        return buffer;
    }
    CTK_DevListDlg dialog;
};

TEST_F(DevListDlgTest, AddSavesAtOnceAndRefusalsWriteNothing) {
    EXPECT_EQ(dialog.windowTitle(), "Device List Manager");
    Type(DeviceList::ChungTrunk, "0000000000000000");
    EXPECT_EQ(Key(u"EBP_CHUNG"), u"0000000000000000");
    EXPECT_TRUE(dialog.Edit(DeviceList::ChungTrunk)->text().isEmpty());

    Type(DeviceList::ChungTrunk, "0000010000000000");
    Type(DeviceList::ChungTrunk, "1000000000000000");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "The protector type is not corrected!\r\nPlease check if the protector is body protector "
                  "or headgear!",
                  "The color of protector is not corrected!\r\nPlease check the color of protector."}));
    EXPECT_TRUE(dialog.Edit(DeviceList::ChungTrunk)->text().isEmpty()) << "the edit is cleared in every case";
    EXPECT_EQ(Key(u"EBP_CHUNG"), u"0000000000000000");

    for (int i = 1; i <= 5; ++i)
        Type(DeviceList::ChungTrunk, QStringLiteral("000000000000000%1").arg(i));
    Type(DeviceList::ChungTrunk, "0000000000000009");
    EXPECT_EQ(prompter.texts().back(), "Limit the maximum device number!");
    EXPECT_EQ(dialog.List(DeviceList::ChungTrunk)->GetItemCount(), 6);
    EXPECT_EQ(dialog.List(DeviceList::ChungTrunk)->GetItemText(5, 0), "6");

    // An empty edit and Enter does nothing.
    const std::size_t boxes = prompter.texts().size();
    Type(DeviceList::HongHead, "");
    EXPECT_EQ(prompter.texts().size(), boxes);
}

TEST_F(DevListDlgTest, DelRemovesTheCheckedRowsAndNumbersTheRestAgain) {
    for (const char* address : {"1000000000000001", "1000000000000002", "1000000000000003"})
        Type(DeviceList::HongTrunk, address);
    CCheckListCtrl* list = dialog.List(DeviceList::HongTrunk);
    dialog.OnClickedDel(DeviceList::HongTrunk);
    EXPECT_EQ(Key(u"EBP_HONG"), u"1000000000000001,1000000000000002,1000000000000003")
        << "nothing checked rewrites the same list";
    list->SetCheck(0, true);
    list->SetCheck(2, true);
    dialog.DelButton(DeviceList::HongTrunk)->click();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "1");
    EXPECT_EQ(list->GetItemText(0, 1), "1000000000000002");
    EXPECT_EQ(Key(u"EBP_HONG"), u"1000000000000002");

    CTK_DevListDlg again; // loads what was saved
    EXPECT_EQ(again.List(DeviceList::HongTrunk)->GetItemText(0, 1), "1000000000000002");
}

} // namespace
