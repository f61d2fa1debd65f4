// DiskInfo over recorded IDENTIFY answers (the device requests themselves
// answer nothing under Wine).
#include "HostEngine.h"

#include "host/DiskInfo.h"
#include "host/diskinfo/DriveProbe.h"

#include <cstring>

namespace lumbra {
namespace {

// The answer of a virtual disk as it lies in memory: little-endian words,
// so every character pair of a text appears swapped.
IdentifyData recordedDisk()
{
    IdentifyData data{};
    auto put = [&](std::size_t word, unsigned value) {
        data[2 * word] = std::uint8_t(value);
        data[2 * word + 1] = std::uint8_t(value >> 8);
    };
    put(0, 0x0040);                                             // fixed disk
    put(1, 16383);                                              // cylinders
    put(3, 16);                                                 // heads
    put(6, 63);                                                 // sectors
    std::memcpy(&data[20], "MQ0000 1          ", 18);           // words 10-18: "QM00001" + blanks
    std::memcpy(&data[38], "  ", 2);                            // word 19
    put(21, 512);                                               // buffer, 512-byte units
    std::memcpy(&data[46], ".2+5    ", 8);                      // words 23-26: "2.5+"
    std::memcpy(&data[54], "EQUMH RADDSI K", 14);               // words 27-33: "QEMU HARDDISK"
    std::memset(&data[68], ' ', 26);                            // words 34-46: blanks
    return data;
}

TEST(DriveIdentity, ParsesTheRecordedAnswer)
{
    const auto data = recordedDisk();
    const DriveIdentity drive = parseIdentifyData(data);
    EXPECT_EQ(drive.modelNumber, "QEMU HARDDISK");
    EXPECT_EQ(drive.serialNumber, "QM00001");
    EXPECT_EQ(drive.revisionNumber, "2.5+");
    EXPECT_EQ(drive.driveType, "Fixed");
    EXPECT_EQ(drive.bufferSize, 512 * 512);
    EXPECT_EQ(drive.cylinders, 16383);
    EXPECT_EQ(drive.heads, 16);
    EXPECT_EQ(drive.sectors, 63);

    auto removable = data;
    removable[0] = 0xC0; // both bits: removable wins
    EXPECT_EQ(parseIdentifyData(removable).driveType, "Removable");
    removable[0] = 0;
    EXPECT_EQ(parseIdentifyData(removable).driveType, "Unknown");
    // A full-length model with no blanks keeps all 40 characters.
    std::memset(&removable[54], 'A', 40);
    EXPECT_EQ(parseIdentifyData(removable).modelNumber, std::string(40, 'A'));
}

class RecordedProbe final : public DriveProbe {
public:
    explicit RecordedProbe(std::array<std::optional<IdentifyData>, 4> drives, int* calls)
        : drives_(drives), calls_(calls) {}
    std::array<std::optional<IdentifyData>, 4> identifyDrives() override
    {
        ++*calls_;
        return drives_;
    }

private:
    std::array<std::optional<IdentifyData>, 4> drives_;
    int* calls_;
};

struct DiskInfoEngine : test::HostEngine {
    explicit DiskInfoEngine(std::array<std::optional<IdentifyData>, 4> drives)
        : test::HostEngine(orvet::HostClasses{})
    {
        EXPECT_EQ(orvet::protectedCall(ctx(), [&] {
            registerDiskInfoClass(*engine, nullptr, std::make_unique<RecordedProbe>(drives, &calls));
        }), 1);
    }
    int calls = 0;
};

TEST(DiskInfo, ObjectsShowTheirDrive)
{
    DiskInfoEngine engine({std::nullopt, recordedDisk()});
    EXPECT_EQ(engine.value("var d = DiskInfo(1); d.modelNumber + '|' + d.serialNumber + '|' + d.revisionNumber"
                           " + '|' + d.driveType"),
              "QEMU HARDDISK|QM00001|2.5+|Fixed");
    EXPECT_EQ(engine.value("d.bufferSize + d.cylinders * 0 + d.heads * 0"), "262144");
    EXPECT_EQ(engine.value("typeof d.cylinders + d.cylinders + '/' + d.heads + '/' + d.sectors"),
              "number16383/16/63");
    EXPECT_EQ(engine.value("d.heads = 2; d.heads"), "16"); // read only
    EXPECT_EQ(engine.value("(new DiskInfo(1)).serialNumber"), "QM00001");
    EXPECT_EQ(engine.value("d.toString()"), "[object DiskInfo]");
    EXPECT_EQ(engine.calls, 1); // detection ran once for the present drive
}

TEST(DiskInfo, NullWhereNothingCanBeRead)
{
    DiskInfoEngine engine({recordedDisk()});
    EXPECT_EQ(engine.value("DiskInfo(5)"), "null");
    EXPECT_EQ(engine.value("DiskInfo(-1)"), "null");
    EXPECT_EQ(engine.value("DiskInfo(\"0\")"), "null");
    EXPECT_EQ(engine.value("DiskInfo(1.0)"), "null");
    EXPECT_EQ(engine.value("DiskInfo().modelNumber"), "QEMU HARDDISK"); // drive 0 by default
    EXPECT_EQ(engine.value("DiskInfo(2)"), "null");                     // that drive did not answer
    EXPECT_EQ(engine.value("DiskInfo.modelNumber"), "undefined");

    DiskInfoEngine empty({});
    for (const char* call : {"DiskInfo(0)", "DiskInfo(1)", "DiskInfo(2)", "DiskInfo(3)", "new DiskInfo()"})
        EXPECT_EQ(empty.value(call), "null") << call;
}

} // namespace
} // namespace lumbra
