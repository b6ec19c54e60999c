// "Load OVR Match" against real peers: the registration dialog asks a loopback TCP peer that plays each
// results system, the peer checks the request bytes and answers with a fixture reply, and the dialog's
// 2000 ms timer reads it into the match record and the form. Also the match-input file through the dialog,
// and the links that never keep a reply (serial, UDP).
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Timers.h"
#include "app/VeziruduzApp.h"
#include "links/LinkSlots.h"
#include "links/MatchInput.h"
#include "links/Transport.h"
#include "links/WtApiClient.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"
#include "registration/RegDlgHandle.h"
#include "tests/links/MatchListFixture.h"
#include "tests/platform/EventPump.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestCourt.h"
#include "tools/PtyPeer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr DWORD kLoopback = 0x7F000001;

// The operator view as the dialog tells it: the messages in order.
class FakeView : public MessageWindow {
public:
    std::vector<UINT> received;
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        received.push_back(message);
        return 0;
    }
};

// The dialogs with the file dialog answered by the test.
template <typename Base> class Testable : public Base {
public:
    using Base::Base;
    std::u16string pick;               // empty: cancelled
    std::function<void()> whileAsking; // what happens while the operator picks the file

protected:
    std::u16string AskMatchInputFile() override {
        if (whileAsking)
            whileAsking();
        return pick;
    }
};

// A match record field by name, as text, for the tables below.
std::string FieldOf(const MatchData& md, const std::string& name) {
    const auto text = [](const char* field) { return std::string(field); };
    const std::map<std::string, std::function<std::string()>> fields = {
        {"contest", [&] { return text(md.szContestNo); }},
        {"class", [&] { return text(md.szWeightClass); }},
        {"gender", [&] { return text(md.szGender); }},
        {"weight", [&] { return text(md.szWeight); }},
        {"phase", [&] { return text(md.szPhase); }},
        {"key", [&] { return text(md.szOvrMatchKey); }},
        {"rounds", [&] { return std::to_string(md.nRound); }},
        {"matchTime", [&] { return std::to_string(md.nMatchTime); }},
        {"restTime", [&] { return std::to_string(md.nRestTime); }},
        {"body", [&] { return std::to_string(md.nLevelBody); }},
        {"head", [&] { return std::to_string(md.nLevelHead); }},
        {"punch", [&] { return std::to_string(md.nLevelPunch); }},
        {"gamJeom", [&] { return std::to_string(md.nGamJeom); }},
        {"pointGap", [&] { return std::to_string(md.nPointGap); }},
        {"vrQuota", [&] { return std::to_string(md.nVRQuota); }},
        {"teamDraw", [&] { return std::to_string(md.bTeamDrawUse); }},
        {"c.name", [&] { return text(md.aPlayer[0].szName); }},
        {"c.id", [&] { return text(md.aPlayer[0].szExtId); }},
        {"c.code", [&] { return text(md.aPlayer[0].szNationCode); }},
        {"c.nation", [&] { return std::to_string(md.aPlayer[0].nNation); }},
        {"c.vr", [&] { return std::to_string(md.aSide[0].nVRRemain); }},
        {"c.body", [&] { return text(md.aPlayer[0].szMacBody); }},
        {"c.head", [&] { return text(md.aPlayer[0].szMacHead); }},
        {"h.name", [&] { return text(md.aPlayer[1].szName); }},
        {"h.id", [&] { return text(md.aPlayer[1].szExtId); }},
        {"h.code", [&] { return text(md.aPlayer[1].szNationCode); }},
        {"h.nation", [&] { return std::to_string(md.aPlayer[1].nNation); }},
        {"h.vr", [&] { return std::to_string(md.aSide[1].nVRRemain); }},
        {"h.body", [&] { return text(md.aPlayer[1].szMacBody); }},
        {"h.head", [&] { return text(md.aPlayer[1].szMacHead); }},
        {"echo0", [&] { return text(md.szLinkTag[0]); }},
        {"echo1", [&] { return text(md.szLinkTag[1]); }},
        {"echo7", [&] { return text(md.szLinkTag[7]); }},
        {"echo9", [&] { return text(md.szLinkTag[9]); }},
    };
    const auto found = fields.find(name);
    return found == fields.end() ? "<no field " + name + ">" : found->second();
}

class OvrImportTest : public ::testing::Test, protected TestCourt {
protected:
    OvrImportTest() {
        EXPECT_EQ(home.makeLocalDatabase(), "");
        theApp.m_dbLocal.Close();
        EXPECT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str()));
        const char16_t* nations[][3] = {{u"", u"", u"-"}, {u"KOR", u"", u"Korea"}, {u"IRL", u"", u"Ireland"}};
        for (int i = 0; i < 3; ++i)
            for (int f = 0; f < 3; ++f)
                std::copy_n(nations[i][f], std::char_traits<char16_t>::length(nations[i][f]) + 1,
                            md->aNation[i].wszField[f]);
        md->nNationCount = 3;
        md->nCourtNo = 3;
        md->nPSSType = 2;
        md->nRound = 3;
        md->nMatchTime = 120;
        md->nPrimaryRight = 1920;
        md->nPrimaryBottom = 1080;
        server.listen(QHostAddress::LocalHost);
        md->cfgOvr.dwTcpIp = kLoopback;
        md->cfgOvr.nTcpPort = server.serverPort();
        md->dwPreRegIp = kLoopback;
        md->nPreRegPort = server.serverPort();
        links = std::make_unique<CMainWnd>();
        g_hMainWnd = view.GetSafeHwnd(); // the dialog's notices go to the fake; link events to the real view
    }
    ~OvrImportTest() override {
        delete dialog.data();
        links.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_hMainWnd = 0;
        g_hRegDlg = 0;
        g_MatchInput = TTK_MatchInput();
    }

    // Opens the OVR link (or the pre-registration link) over TCP to the test's server: its peer socket.
    QTcpSocket* Connect(int system) {
        if (system == LINK_OVR)
            md->nOvrCommType = COMM_TCP;
        SendMessage(links->GetSafeHwnd(), UM_EXT_LINK_CONTROL, system, 0);
        EXPECT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
        QTcpSocket* peer = server.nextPendingConnection();
        EXPECT_TRUE(pumpUntil(
            [&] { return system == LINK_OVR ? md->bOvrConnected == 1 : md->bPreRegConnected == 1; }));
        return peer;
    }
    template <typename Dialog = Testable<CTK_RegDlg>> Dialog* Open() {
        auto* d = new Dialog;
        dialog = d;
        return d;
    }
    std::string LastBox() const { return prompter.texts().empty() ? "<no box>" : prompter.texts().back(); }
    void Click(int id) { static_cast<QPushButton*>(dialog->GetDlgItem(id))->click(); }
    QComboBox* Combo(int id) { return static_cast<QComboBox*>(dialog->GetDlgItem(id)); }
    // What the peer got, once `count` bytes have come.
    static std::string Received(QTcpSocket* peer, std::size_t count) {
        std::string got;
        pumpUntil([&] {
            got += peer->readAll().toStdString();
            return got.size() >= count;
        });
        return got;
    }
    void Answer(QTcpSocket* peer, const std::string& reply, const char* buffer) {
        peer->write(reply.data(), static_cast<qint64>(reply.size()));
        peer->flush();
        ASSERT_TRUE(pumpUntil([&] { return buffer[0] != '\0'; }));
    }
    // The operator presses Start on the loaded match, whose protectors are registered: round 1 runs.
    void StartTheMatch() {
        md->nGameState = 1;
        for (int slot = 0; slot < 2; ++slot)
            md->bRegBody[slot] = md->bRegHead[slot] = 1;
        links->OnClickedStart();
        ASSERT_EQ(md->nGameState, 3);
        ASSERT_EQ(md->nCurRound, 1);
    }
    // The match under way kept its round and its running clock.
    void ExpectTheMatchStillRuns() {
        EXPECT_EQ(md->nGameState, 3);
        EXPECT_EQ(md->nCurRound, 1);
        EXPECT_TRUE(clock.isArmed(links->GetSafeHwnd(), TIMER_ROUND_CLOCK));
    }
    void WaitForTheReply() {
        clock.advance(1999);
        EXPECT_FALSE(dialog->GetDlgItem(1290)->isEnabled()) << "the button waits for the reply";
        clock.advance(1);
        EXPECT_TRUE(dialog->GetDlgItem(1290)->isEnabled());
    }

    platform::ManualTime clock;
    QTcpServer server;
    FakeView view;
    std::unique_ptr<CMainWnd> links;
    QPointer<CTK_RegDlg> dialog;
};

struct SupplierCase {
    const char* name;
    int supplier;
    bool byNumber;
    const char* number;
    std::string request; // the bytes the peer must get
    std::string reply;
    std::vector<std::pair<std::string, std::string>> fields;
    int genderItem;
    int nationRow[2];
    std::vector<std::pair<int, std::string>> controls;
};

const std::string kMacs = "00150005E7750A1B|00150005E7750A1C|10150005E7750A1D|10150005E7750A1E|";

const SupplierCase kSuppliers[] = {
    {"Vordex-GENERIC",
     6,
     false,
     "",
     "\x01\x12"
     "3\x13RIN\x04",
     "\x01\x12"
     "3\x13RIN|105|M|-68 kg|Final|C-77|KIM Minsu|KOR|H-88|Sean ROSS|IRL|2|1|25|30|20|10|12\x04",
     {{"contest", "105"}, {"gender", "Male"}, {"weight", "-68 kg"},    {"phase", "Final"},
      {"class", " "},     {"c.id", "C-77"},   {"c.name", "KIM Minsu"}, {"c.code", "KOR"},
      {"c.nation", "1"},  {"h.id", "H-88"},   {"h.name", "Sean ROSS"}, {"h.code", "IRL"},
      {"h.nation", "2"},  {"c.vr", "2"},      {"vrQuota", "2"},        {"h.vr", "1"},
      {"body", "25"},     {"head", "30"},     {"punch", "20"},         {"gamJeom", "10"},
      {"pointGap", "12"}},
     0,
     {1, 2},
     {{1008, "KIM Minsu"}, {1282, "Korea"}, {1009, "Sean ROSS"}, {1284, "Ireland"}, {1048, "25"}}},
    {"SCEU next match",
     7,
     false,
     "",
     "\x02"
     "0012|3|NextMatch\x03",
     "\x02"
     "0|1|2|205|WSEN|\xE7\x94\xB7\xE5\xAD\x90|-80 kg|LEE Dae|C-1|KOR|Tom HALL|H-2|IRL|0|120|22|28|||no\x03",
     {{"contest", "205"},
      {"class", "Senior"},
      {"gender", "Male"},
      {"weight", "-80 kg"},
      {"c.name", "LEE Dae"},
      {"c.id", "C-1"},
      {"c.code", "KOR"},
      {"h.name", "Tom HALL"},
      {"h.id", "H-2"},
      {"h.code", "IRL"},
      {"rounds", "3"},
      {"matchTime", "120"},
      {"body", "22"},
      {"punch", "22"},
      {"head", "28"}},
     0,
     {1, 2},
     {{1008, "LEE Dae"}, {1284, "Ireland"}, {1048, "22"}, {1303, ""}}},
    {"SCEU by number, team codes",
     7,
     true,
     "207",
     "\x02"
     "0022|3|NextManualMatch|207\x03",
     "\x02"
     "0|1|2|207|XJUN|F|-49 kg|A|C-1||B|H-2||2|90|15|20|TKA|TKB|yes\x03",
     {{"contest", "207"},
      {"class", "XJUN"},
      {"gender", "Female"},
      {"c.code", "TKA"},
      {"h.code", "TKB"},
      {"c.nation", "0"},
      {"h.nation", "0"},
      {"rounds", "2"}},
     1,
     {0, 0},
     {{1303, "TKA"}, {1305, "TKB"}, {1282, "-"}}},
    {"ATOS previous match",
     2,
     false,
     "",
     "\x02"
     "0015PrevMatch?\x03",
     "\x02"
     "Match:301,KEY-9,WJUN,WOMEN,U58,Name:PARK Ji,C-5,KOR,Ann ROSS,H-6,IRL,Rounds:0,90,30,yes,18\x03",
     {{"contest", "301"},
      {"key", "KEY-9"},
      {"class", "Junior"},
      {"gender", "Female"},
      {"weight", "-58 kg"},
      {"c.name", "PARK Ji"},
      {"c.id", "C-5"},
      {"c.code", "KOR"},
      {"h.name", "Ann ROSS"},
      {"h.id", "H-6"},
      {"rounds", "3"},
      {"matchTime", "90"},
      {"restTime", "30"},
      {"teamDraw", "0"},
      {"body", "18"},
      {"punch", "18"}},
     1,
     {1, 2},
     {{1008, "PARK Ji"}, {1048, "18"}}},
    {"ATOS next match",
     2,
     true,
     "",
     "\x02"
     "0015NextMatch?\x03",
     "\x02"
     "No:302\nKEY-10,WPAR,MEN,O87,KIM,C-6,KOR,LEE,H-7,KOR,R:2,120,60,no,20\x03",
     {{"contest", "302"},
      {"class", "Para"},
      {"gender", "Male"},
      {"weight", "+87 kg"},
      {"rounds", "2"},
      {"teamDraw", "1"},
      {"h.nation", "1"}},
     0,
     {1, 1},
     {}},
    {"Vordex",
     0,
     false,
     "",
     "\x01\x12"
     "3\x13RIN\x04",
     "\x01\x12"
     "3|e1|e2|e3|e4|e5|x6|401|Senior|M|Male-74 kg|SemiFinal|C-ID1|CHOI Abcdefghijklm|KOR|H-ID2|Hong "
     "Name|XYZ|1|2|24|26|" +
         kMacs + "K\x04",
     {{"contest", "401"},
      {"class", "Senior"},
      {"gender", "M"},
      {"weight", "-74 kg"},
      {"phase", "Semi-final"},
      {"c.name", "CHOI Abcdefg"},
      {"c.code", "KOR"},
      {"c.nation", "1"},
      {"h.name", "Hong Name"},
      {"h.code", "XYZ"},
      {"h.nation", "0"},
      {"c.vr", "1"},
      {"h.vr", "2"},
      {"body", "24"},
      {"punch", "24"},
      {"head", "26"},
      {"c.body", "00150005E7750A1B"},
      {"c.head", "00150005E7750A1C"},
      {"h.body", "10150005E7750A1D"},
      {"h.head", "10150005E7750A1E"},
      {"echo0", "K"},
      {"echo1", "3"},
      {"echo7", "401"},
      {"echo9", "H-ID2"}},
     0,
     {1, 0},
     {{1050, "401"},
      {1302, "CHOI Abcdefg"},
      {1304, "Hong Name"},
      {1284, "-"},
      {1044, "00150005E7750A1B"},
      {1047, "10150005E7750A1E"}}},
};

class SupplierTest : public OvrImportTest, public ::testing::WithParamInterface<SupplierCase> {};

TEST_P(SupplierTest, TheRequestReachesThePeerAndItsReplyFillsTheRecordAndTheForm) {
    const SupplierCase& c = GetParam();
    md->nOvrSupplier = c.supplier;
    QTcpSocket* peer = Connect(LINK_OVR);
    ASSERT_TRUE(peer);
    // The previous match: its Hong nation must not survive an unknown code.
    md->aPlayer[1].nNation = 2;
    auto* d = Open();
    Combo(1307)->setCurrentIndex(2);
    static_cast<QCheckBox*>(d->GetDlgItem(1055))->setChecked(c.byNumber);
    static_cast<QLineEdit*>(d->GetDlgItem(1049))->setText(QString::fromLatin1(c.number));
    Click(1290);
    EXPECT_EQ(Received(peer, c.request.size()), c.request);
    Answer(peer, c.reply, md->szOvrRecv);
    WaitForTheReply();

    EXPECT_TRUE(prompter.texts().empty()) << LastBox();
    for (const auto& [field, value] : c.fields)
        EXPECT_EQ(FieldOf(*md, field), value) << field;
    EXPECT_EQ(Combo(1298)->currentIndex(), c.genderItem);
    EXPECT_EQ(Combo(1306)->currentIndex(), c.nationRow[0]);
    EXPECT_EQ(Combo(1307)->currentIndex(), c.nationRow[1]);
    for (const auto& [id, text] : c.controls)
        EXPECT_EQ(d->GetDlgItemText(id).toStdString(), text) << id;
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED, UM_MATCH_INFO_CHANGED}));
}

INSTANTIATE_TEST_SUITE_P(EachSupplier, SupplierTest, ::testing::ValuesIn(kSuppliers),
                         [](const ::testing::TestParamInfo<SupplierCase>& info) {
                             std::string name = info.param.name;
                             std::erase_if(
                                 name, [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); });
                             return name;
                         });

TEST_F(OvrImportTest, AVordexReplyOfKindKIsConfirmedAtOnceWithTheEchoedFields) {
    md->nOvrSupplier = 0;
    QTcpSocket* peer = Connect(LINK_OVR);
    Open();
    Click(1290);
    Received(peer, 7);
    Answer(peer, kSuppliers[5].reply, md->szOvrRecv);
    WaitForTheReply();
    const std::string head = "\x01\x12"
                             "3\x02"
                             "3\x02"
                             "e1\x02"
                             "e2\x02"
                             "e3\x02"
                             "e4\x02"
                             "e5\x02"
                             "401";
    const std::string confirm =
        head + "\x13" + "CO\x04" + head + "\x13" + "BN\x02" + "C-ID1\x02" + "H-ID2\x04";
    EXPECT_EQ(Received(peer, confirm.size()), confirm);

    // Another kind is not confirmed.
    std::string other = kSuppliers[5].reply;
    other.replace(other.size() - 2, 1, "Q");
    Click(1290);
    Received(peer, 7);
    Answer(peer, other, md->szOvrRecv);
    WaitForTheReply();
    EXPECT_STREQ(md->szLinkTag[0], "Q");
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(peer->bytesAvailable(), 0);
}

TEST_F(OvrImportTest, ASilentPeerShowsNoReplyAndTheStaleReplyIsNotReadAgain) {
    md->nOvrSupplier = 6;
    QTcpSocket* peer = Connect(LINK_OVR);
    Open();
    Click(1290);
    Received(peer, 7);
    Answer(peer, kSuppliers[0].reply, md->szOvrRecv);
    WaitForTheReply();
    ASSERT_STREQ(md->szContestNo, "105");
    view.received.clear();

    Click(1290); // the peer stays silent this time
    WaitForTheReply();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "There is no received data from OVR system.\r\nPlease check the OVR connection!"}));
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED})) << "no new match announced";
}

// A reply longer than the reply buffer arrives over several reads; none of it is read as a match, and the
// operator learns that it was too long, not that nothing came. The next reply that fits loads.
TEST_F(OvrImportTest, AReplyLongerThanTheBufferIsReportedAsTooLong) {
    md->nOvrSupplier = 6;
    QTcpSocket* peer = Connect(LINK_OVR);
    Open();
    std::strcpy(md->szContestNo, "999");
    Click(1290);
    Received(peer, 7);
    std::string overlong = kSuppliers[0].reply;
    overlong.insert(overlong.find("|Final|") + 6, std::string(1500, 'w'));
    peer->write(overlong.data(), static_cast<qint64>(overlong.size()));
    peer->flush();
    ASSERT_TRUE(pumpUntil([&] { return md->nOvrRecvOverflow == ReplyTooLong; }));
    WaitForTheReply();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"The reply of the OVR system was too long (more than "
                                        "1023 bytes) and was not read.\r\nPlease check the "
                                        "OVR system!"}));
    EXPECT_STREQ(md->szContestNo, "999");
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED})) << "no new match announced";

    Click(1290);
    Received(peer, 7);
    Answer(peer, kSuppliers[0].reply, md->szOvrRecv);
    WaitForTheReply();
    EXPECT_EQ(prompter.texts().size(), 1u);
    EXPECT_STREQ(md->szContestNo, "105");
}

const char* const kStartedMeanwhile =
    "A match was started while the next match was being loaded: the match "
    "received was not loaded.\r\nPlease load a new match after completing the "
    "playing match!";

// The operator presses Start before the reply is read: the reply, of the OVR link and of the
// pre-registration link, is dropped and the running match keeps its names and its protectors.
TEST_F(OvrImportTest, AReplyReadAfterTheMatchStartedIsDroppedAndTheOperatorTold) {
    md->nOvrSupplier = 0;
    QTcpSocket* ovr = Connect(LINK_OVR);
    QTcpSocket* preReg = Connect(LINK_PREREG);
    Open();
    std::strcpy(md->szContestNo, "999");
    std::strcpy(md->aPlayer[1].szMacHead, "00150005E7750AAA");
    Click(1290);
    Received(ovr, 14);
    StartTheMatch();
    Answer(ovr, kSuppliers[5].reply, md->szOvrRecv);
    Answer(preReg, kSuppliers[5].reply, md->szPreRegRecv);
    WaitForTheReply();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{kStartedMeanwhile}));
    EXPECT_STREQ(md->szContestNo, "999");
    EXPECT_STREQ(md->aPlayer[1].szMacHead, "00150005E7750AAA");
    ExpectTheMatchStillRuns();
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED})) << "no new match announced";
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    const std::string sent = ovr->readAll().toStdString(); // the running match's own records
    EXPECT_EQ(sent.find("\x13"
                        "CO\x04"),
              std::string::npos)
        << "the dropped reply is not confirmed";
}

// A reply with a value the operator could not type is refused, naming the field; the match is not loaded.
TEST_F(OvrImportTest, AReplyValueTheOperatorCouldNotTypeRefusesTheMatch) {
    struct Case {
        int supplier; // the row of kSuppliers
        const char* from;
        const char* to;
        const char* field;
        const char* value;
        const char* range;
    };
    const Case cases[] = {
        {0, "|25|30|", "|-5|30|", "trunk level (field 13)", "-5", "0 to 100"},
        {0, "|20|10|12", "|20|0|12", "gam-jeom limit (field 16)", "0", "1 to 50"},
        {1, "|0|120|", "|100000|120|", "number of rounds (field 13)", "100000", "0 to 4"},
        {3, ",90,30,", ",-30,30,", "round time in seconds (field 12)", "-30", "10 to 599"},
        {5, "|24|26|", "|abc|26|", "trunk level (field 20)", "abc", "0 to 100"},
    };
    for (const Case& c : cases) {
        const SupplierCase& supplier = kSuppliers[c.supplier];
        SCOPED_TRACE(supplier.name);
        md->nOvrSupplier = supplier.supplier;
        QTcpSocket* peer = Connect(LINK_OVR);
        auto* d = Open();
        static_cast<QCheckBox*>(d->GetDlgItem(1055))->setChecked(supplier.byNumber);
        static_cast<QLineEdit*>(d->GetDlgItem(1049))->setText(QString::fromLatin1(supplier.number));
        std::strcpy(md->szContestNo, "999");
        md->nLevelBody = 7;
        view.received.clear();
        const std::size_t shown = prompter.texts().size();
        Click(1290);
        Received(peer, supplier.request.size());
        std::string reply = supplier.reply;
        ASSERT_NE(reply.find(c.from), std::string::npos);
        reply.replace(reply.find(c.from), std::strlen(c.from), c.to);
        Answer(peer, reply, md->szOvrRecv);
        WaitForTheReply();
        ASSERT_EQ(prompter.texts().size(), shown + 1);
        EXPECT_EQ(prompter.texts().back(), std::string("The match was not loaded: its ") + c.field +
                                               " is \"" + c.value +
                                               "\", but it must be a whole number from " + c.range +
                                               ".\r\nPlease check the match in the results system!");
        EXPECT_STREQ(md->szContestNo, "999");
        EXPECT_EQ(md->nLevelBody, 7);
        EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED})) << "no new match announced";
        delete dialog.data(); // the next case opens the link and the dialog anew
    }
}

TEST_F(OvrImportTest, RefusalsBeforeAnyRequest) {
    md->nOvrSupplier = 7;
    auto* d = Open();
    // The button itself is disabled while no link is up; the handler refuses as well.
    EXPECT_FALSE(d->GetDlgItem(1290)->isEnabled());
    d->OnLoadOvrMatch();
    EXPECT_EQ(LastBox(), "The OVR system is not connected!\r\nPlaese check the connection from OVR sytem!");

    QTcpSocket* peer = Connect(LINK_OVR);
    md->nGameState = 3;
    d->OnLoadOvrMatch();
    EXPECT_EQ(LastBox(), "Please finish the previous game.");

    md->nGameState = 0;
    static_cast<QCheckBox*>(d->GetDlgItem(1055))->setChecked(true);
    d->OnLoadOvrMatch(); // no match number typed
    EXPECT_EQ(LastBox(), "Please check the match number!\r\nMatch number is empty!");
    EXPECT_FALSE(clock.isArmed(d->GetSafeHwnd(), TIMER_OVR_MATCH_LOAD)) << "nothing asked, nothing awaited";
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(peer->bytesAvailable(), 0);
    EXPECT_TRUE(view.received.empty());
}

TEST_F(OvrImportTest, AnIncompleteReplyChangesNothing) {
    md->nOvrSupplier = 2;
    QTcpSocket* peer = Connect(LINK_OVR);
    Open();
    std::strcpy(md->szContestNo, "999");
    Click(1290);
    Received(peer, 16);
    // The match key is missing.
    Answer(peer, "\x02Match:301,,WJUN,WOMEN,U58,Name:P,C-5,KOR,A,H-6,IRL,R:0,90,30,yes,18\x03",
           md->szOvrRecv);
    WaitForTheReply();
    EXPECT_STREQ(md->szContestNo, "999");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "There is no received data from OVR system.\r\nPlease check the OVR connection!"}));
}

TEST_F(OvrImportTest, WithThePreRegistrationLinkUpTheRinGoesToBothAndOnlyItsAddressesAreTaken) {
    md->nOvrSupplier = 0;
    QTcpSocket* ovr = Connect(LINK_OVR);
    QTcpSocket* preReg = Connect(LINK_PREREG);
    Open();
    std::strcpy(md->szContestNo, "999");
    Click(1290);
    const std::string rin = "\x01\x12"
                            "3\x13RIN\x04";
    EXPECT_EQ(Received(ovr, 2 * rin.size()), rin + rin) << "asked twice, both on the OVR link";
    EXPECT_EQ(preReg->bytesAvailable(), 0);
    Answer(ovr, kSuppliers[5].reply, md->szOvrRecv);
    Answer(preReg, kSuppliers[5].reply, md->szPreRegRecv);
    WaitForTheReply();
    EXPECT_STREQ(md->szContestNo, "999") << "the pre-registration reply loads no match";
    EXPECT_STREQ(md->aPlayer[1].szMacHead, "10150005E7750A1E");
    EXPECT_EQ(dialog->GetDlgItemText(1047).toStdString(), "10150005E7750A1E");
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED}));
}

TEST_F(OvrImportTest, TheTeamDialogsGenericReaderCallsAnUnknownGenderMixed) {
    md->nOvrSupplier = 6;
    md->nLevelPunch = 7;
    QTcpSocket* peer = Connect(LINK_OVR);
    Open<Testable<CTK_RegDlg_Team>>();
    Click(1290);
    Received(peer, 7);
    std::string reply = kSuppliers[0].reply;
    reply.replace(reply.find("|M|"), 3, "|X|");
    Answer(peer, reply, md->szOvrRecv);
    WaitForTheReply();
    EXPECT_STREQ(md->szGender, "Mix");
    EXPECT_EQ(Combo(1298)->currentIndex(), 2);
    EXPECT_STREQ(md->szContestNo, "105");
}

TEST_F(OvrImportTest, RepliesOverSerialOrUdpAreNeverKept) {
    md->nOvrSupplier = 0;
    PtyPeer serial;
    ASSERT_TRUE(serial.Ok());
    md->nOvrCommType = COMM_SERIAL;
    std::u16string path(serial.Path().begin(), serial.Path().end());
    std::copy(path.begin(), path.end(), md->cfgOvr.wszComPort);
    md->cfgOvr.nBaudrate = 9600;
    md->cfgOvr.nDataBits = 3;
    SendMessage(links->GetSafeHwnd(), UM_EXT_LINK_CONTROL, LINK_OVR, 0);
    ASSERT_EQ(md->bOvrConnected, 1);
    Open();
    Click(1290);
    EXPECT_EQ(serial.Read(7, 2000), "\x01\x12"
                                    "3\x13RIN\x04");
    ASSERT_TRUE(serial.Write(kSuppliers[5].reply));
    ASSERT_TRUE(pumpUntil([&] { return links->m_SerialRecv[LINK_OVR].nLen > 0; }));
    WaitForTheReply();
    EXPECT_STREQ(md->szOvrRecv, "");
    EXPECT_STREQ(md->szContestNo, "");

    md->nOvrCommType = COMM_UDP;
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    md->cfgOvr.dwUdpIp = kLoopback;
    md->cfgOvr.nUdpTx = peer.localPort();
    md->cfgOvr.nUdpRx = probe.localPort();
    probe.close();
    SendMessage(links->GetSafeHwnd(), UM_EXT_LINK_CONTROL, LINK_OVR, 0);
    ASSERT_EQ(md->bOvrConnected, 1);
    Click(1290);
    ASSERT_TRUE(pumpUntil([&] { return peer.hasPendingDatagrams(); }));
    peer.writeDatagram(kSuppliers[5].reply.data(), static_cast<qint64>(kSuppliers[5].reply.size()),
                       QHostAddress::LocalHost, md->cfgOvr.nUdpRx);
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    WaitForTheReply();
    EXPECT_STREQ(md->szOvrRecv, "");
    EXPECT_STREQ(md->szContestNo, "");
}

// ---- the WT JSON API ----

class WtImportTest : public OvrImportTest {
protected:
    WtImportTest() {
        WtApiStartup();
        const std::u16string base = QString::fromStdString(http.BaseUrl() + "/api").toStdU16String();
        std::copy(base.begin(), base.end(), md->wszWTBaseUrl);
        md->nOvrSupplier = 8;
        md->pOvrLink = CommWtApiMarker();
        md->bOvrConnected = 1;
    }
    ~WtImportTest() override {
        md->pOvrLink = nullptr;
        WtApiShutdown();
    }
    void Serve(int status, const std::string& body) {
        http.SetResponder([status, body](const HttpRequestSeen&) { return HttpReply{status, body}; });
    }
    LocalHttpServer http;
};

TEST_F(WtImportTest, TheMatchListOfThisMatIsAskedForAndItsMatchLoaded) {
    Serve(200, MatchList([](std::string& d) {
              // A finished match of this mat comes first and is passed over.
              const std::string finished = d.substr(9, d.find("}}}}]") + 4 - 9);
              std::string copy = finished;
              Replace(copy, "SCHEDULED", "FINISHED");
              Replace(copy, R"("id":"m-1")", R"("id":"m-0")");
              d.insert(9, copy + ",");
          }));
    auto* d = Open();
    Click(1290);
    ASSERT_EQ(http.Requests().size(), 1u);
    EXPECT_EQ(http.Requests()[0].target,
              "/api/matches?filter[mat]=3&filter[status]=available&sort=scheduled&include=homeCompetitor,"
              "awayCompetitor,refereeAssignment,event,matchConfiguration");
    EXPECT_TRUE(clock.isArmed(d->GetSafeHwnd(), TIMER_OVR_MATCH_LOAD));
    WaitForTheReply();
    EXPECT_TRUE(prompter.texts().empty()) << LastBox();
    EXPECT_STREQ(md->szMatchId, "m-1");
    EXPECT_STREQ(md->szContestNo, "105");
    EXPECT_EQ(md->nMatchTime, 90);
    EXPECT_EQ(d->GetDlgItemText(1008), "KIM Minsu");
    EXPECT_EQ(d->GetDlgItemText(1282), "Korea");
    EXPECT_EQ(Combo(1306)->currentIndex(), 1);
    EXPECT_EQ(Combo(1307)->currentIndex(), 0);
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED, UM_MATCH_INFO_CHANGED}));
}

TEST_F(WtImportTest, WhatTheServerAnswersDecidesTheBoxes) {
    struct Case {
        const char* name;
        int status;
        std::string body;
        bool byNumber;
        const char* number;
        std::vector<std::string> boxes;
        const char* contest; // after the import
    };
    const std::string two = MatchList([](std::string& d) {
        std::string second = d.substr(9, d.find("}}}}]") + 4 - 9);
        Replace(second, R"("number":"105")", R"("number":"106")");
        Replace(second, R"("id":"m-1")", R"("id":"m-2")");
        d.insert(d.find("}}}}]") + 4, "," + second);
    });
    const Case cases[] = {
        {"first of two", 200, two, false, "", {}, "105"},
        {"by number", 200, two, true, "106", {}, "106"},
        {"another mat",
         200,
         MatchList([](std::string& d) { Replace(d, R"("mat":3)", R"("mat":4)"); }),
         false,
         "",
         {"There is no scheduled match."},
         "old"},
        {"maxDifference missing",
         200,
         MatchList([](std::string& d) { Replace(d, R"("maxDifference":12,)", ""); }),
         false,
         "",
         {"There is no 'MatchConfiguration - maxDifference' member"},
         "105"},
        {"a negative threshold",
         200,
         MatchList([](std::string& d) { Replace(d, R"("body":21)", R"("body":-5)"); }),
         false,
         "",
         {"The match was not loaded: its MatchConfiguration - thresholds - body is \"-5\", but it must be a "
          "whole number from 0 to 100.\r\nPlease check the match in the results system!"},
         "old"},
        {"a hundred thousand rounds",
         200,
         MatchList([](std::string& d) { Replace(d, R"("rounds":0)", R"("rounds":100000)"); }),
         false,
         "",
         {"The match was not loaded: its MatchConfiguration - rounds is \"100000\", but it must be a whole "
          "number from 0 to 4.\r\nPlease check the match in the results system!"},
         "old"},
        {"a negative round time",
         200,
         MatchList([](std::string& d) { Replace(d, R"("round":"01:30")", R"("round":"-00:30")"); }),
         false,
         "",
         {"The match was not loaded: its MatchConfiguration - timing - round (in seconds) is \"-00:30\", but "
          "it must be a whole number from 10 to 599.\r\nPlease check the match in the results system!"},
         "old"},
        {"data not an array", 200, R"({"data":"x"})", false, "", {"Invalid data"}, "old"},
        {"parse error", 200, R"({"data":[}")", false, "", {"Invalid value."}, "old"},
        {"empty body",
         200,
         "",
         false,
         "",
         {"There is no received data from OVR system.\r\nPlease check the OVR connection!"},
         "old"},
    };
    auto* d = Open();
    for (const Case& c : cases) {
        std::strcpy(md->szContestNo, "old");
        const std::size_t shown = prompter.texts().size();
        Serve(c.status, c.body);
        static_cast<QCheckBox*>(d->GetDlgItem(1055))->setChecked(c.byNumber);
        static_cast<QLineEdit*>(d->GetDlgItem(1049))->setText(QString::fromLatin1(c.number));
        Click(1290);
        WaitForTheReply();
        const std::vector<std::string> all = prompter.texts();
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(shown), all.end()),
                  c.boxes)
            << c.name;
        EXPECT_STREQ(md->szContestNo, c.contest) << c.name;
    }
}

TEST_F(WtImportTest, AMatchListReadAfterTheMatchStartedIsDropped) {
    Serve(200, MatchList([](std::string&) {}));
    Open();
    std::strcpy(md->szContestNo, "999");
    Click(1290);
    StartTheMatch();
    WaitForTheReply();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{kStartedMeanwhile}));
    EXPECT_STREQ(md->szContestNo, "999");
    EXPECT_STREQ(md->szMatchId, "");
    ExpectTheMatchStillRuns();
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED}));
}

TEST_F(WtImportTest, AFailedRequestShowsTheClientsTextAndAwaitsNothing) {
    Serve(500, "oops");
    auto* d = Open();
    Click(1290);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"HTTP Response Code : 500"}));
    EXPECT_FALSE(clock.isArmed(d->GetSafeHwnd(), TIMER_OVR_MATCH_LOAD));
    EXPECT_TRUE(d->GetDlgItem(1290)->isEnabled());
    EXPECT_TRUE(view.received.empty());
}

// ---- the match-input file ----

class MatchInputDialogTest : public OvrImportTest {
protected:
    std::u16string Write(const QString& name, const QString& text) {
        const QString folder = QString::fromStdString(home.path()) + QStringLiteral("/vms");
        QDir().mkpath(folder);
        QFile file(folder + QLatin1Char('/') + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return file.fileName().toStdU16String();
    }
};

const char* const kInputFile =
    "[Match_Input]\nmatch=12\nvma_key=V-1\nblue_name=KIM\nblue_id=B7\nblue_flag=KOR\n"
    "red_name=ROSS\nred_id=R9\nred_flag=ZZZ\ngender=female\nweight=-57 kg\n"
    "body_level=24\nhead_level=31\n[Timing]\nround_time=90\nrest_time=45\n";

TEST_F(MatchInputDialogTest, AFileIsReadKeyedByItsNameAndApplied) {
    g_MatchInput.bValid = 1;
    md->aPlayer[1].nNation = 2;
    auto* d = Open<Testable<CTK_RegDlg>>();
    EXPECT_EQ(d->GetDlgItemText(1290), "Load VM File");
    Combo(1307)->setCurrentIndex(2);
    d->pick = Write(QStringLiteral("A-0012.ini"), QString::fromLatin1(kInputFile));
    Click(1290);
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(g_MatchInput.field[TTK_MatchInput::FileName], u"A-0012");
    EXPECT_EQ(g_MatchInput.field[TTK_MatchInput::VmaKey], u"V-1");
    EXPECT_EQ(g_MatchInput.bValid, 1);
    EXPECT_STREQ(md->szContestNo, "12");
    EXPECT_EQ(d->GetDlgItemText(1050), "12");
    EXPECT_EQ(d->GetDlgItemText(1302), "KIM");
    EXPECT_STREQ(md->aPlayer[0].szNationCode, "KOR");
    EXPECT_STREQ(md->aPlayer[0].szNationName, "Korea");
    EXPECT_EQ(Combo(1306)->currentIndex(), 1);
    EXPECT_STREQ(md->aPlayer[1].szNationCode, "") << "an unknown code gives no nation";
    EXPECT_EQ(md->aPlayer[1].nNation, 0);
    EXPECT_EQ(Combo(1307)->currentIndex(), 0);
    EXPECT_EQ(Combo(1298)->currentIndex(), 1);
    EXPECT_STREQ(md->szGender, "Female");
    EXPECT_EQ(md->nLevelBody, 24);
    EXPECT_EQ(md->nLevelHead, 31);
    EXPECT_EQ(md->nMatchTime, 90);
    EXPECT_EQ(md->nRestTime, 45);
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_INFO_CHANGED, UM_MATCH_LOADED}));
}

// The match starts while the operator picks the file: the file is not applied and the match-input record
// keeps the keys of the match under way.
TEST_F(MatchInputDialogTest, AFilePickedWhileTheMatchStartedIsDropped) {
    g_MatchInput.bValid = 1;
    g_MatchInput.field[TTK_MatchInput::Match] = u"11";
    auto* d = Open<Testable<CTK_RegDlg>>();
    std::strcpy(md->szContestNo, "11");
    d->pick = Write(QStringLiteral("A-0012.ini"), QString::fromLatin1(kInputFile));
    d->whileAsking = [this] { StartTheMatch(); };
    Click(1290);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{kStartedMeanwhile}));
    EXPECT_STREQ(md->szContestNo, "11");
    EXPECT_EQ(g_MatchInput.field[TTK_MatchInput::Match], u"11");
    ExpectTheMatchStillRuns();
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED}));
}

// A level or a time the operator could not type refuses the file with the key it came in; nothing of the
// file is taken, the match-input record keeps the match before.
TEST_F(MatchInputDialogTest, AValueTheOperatorCouldNotTypeRefusesTheFile) {
    struct Case {
        const char* from;
        const char* to;
        const char* box;
    };
    const Case cases[] = {
        {"body_level=24", "body_level=abc",
         "its body_level is \"abc\", but it must be a whole number from 0 to 100"},
        {"head_level=31", "head_level=101",
         "its head_level is \"101\", but it must be a whole number from 0 to 100"},
        {"round_time=90", "round_time=-30",
         "its round_time is \"-30\", but it must be a whole number from 10 to 599"},
        {"rest_time=45", "rest_time=4 5",
         "its rest_time is \"4 5\", but it must be a whole number from 10 to 599"},
    };
    g_MatchInput.bValid = 1;
    g_MatchInput.field[TTK_MatchInput::Match] = u"11";
    auto* d = Open<Testable<CTK_RegDlg>>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::strcpy(md->szContestNo, "11");
        md->nLevelHead = 7;
        QString text = QString::fromLatin1(kInputFile);
        text.replace(QString::fromLatin1(c.from), QString::fromLatin1(c.to));
        d->pick = Write(QStringLiteral("C-1.ini"), text);
        const std::size_t shown = prompter.texts().size();
        Click(1290);
        ASSERT_EQ(prompter.texts().size(), shown + 1);
        EXPECT_EQ(prompter.texts().back(), std::string("The match was not loaded: ") + c.box +
                                               ".\r\nPlease check the match in the results system!");
        EXPECT_STREQ(md->szContestNo, "11");
        EXPECT_EQ(md->nLevelHead, 7);
        EXPECT_EQ(g_MatchInput.field[TTK_MatchInput::Match], u"11");
    }
    EXPECT_EQ(view.received, std::vector<UINT>(4, UM_MATCH_LOADED)) << "no new match announced";
}

TEST_F(MatchInputDialogTest, AFileWithoutTimingIsRefusedAndCancelChangesNothing) {
    g_MatchInput.bValid = 1;
    auto* d = Open<Testable<CTK_RegDlg>>();
    QString text = QString::fromLatin1(kInputFile);
    text.truncate(text.indexOf(QStringLiteral("[Timing]")));
    d->pick = Write(QStringLiteral("B-1.ini"), text);
    Click(1290);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"[ERROR!] Fail to load the match infomation!"}));
    EXPECT_EQ(g_MatchInput.field[TTK_MatchInput::FileName], u"");
    EXPECT_STREQ(md->szContestNo, "");
    d->pick.clear();
    Click(1290);
    EXPECT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(view.received, (std::vector<UINT>{UM_MATCH_LOADED, UM_MATCH_LOADED}));

    md->nGameState = 2;
    Click(1290);
    EXPECT_EQ(LastBox(),
              "The match is playing!\r\nPlease load a new match after completing the playing match!");
}

} // namespace
