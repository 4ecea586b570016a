#include "link/getinfo.h"
#include "link/resultcodes.h"
#include "tests/support/recordingviews.h"
#include "userdata/restoreuserdata.h"

#include <gtest/gtest.h>

namespace olk {
namespace {

struct MessageCase {
    int code;
    const char* dialog; // the recorded dialog, or null for none
};

void PrintTo(const MessageCase& value, std::ostream* out)
{
    *out << value.code;
}

class ResultMessageTest : public testing::TestWithParam<MessageCase> {};

// Each code hides the progress window, shows exactly its one dialog and then posts the notice.
TEST_P(ResultMessageTest, ShowsExactlyItsDialogThenPostsTheNotice)
{
    test::RecordingViews views;
    RestoreUserData operation("COM1", 0, views.Targets(), views.AsViews());
    operation.Prepare("/data/show.wrk"); // no such file: the name stays for the message
    views.loop.RunPending();
    views.log.clear();

    EXPECT_EQ(operation.ShowResultMessage(GetParam().code), 0);
    views.loop.RunPending();

    std::vector<std::string> expected{"cursor=arrow", "progress.hide", "greenBar.top=98", "baudValue=0"};
    if (GetParam().dialog)
        expected.push_back(GetParam().dialog);
    expected.push_back("ended");
    EXPECT_EQ(views.log, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ResultMessageTest,
    testing::Values(
        MessageCase{0, nullptr}, MessageCase{14, nullptr}, MessageCase{25, nullptr}, MessageCase{43, nullptr},
        MessageCase{-1, nullptr},
        MessageCase{1, "dialog Warning: /data/show.wrk: cannot open this file"},
        MessageCase{4, "dialog Error: CheckSum file error.\nFile is corrupted or wrong file has been chosen !"},
        MessageCase{5, "dialog Error: Cannot initialize device!"},
        MessageCase{7, "dialog Error: Mixer not responding !"},
        MessageCase{9, "dialog Information: Transmission interrupted by user."},
        MessageCase{10, "dialog Error: Problems with communication or communication broken !\nControl the cable !"},
        MessageCase{12, "dialog Error: Mixer revision not completed !\nProbably the file was wrong or the "
                        "trasmission has been lackfull !"},
        MessageCase{13, "dialog Error: Communication lost !\nThe mixer has not confirmed the revision.\nControl "
                        "the cable, please!"},
        MessageCase{21, "dialog Error: The User Data CheckSum returned by the mixer\n does not corrispond to the "
                        "CheckSum in the file!"},
        MessageCase{35, "dialog Information: The Backup process is done !"},
        MessageCase{37, "dialog Error: Fixture doesn't exist!"},
        MessageCase{39, "dialog Error: Insufficient space on desk !"},
        MessageCase{40, "dialog Information: Fixture removed !"},
        MessageCase{41, "dialog Warning: Mixer returned error !  Fixture not removed ! \n\nProbably the fixture is "
                        "in patch."},
        MessageCase{42, "dialog Warning: Unknown free memory space on desk!\nFirst try \"Refresh\" on Fixture "
                        "Manager."}));

struct QuestionCase {
    int code;
    int answer;
    const char* dialog;
};

void PrintTo(const QuestionCase& value, std::ostream* out)
{
    *out << value.code;
}

class QuestionTest : public testing::TestWithParam<QuestionCase> {};

TEST_P(QuestionTest, ReturnsTheAnswerAndPostsNoNotice)
{
    test::RecordingViews views;
    GetInfo operation("COM1", 0, views.Targets(), views.AsViews());
    views.dialogs.answers.push_back(GetParam().answer);

    EXPECT_EQ(operation.ShowResultMessage(GetParam().code), GetParam().answer);
    views.loop.RunPending();

    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{GetParam().dialog});
    EXPECT_EQ(views.endedNotices, 0);
    EXPECT_FALSE(views.progressVisible);
}

INSTANTIATE_TEST_SUITE_P(Codes, QuestionTest,
                         testing::Values(QuestionCase{31, kAnswerNo, "dialog Confirm: File already exist!\nOverwrite?"},
                                         QuestionCase{31, kAnswerYes, "dialog Confirm: File already exist!\nOverwrite?"},
                                         QuestionCase{36, kAnswerYes,
                                                      "dialog Confirm: Would you Edit the description of the file ?"},
                                         QuestionCase{38, kAnswerNo,
                                                      "dialog Confirm: Fixture already exist: replace it ?"}));

} // namespace
} // namespace olk
