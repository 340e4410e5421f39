// Telling an SD card recording from an internal one by its block headers, and the warning
// of the command line import when the two disagree.
#include <sys/stat.h>

#include "support/cli_run.h"
#include "import/recording_kind.h"
#include "support/import_fixture.h"

using namespace krelby;
using namespace krelby::test;

namespace {

Bytes Block(uint32_t header) {
    Bytes b(512, 0x07);
    b[0] = uint8_t(header);
    b[1] = uint8_t(header >> 8);
    b[2] = uint8_t(header >> 16);
    b[3] = uint8_t(header >> 24);
    return b;
}

}  // namespace

TEST_F(ImportTest, BlockHeadersTellTheRecordingKind) {
    const auto kind = [&](const Bytes& bytes) {
        WriteFile(root + "rec", bytes);
        return RecordingKindOfHeaders(root + "rec");
    };
    Bytes manyBlocks;  // a zero header past the first read of whole blocks
    for (int i = 0; i < 600; ++i) manyBlocks = Cat({manyBlocks, Block(uint32_t(i + 1))});
    EXPECT_EQ(kind(Cat({Block(7), Block(8), Block(0), Block(9)})), RecordingKind::SdCard);
    EXPECT_EQ(kind(Cat({manyBlocks, Block(0)})), RecordingKind::SdCard);
    EXPECT_EQ(kind(manyBlocks), RecordingKind::Internal);
    EXPECT_EQ(kind(Cat({Block(0), Block(0)})), RecordingKind::Internal);  // no SD card block at all
    EXPECT_EQ(kind(Cat({Block(7), Bytes(4, 0)})), RecordingKind::Internal);  // too short to count
    EXPECT_EQ(kind(Cat({Block(7), Bytes(5, 0)})), RecordingKind::SdCard);
    EXPECT_EQ(kind({}), RecordingKind::Internal);

    EXPECT_EQ(RecordingKindOfHeaders(root + "missing"), std::nullopt);
    EXPECT_EQ(RecordingKindOfHeaders(root), std::nullopt);  // a folder
    ASSERT_EQ(mkfifo((root + "fifo").c_str(), 0600), 0);
    EXPECT_EQ(RecordingKindOfHeaders(root + "fifo"), std::nullopt);  // and does not wait for a writer
}

TEST_F(ImportTest, ARecordingOpenedWithoutAChoiceIsTakenByItsNameThenItsHeaders) {
    const Bytes sd = Cat({Block(7), Block(8), Block(0), Block(7)});
    const Bytes internal = Cat({Block(7), Bytes(300, 0x07)});
    struct Case {
        std::string name;
        Bytes bytes;
        RecordingKind kind;
    } cases[] = {
        {"Zelvo.rec", internal, RecordingKind::SdCard},  // the name decides, in any case
        {"a.DAT", sd, RecordingKind::SdCard},
        {"b.DAT", internal, RecordingKind::Internal},
        {"c.DAT", Cat({Block(0), Block(0)}), RecordingKind::Internal},
        {"d.DAT", Cat({Block(7), Bytes(4, 0)}), RecordingKind::Internal},  // too short to count
        {"e.rec.DAT", internal, RecordingKind::Internal},
    };
    for (const Case& c : cases) {
        WriteFile(root + c.name, c.bytes);
        EXPECT_EQ(GuessRecordingKind(root + c.name), c.kind) << c.name;
    }
    std::filesystem::create_directory(root + "f.rec");
    WriteFile(root + "f.rec/ZelvoBB", internal);  // a dot in the folder is no extension
    EXPECT_EQ(GuessRecordingKind(root + "f.rec/ZelvoBB"), RecordingKind::Internal);
    EXPECT_EQ(GuessRecordingKind(root + "missing.DAT"), RecordingKind::Internal);  // its import says why
}

// The other kind by its block headers: refused with the option to use, unless --force insists;
// nothing is made then, not even the folders.
TEST_F(ImportTest, CliImportRefusesTheOtherKindUnlessForced) {
    const Bytes internal = Blocks(Flight(0, 3));
    WriteFile(root + "int.dat", internal);
    WriteFile(root + "card.rec", Cat({internal, Bytes(512, 0)}));
    const std::string folder = " --folder " + root + "p";
    struct Case {
        std::string args;
        int status;
        std::string out;
        const char* flights;  // the folder that gets the flight, if any
    } cases[] = {
        {"card.rec", 1, "krelby-cli: " + root + "card.rec looks like an SD card recording: import it with --sd "
                        "(or with --force as an internal recording)\n", nullptr},
        {"int.dat --sd", 1, "krelby-cli: " + root + "int.dat looks like an internal recording: import it without "
                            "--sd (or with --force as an SD card recording)\n", nullptr},
        {"card.rec --force", 0, "krelby-cli: warning: " + root + "card.rec looks like an SD card recording; importing it as an "
                                "internal recording\nImported 1 flights.\n", "p/Flights_INT"},
        {"int.dat --sd --force", 0, "krelby-cli: warning: " + root + "int.dat looks like an internal recording; importing it as "
                                    "an SD card recording\nImported 1 flights.\n", "p/Flights_SD"},
        {"card.rec --sd", 0, "Imported 1 flights.\n", nullptr},
        {"int.dat", 0, "Imported 1 flights.\n", nullptr},
    };
    for (const Case& c : cases) {
        const krelby::testing::CliRun r = krelby::testing::RunCli("import " + root + c.args + folder);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
        if (c.status) { EXPECT_FALSE(fs::exists(root + "p")) << c.args; }
        if (c.flights) { EXPECT_EQ(Flights(c.flights).size(), 1u) << c.args; }
    }
}
