// An individual match on a new court, from the configuration to the decision, through the program's own
// windows: the court and channel set, contest 001 registered and loaded, the devices paired, then the match
// under the points system as the operator and the devices play it.
#include "tests/e2e/Court.h"

#include "app/IniFiles.h"
#include "devices/PacketDispatch.h"

#include <gtest/gtest.h>

namespace {

class IndividualMatch : public Court {};

TEST_F(IndividualMatch, ANewCourtIsSetUpRegistersItsContestAndPairsItsDevices) {
    ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
    EXPECT_EQ(md->nCourtNo, 3);
    EXPECT_EQ(ReadIniInt(u"Rule", u"Court_No", u"Rule.ini"), 3);
    EXPECT_EQ(ReadIniInt(u"Rule", u"Channel_No", u"Rule.ini"), md->nChannelNo);
    EXPECT_EQ(md->nCompetitionRule, 0);
    ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "O'NEIL"));
    ASSERT_NO_FATAL_FAILURE(PairDevices());
    EXPECT_EQ(Rows("SELECT count(*) FROM PLAYER"), std::vector<std::string>{"1"});
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

} // namespace
