#include "platform/crypto.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

std::string Hex(const std::array<unsigned char, 32>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xf];
    }
    return out;
}

// Test cases 2, 6 and 7 of RFC 4231 (a key longer than a block is hashed first; data of several blocks), and an
// empty key and message.
TEST(Crypto, HmacSha256MatchesTheKnownAnswers) {
    auto digest = crypto::HmacSha256("Jefe", "what do ya want for nothing?");
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest), "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    const std::string longKey(131, '\xaa');
    digest = crypto::HmacSha256(longKey, "Test Using Larger Than Block-Size Key - Hash Key First");
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest), "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
    digest =
        crypto::HmacSha256(longKey, "This is a test using a larger than block-size key and a larger than block-size "
                                    "data. The key needs to be hashed before being used by the HMAC algorithm.");
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest), "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
    digest = crypto::HmacSha256({}, {});
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest), "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
}

TEST(Crypto, RandomBytesDifferEachTime) {
    std::array<unsigned char, 32> first{};
    std::array<unsigned char, 32> second{};
    ASSERT_TRUE(crypto::RandomBytes(first.data(), first.size()));
    ASSERT_TRUE(crypto::RandomBytes(second.data(), second.size()));
    EXPECT_NE(first, second);
}

} // namespace
} // namespace quorvel
