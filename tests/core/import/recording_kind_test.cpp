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

TEST_F(ImportTest, CliImportWarnsOfTheOtherKindAndImportsAsTold) {
    const Bytes internal = Blocks(Flight(0, 3));
    const Bytes sd = Cat({internal, Bytes(512, 0)});
    WriteFile(root + "int.dat", internal);
    WriteFile(root + "card.rec", sd);
    const std::string folder = " --folder " + root + "p";

    krelby::testing::CliRun r = krelby::testing::RunCli("import " + root + "card.rec" + folder);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Warning: " + root + "card.rec looks like an SD card recording (--sd imports it as one); "
                     "importing it as an internal recording\nImported 1 flights.\n");
    EXPECT_EQ(Flights("p/Flights_INT").size(), 1u);

    r = krelby::testing::RunCli("import " + root + "int.dat --sd" + folder);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Warning: " + root + "int.dat looks like an internal recording (without --sd it is imported "
                     "as one); importing it as an SD card recording\nImported 1 flights.\n");
    EXPECT_EQ(Flights("p/Flights_SD").size(), 1u);

    EXPECT_EQ(krelby::testing::RunCli("import " + root + "card.rec --sd" + folder).out, "Imported 1 flights.\n");
    EXPECT_EQ(krelby::testing::RunCli("import " + root + "int.dat" + folder).out, "Imported 1 flights.\n");
}
