#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(WideText, Utf8AndUtf16RoundTrip) {
    const std::string text = "Ru \xD0\xA0\xD1\x83\xD1\x81 \xF0\x9F\x98\x80";
    EXPECT_EQ(win32::Widen(text).size(), 9u);
    EXPECT_EQ(win32::Narrow(win32::Widen(text)), text);
}

} // namespace
} // namespace quorvel
