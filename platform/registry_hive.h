#pragma once

#include "platform/registry_store.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The in-memory tree of one registry hive and its text form. Used by RegistryStore; kept apart so the file format
// can be read and tested on its own.
//
// A hive file looks like this (keys in creation order, parents before children):
//
//   ; HKEY_CURRENT_USER
//   @="default value of the hive root"
//
//   [Software\Example]
//   @="default value"
//   "Count"=dword:0000001a
//   "Text"="a \"quoted\" word\nand a second line"
//   "Bytes"=hex:01,02,ff
//
// Lines starting with ';' are comments. Anything else that does not read as one of these lines marks the file as
// not fully understood; such a file is read as far as it goes but must never be rewritten, so nothing is lost.
namespace quorvel::registry_hive {

// Deeper paths are refused: a file that holds one is damaged. Windows itself stops at this depth.
inline constexpr std::size_t kMaxKeyDepth = 512;

struct Node {
    Node() = default;
    // Frees the subtree without recursion, so no depth of keys can exhaust the stack.
    ~Node();
    Node(Node&&) = default;
    Node& operator=(Node&&) = default;

    std::string name;
    std::vector<std::pair<std::string, RegistryValue>> values;
    std::vector<std::unique_ptr<Node>> children;
};

struct Hive {
    Node root;
    bool complete = true; // every line was understood
};

// Key and value names compare without regard to (ASCII) case.
bool SameName(const std::string& a, const std::string& b);

// Splits "A\B\C" into its parts; empty parts (doubled, leading or trailing '\') are dropped. Nothing when a part
// holds a control character, which a key line cannot carry, or when there are more than kMaxKeyDepth parts.
std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path);

Node* FindChild(Node& node, const std::string& name);
Node* FindKey(Node& root, const std::string& path);
// `created` becomes true when a key had to be added.
Node* FindOrCreateChild(Node& node, const std::string& name, bool& created);
Node* FindOrCreateKey(Node& root, const std::vector<std::string>& parts, bool& created);

// Sets a value; a value that exists under another spelling keeps its first spelling. True when anything changed.
bool PutValue(Node& node, const std::string& name, const RegistryValue& value);
std::unique_ptr<Node> DeepCopy(const Node& node);
// How many levels of keys lie below `node` (0 when it has no subkeys).
std::size_t Depth(const Node& node);
// Copies every value and subkey of `source` into `target`, overwriting same-named values. True when anything
// changed.
bool MergeInto(Node& target, const Node& source);

// `title` goes into the comment on the first line.
std::string Format(const Node& root, const std::string& title);
Hive Parse(std::string_view content);

} // namespace quorvel::registry_hive
