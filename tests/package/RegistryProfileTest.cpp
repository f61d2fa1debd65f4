// The registry profile, on the real (Wine) registry under a throw-away key.
#ifdef _WIN32
#include "RecordingReporter.h"
#include "TempFolder.h"

#include "package/PackedBlock.h"
#include "package/ResourceTable.h"
#include "package/SettingsLoader.h"
#include "package/SettingsRecord.h"
#include "package/win32/RegistryProfile.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumbra {
namespace {

class RegistryProfileTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\LumbraProfileTest"); }
    RegistryProfile profile{{"LumbraProfileTest", "Viewer\\1.0"}};
};

TEST_F(RegistryProfileTest, ValuesLiveUnderTheProfileKey)
{
    EXPECT_EQ(profile.sectionKey("Settings"), "Software\\LumbraProfileTest\\Viewer\\1.0\\Settings");
    EXPECT_FALSE(profile.readBinary("Settings", "crc"));
    std::vector<std::uint8_t> stamp(16, 0xA5);
    ASSERT_TRUE(profile.writeBinary("Settings", "crc", stamp));
    EXPECT_EQ(profile.readBinary("Settings", "crc"), stamp);
    EXPECT_EQ(profile.readBinary("settings", "CRC"), stamp);
    ASSERT_TRUE(profile.writeString("User", "name", "Ann"));
    EXPECT_EQ(profile.readString("User", "name"), "Ann");
    // A value of the other kind is not taken for this one.
    EXPECT_FALSE(profile.readString("Settings", "crc"));
    EXPECT_FALSE(profile.readBinary("User", "name"));

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\LumbraProfileTest\\Viewer\\1.0\\Settings", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "crc", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_BINARY));
    RegCloseKey(key);
}

TEST_F(RegistryProfileTest, SettingsLoadStoresItsCopyInTheRegistry)
{
    test::TempFolder working;
    test::RecordingReporter reporter;
    ProjectSettings packaged;
    packaged.productName = "From the package";
    ResourceTable resources;
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ST"), packBlock(writeSettings(packaged)));
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("CS"), std::vector<std::uint8_t>(16, 7));
    EXPECT_EQ(loadSettings(resources, profile, working.path(), reporter), packaged);
    ProjectSettings edited = packaged;
    edited.productName = "Edited";
    ASSERT_TRUE(storeSettings(edited, profile));
    EXPECT_EQ(loadSettings(resources, profile, working.path(), reporter), edited);
    EXPECT_TRUE(reporter.messages.empty());
}

} // namespace
} // namespace lumbra
#endif
