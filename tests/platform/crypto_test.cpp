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

// Test case 2 of RFC 4231, and an empty key and message.
TEST(Crypto, HmacSha256MatchesTheKnownAnswers) {
    auto digest = crypto::HmacSha256("Jefe", "what do ya want for nothing?");
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest), "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
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
