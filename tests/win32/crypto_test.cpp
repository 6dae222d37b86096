#include "platform/crypto.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

std::string Hex(const std::array<unsigned char, 32>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

TEST(Crypto, HmacSha256GivesTheRfc4231Vector) {
    auto digest = crypto::HmacSha256("Jefe", "what do ya want for nothing?");
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest), "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
}

TEST(Crypto, RandomBytesDifferEachTime) {
    std::array<unsigned char, 32> a{};
    std::array<unsigned char, 32> b{};
    ASSERT_TRUE(crypto::RandomBytes(a.data(), a.size()));
    ASSERT_TRUE(crypto::RandomBytes(b.data(), b.size()));
    EXPECT_NE(a, b);
}

} // namespace
} // namespace quorvel
