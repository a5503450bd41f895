// Start-up and the way out of a session: the archives opened, the extraction period, a second copy,
// and the task line handed back on leaving.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "archive/Errors.h"

namespace kv::app::test {
namespace {

TEST(SessionTest, StartOpensTheArchivesAndBuildsThePeriod) {
    demo::DemoOptions options;
    options.period = {2005, 12};
    DemoInstallation suite(options);
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    ArchiveFiles& files = (*open)->context().files();
    for (double archive : {1.0, 5.0, 7.0, 2.0, 401.0, 6.0}) EXPECT_TRUE(files.IsOpen(archive)) << archive;
    EXPECT_EQ((*open)->TESTATAESTRAZIONE().substr(0, 9), "311220051");
    EXPECT_EQ((*open)->PERIODOESTRAZIONE(), "200512");
    EXPECT_EQ((*open)->context().settings().terminalNumber, "01");
    EXPECT_EQ((*open)->context().settings().installationName, "STUDIO PAGHE DEMO VELMORA");

    // The PDF files follow the period.
    const auto& lines = (*open)->companyLines();
    const auto outcome = (*open)->driver().CmdStampa_Click(0, lists::ListKind::CF01, lines, Select(lines, {"002"}));
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_EQ(std::filesystem::path(outcome.files[0]).parent_path(), suite.PdfFolder("002"));
    EXPECT_NE(suite.PdfFolder("002").string().find("/2005/12/FDOTES"), std::string::npos);
}

TEST(SessionTest, LeavingClosesEverythingAndHandsTheTaskLineBack) {
    DemoInstallation suite;
    ASSERT_EQ(ReadFile(suite.TaskFile()), "01 KVSPAGHE POSTAZIONE PAGHE 1\r\n");
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    try {
        (*open)->Leave();
        ADD_FAILURE() << "Leave returned";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 0);
    }
    for (double archive : {1.0, 5.0, 7.0, 2.0, 401.0, 6.0}) EXPECT_FALSE((*open)->context().files().IsOpen(archive));
    EXPECT_EQ(ReadFile(suite.TaskFile()), "01" + std::string(98, ' ') + "\r\n");
    EXPECT_TRUE(open->messages().shown().empty());
}

TEST(SessionTest, SecondCopyEndsWithoutAMessage) {
    DemoInstallation suite;
    platform::ScriptedMessageBoxes messages;
    platform::QtSettingsRegistry registry(suite.registryFile());
    Session session(messages, platform::PathMap(suite.root()), registry, [] { return true; }, '.');
    EXPECT_THROW(session.Start(), ProgramEnd);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(session.context().files().IsOpen(1));
    // The running copy's task line is not touched.
    EXPECT_EQ(ReadFile(suite.TaskFile()), "01 KVSPAGHE POSTAZIONE PAGHE 1\r\n");
}

}  // namespace
}  // namespace kv::app::test
