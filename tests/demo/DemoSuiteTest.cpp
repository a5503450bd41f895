// The demo suite read back through the program's own archive layer, as KVTESO reads it.
#include "app/AppTestSupport.h"
#include "archive/LegacyText.h"
#include "archive/Numbers.h"

namespace kv::app::test {
namespace {

TEST(DemoSuiteTest, EveryPlannedFieldReadsBackThroughTheRepository) {
    const DemoInstallation suite;
    platform::ScriptedMessageBoxes messages;
    platform::SettingsStore registry(suite.registryFile());
    ArchiveContext context(messages, platform::PathMap(suite.root()), registry);
    context.LoadInstallation();
    FieldRepository& repo = context.repository();
    auto load = [&](int archive, int record, std::string& into) {
        if (!context.files().IsOpen(archive)) context.files().FAIOPEN(archive);
        EXPECT_EQ(context.files().LEGGIREC(archive, record), 0) << archive << " " << record;
        into = context.files().buffer(archive);
    };
    auto text = [&](std::string_view code) { return repo.RepoR(demo::DescriptorOf(code).value()); };
    // Accented letters are single Windows-1252 bytes in the plan, so in the records too: none
    // shifts a column of the fields after it.
    EXPECT_EQ(suite.plan.companies[0].name + suite.plan.employees[45].surname, "PER\xD2 COSTRUZIONI S.R.L.CANT\xD9");
    for (const auto& c : suite.plan.companies) {
        load(archive::Companies, c.code, repo.REC_DIT());
        EXPECT_EQ(text("T001") + text("T002") + "|" + TrimBlanks(text("T364")),
                  demo::ExtractionPeriod::Digits(c.code, 3) + (c.name + std::string(30, ' ')).substr(0, 30) + "|" + c.ownerPassword);
    }
    load(archive::InstallationFis, 1, repo.REC_FIS());
    EXPECT_EQ(TrimBlanks(text("F357")), kPassword);
    for (const auto& e : suite.plan.employees) {
        load(archive::Employees, e.recordNumber, repo.REC_DIP());
        for (const auto& f : e.fields) {
            FieldDescriptor descriptor = demo::DescriptorOf(f.code).value();
            const auto d = descriptor;
            SCOPED_TRACE(e.key + " " + f.code + " = [" + f.value + "]");
            if (f.raw) {  // stored as the bare characters: they read as text, and as the number 0
                EXPECT_EQ(repo.RepoN(descriptor), 0);
                descriptor.type = 'A';
                EXPECT_EQ(repo.RepoR(descriptor), f.value);
            } else if (d.IsNumeric()) {
                EXPECT_NEAR(repo.RepoN(descriptor), Val(f.value), 0.0051);
            } else {
                const std::string padded = d.type == 'D' ? std::string(d.length, '0') + f.value : f.value + std::string(d.length, ' ');
                EXPECT_EQ(repo.RepoR(descriptor), d.type == 'D' ? RightChars(padded, d.length) : padded.substr(0, d.length));
            }
        }
    }
    EXPECT_EQ(messages.shown(), Messages{});
}

TEST(DemoSuiteTest, SameSeedSameSuiteAndBadOptionsRefused) {
    demo::DemoOptions options;
    options.companies = 6;
    options.employees = 300;
    const DemoInstallation a(options), b(options);
    EXPECT_EQ(HashTree(a.root() / "C"), HashTree(b.root() / "C"));
    options.seed = 7;
    EXPECT_NE(ReadFile(a.ArchiveFile("SLDIPEND.DAT")), ReadFile(DemoInstallation(options).ArchiveFile("SLDIPEND.DAT")));
    // Refused before anything is written: 3 or 1000 companies, one employee short of the 124 named cases,
    // more than the table holds, 16 further companies with 15 further employees.
    for (const auto& [companies, employees] : {std::pair{3, 0}, {1000, 10000}, {4, 123}, {4, 10001}, {20, 124 + 15}})
        EXPECT_THROW(demo::MakePlan({"/nonexistent", companies, employees, {2018, 3}, false, 1, {}}), std::invalid_argument) << companies << " " << employees;
    EXPECT_FALSE(fs::exists("/nonexistent") || demo::ExtractionPeriod::Parse("201813") || demo::ExtractionPeriod::Parse("2018-3"));
    EXPECT_EQ(demo::ExtractionPeriod::Parse("201602")->Date(), "29022016");
}

}  // namespace
}  // namespace kv::app::test
