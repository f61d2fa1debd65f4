// Choosing between the installed movie control and the packaged one, and
// creating a control from a file without registration.
#include "PlayerProcess.h"

#include "player/FlashPlayerLocator.h"

#include "win32/ComPtr.h"
#include "package/PackedBlock.h"
#include "package/PeResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace lumbra::test {
namespace {

constexpr char kClassKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

// A copy of the control whose version resource claims another file version.
std::filesystem::path controlWithVersion(const std::filesystem::path& folder, DWORD high, DWORD low)
{
    Bytes image = readFile(builtControl());
    ResourceTable table = readPeResources(image);
    Bytes info = table.find("#16", "#1").value();
    const std::uint8_t signature[] = {0xBD, 0x04, 0xEF, 0xFE};
    const auto at = std::search(info.begin(), info.end(), std::begin(signature), std::end(signature));
    EXPECT_NE(at, info.end());
    std::memcpy(&*at + 8, &high, 4);
    std::memcpy(&*at + 12, &low, 4);
    table.put(ResourceId::fromText("#16"), ResourceId::fromText("#1"), info);
    const auto copy = folder / ("control-" + std::to_string(high) + "-" + std::to_string(low) + ".ocx");
    writeFile(copy, writePeResources(image, table));
    return copy;
}

// The class registered for the duration of a test, pointing at `server`;
// without a server, the class is not registered at all.
class Registration {
public:
    explicit Registration(const std::filesystem::path& server = {})
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
        if (server.empty())
            return;
        const std::string key = std::string(kClassKey) + "\\InProcServer32";
        const std::string path = server.string();
        RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, path.c_str(), DWORD(path.size()));
        HKEY handle;
        RegOpenKeyA(HKEY_CLASSES_ROOT, key.c_str(), &handle);
        RegSetValueExA(handle, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Apartment"), 10);
        RegCloseKey(handle);
    }
    ~Registration() { RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey); }
};

class NoReports : public MessageReporter {
public:
    void report(std::string_view message) override { ADD_FAILURE() << "reported: " << message; }
    void show(std::string_view message, UINT) override { ADD_FAILURE() << "shown: " << message; }
    int ask(std::string_view question, UINT) override
    {
        ADD_FAILURE() << "asked: " << question;
        return IDNO;
    }
};

class FlashPlayerLocator : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        folder_ = scratchFolder(std::string("Locator") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        working_ = (folder_ / "work").string() + "\\";
        std::filesystem::create_directories(working_);
        for (const char* name : {"$1", "$2", "$3", "$4"})
            package_.put(ResourceId::fromText("SUPPORT"), ResourceId::fromText(name), Bytes{0});
    }
    void TearDown() override { CoUninitialize(); }

    void carryControl()
    {
        package_.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("FP"), packBlock(readFile(builtControl()), 6));
    }

    std::string find() { return findFlashPlayer(package_, working_, reporter_); }

    std::filesystem::path folder_;
    std::string working_;
    ResourceTable package_;
    NoReports reporter_;
};

TEST(InstalledControlRule, AcceptsFromSevenPointZeroPointThirtyTwo)
{
    EXPECT_FALSE(installedControlIsRecent(0x00070000, 0x00130000)); // 7.0.19.0
    EXPECT_FALSE(installedControlIsRecent(0x00070000, 0x001FFFFF)); // 7.0.31.65535
    EXPECT_TRUE(installedControlIsRecent(0x00070000, 0x00200000));  // 7.0.32.0
    EXPECT_TRUE(installedControlIsRecent(0x00070001, 0x00000000));  // 7.1.0.0
    EXPECT_TRUE(installedControlIsRecent(0x00080000, 0x00000000));  // 8.0.0.0
    EXPECT_FALSE(installedControlIsRecent(0x00060000, 0xFFFFFFFF)); // 6.0.x
}

TEST_F(FlashPlayerLocator, RecentInstalledControlIsUsed)
{
    Registration registered(controlWithVersion(folder_, 0x00070000, 0x00200000));
    carryControl();
    EXPECT_EQ(find(), "");
    win32::ComPtr<IDispatch> control;
    EXPECT_EQ(createFlashControl("", control.put()), S_OK);
    EXPECT_TRUE(control);
    EXPECT_FALSE(std::filesystem::exists(working_ + "flash.ocx"));
}

TEST_F(FlashPlayerLocator, OldInstalledControlGivesWayToThePackagedOne)
{
    Registration registered(controlWithVersion(folder_, 0x00070000, 0x00130000));
    carryControl();
    const std::string path = find();
    EXPECT_EQ(path, working_ + "flash.ocx");
    EXPECT_EQ(readFile(path), readFile(builtControl()));
    // The folder joins the search path, so that the control finds its libraries.
    char search[32768];
    GetEnvironmentVariableA("path", search, sizeof search);
    EXPECT_NE(std::string(search).find(working_), std::string::npos);
}

TEST_F(FlashPlayerLocator, WithoutInstalledControlThePackagedOneIsLoadedFromItsFile)
{
    Registration none;
    carryControl();
    const std::string path = find();
    ASSERT_EQ(path, working_ + "flash.ocx");
    win32::ComPtr<IDispatch> control;
    ASSERT_EQ(createFlashControl(path, control.put()), S_OK);
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"TotalFrames")};
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    // A second search keeps the file already written.
    EXPECT_EQ(find(), path);
}

TEST_F(FlashPlayerLocator, OldInstalledControlIsKeptWhenThePackageCarriesNone)
{
    Registration registered(controlWithVersion(folder_, 0x00070000, 0x00130000));
    EXPECT_EQ(find(), "");
    package_.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("FP"), Bytes{0}); // placeholder
    EXPECT_EQ(find(), "");
}

TEST_F(FlashPlayerLocator, FilesThatAreNoControlFailWithTheDocumentedCodes)
{
    win32::ComPtr<IDispatch> control;
    EXPECT_EQ(createFlashControl(working_ + "missing.ocx", control.put()), REGDB_E_CLASSNOTREG);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(createFlashControl(std::string(system) + "\\version.dll", control.put()), CO_E_ERRORINDLL);
    EXPECT_FALSE(control);
}

} // namespace
} // namespace lumbra::test
