#include "package/BuiltinDigest.h"
#include "package/PackageIdentity.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

const std::array<std::uint8_t, 16> opaque = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

TEST(PackageIdentity, SealedTextReadsBack)
{
    auto block = makePackageIdentity("Acme/Viewer\\1.0", opaque);
    EXPECT_EQ(block.size(), 2 * 16 + 32u);
    EXPECT_EQ(checkPackageIdentity(block), "Acme/Viewer\\1.0");
    EXPECT_EQ(checkPackageIdentity(makePackageIdentity("", opaque)), "");
}

TEST(PackageIdentity, RejectsShortTamperedAndUnterminatedBlocks)
{
    EXPECT_FALSE(checkPackageIdentity({}));
    std::vector<std::uint8_t> thirtyTwo(32, 0);
    EXPECT_FALSE(checkPackageIdentity(thirtyTwo));

    auto block = makePackageIdentity("Acme/Viewer", opaque);
    for (std::size_t i = 0; i < block.size(); ++i) {
        auto tampered = block;
        tampered[i] ^= 0x01;
        EXPECT_FALSE(checkPackageIdentity(tampered)) << "byte " << i;
    }
    auto extended = block;
    extended.insert(extended.begin(), {'A', 0});
    EXPECT_FALSE(checkPackageIdentity(extended));
}

TEST(PackageIdentity, TextWithoutTerminatorIsRejectedEvenWhenSealed)
{
    std::vector<std::uint8_t> block = {'A', 0, 'B', 0};
    block.insert(block.end(), opaque.begin(), opaque.end());
    Md5Digest digest = builtinDigest(block);
    block.insert(block.end(), digest.begin(), digest.end());
    EXPECT_FALSE(checkPackageIdentity(block));
}

TEST(PackageIdentity, SplitsIntoRegistryKeyAndProfileName)
{
    auto a = profileLocation("Acme/Viewer\\1.0", "App");
    EXPECT_EQ(a.registryKey, "Acme");
    EXPECT_EQ(a.profileName, "Viewer\\1.0");
    auto b = profileLocation("Acme", "App");
    EXPECT_EQ(b.registryKey, "Acme");
    EXPECT_EQ(b.profileName, "App");
    auto c = profileLocation("A/B/C", "App");
    EXPECT_EQ(c.registryKey, "A");
    EXPECT_EQ(c.profileName, "B/C");
}

} // namespace
} // namespace lumbra
