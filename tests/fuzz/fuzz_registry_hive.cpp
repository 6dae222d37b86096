// The registry hive format: a hostile file is read without harm, and what was understood is written so that it
// reads back as the same tree.
#include "platform/registry_hive.h"

#include <cstdlib>
#include <string_view>

using namespace quorvel::registry_hive;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Hive hive = Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = Format(hive.root, "HKEY_CURRENT_USER");
    const Hive again = Parse(text);
    if (!again.complete || Format(again.root, "HKEY_CURRENT_USER") != text) {
        std::abort();
    }
    auto copy = DeepCopy(hive.root);
    Node merged;
    MergeInto(merged, *copy);
    if (Depth(merged) != Depth(hive.root) || Depth(hive.root) > kMaxKeyDepth) {
        std::abort();
    }
    return 0;
}
