#include "platform/registry_hive.h"

#include <cstdio>

namespace quorvel::registry_hive {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            return true;
        }
    }
    return false;
}

} // namespace

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string part = path.substr(start, end - start);
        if (!part.empty()) {
            if (HasControlCharacter(part)) {
                return std::nullopt;
            }
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    return parts;
}

Node* FindChild(Node& node, const std::string& name) {
    for (auto& child : node.children) {
        if (SameName(child->name, name)) {
            return child.get();
        }
    }
    return nullptr;
}

Node* FindKey(Node& root, const std::string& path) {
    auto parts = SplitKeyPath(path);
    if (!parts) {
        return nullptr;
    }
    Node* node = &root;
    for (const auto& part : *parts) {
        node = FindChild(*node, part);
        if (node == nullptr) {
            return nullptr;
        }
    }
    return node;
}

Node* FindOrCreateChild(Node& node, const std::string& name, bool& created) {
    if (Node* child = FindChild(node, name)) {
        return child;
    }
    node.children.push_back(std::make_unique<Node>());
    node.children.back()->name = name;
    created = true;
    return node.children.back().get();
}

Node* FindOrCreateKey(Node& root, const std::vector<std::string>& parts, bool& created) {
    Node* node = &root;
    for (const auto& part : parts) {
        node = FindOrCreateChild(*node, part, created);
    }
    return node;
}

bool PutValue(Node& node, const std::string& name, const RegistryValue& value) {
    for (auto& [existingName, existingValue] : node.values) {
        if (SameName(existingName, name)) {
            if (existingValue == value) {
                return false;
            }
            existingValue = value;
            return true;
        }
    }
    node.values.emplace_back(name, value);
    return true;
}

std::unique_ptr<Node> DeepCopy(const Node& node) {
    auto copy = std::make_unique<Node>();
    copy->name = node.name;
    copy->values = node.values;
    for (const auto& child : node.children) {
        copy->children.push_back(DeepCopy(*child));
    }
    return copy;
}

bool MergeInto(Node& target, const Node& source) {
    bool changed = false;
    for (const auto& [name, value] : source.values) {
        changed = PutValue(target, name, value) || changed;
    }
    for (const auto& child : source.children) {
        Node* copy = FindOrCreateChild(target, child->name, changed);
        changed = MergeInto(*copy, *child) || changed;
    }
    return changed;
}

namespace {

const char kHex[] = "0123456789abcdef";

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (u < 0x20 || u == 0x7f) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string FormatValue(const std::string& name, const RegistryValue& value) {
    std::string line = name.empty() ? std::string("@") : Quote(name);
    line += '=';
    if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(*number));
        line += "dword:";
        line += digits;
    } else if (const auto* text = std::get_if<std::string>(&value.data)) {
        line += Quote(*text);
    } else {
        const auto& bytes = std::get<std::vector<std::uint8_t>>(value.data);
        line += "hex:";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0) {
                line += ',';
            }
            line += kHex[bytes[i] >> 4];
            line += kHex[bytes[i] & 0xf];
        }
    }
    return line;
}

void FormatKey(const Node& node, const std::string& path, std::string& out) {
    out += "\n[" + path + "]\n";
    for (const auto& [name, value] : node.values) {
        out += FormatValue(name, value) + "\n";
    }
    for (const auto& child : node.children) {
        FormatKey(*child, path + "\\" + child->name, out);
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = Lower(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// Reads a quoted text starting at text[pos] == '"'; on success pos is just past the closing quote.
std::optional<std::string> Unquote(const std::string& text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
        case '"':
        case '\\':
            out += text[i];
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<RegistryValue> ParseData(const std::string& data) {
    if (data.starts_with("\"")) {
        std::size_t pos = 0;
        auto text = Unquote(data, pos);
        if (!text || pos != data.size()) {
            return std::nullopt;
        }
        return RegistryValue::String(std::move(*text));
    }
    if (data.starts_with("dword:")) {
        std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t number = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) {
                return std::nullopt;
            }
            number = number * 16 + static_cast<std::uint32_t>(d);
        }
        return RegistryValue::Dword(number);
    }
    if (data.starts_with("hex:")) {
        std::vector<std::uint8_t> bytes;
        std::size_t i = 4;
        while (i < data.size()) {
            while (i < data.size() && (data[i] == ' ' || data[i] == '\t')) {
                ++i;
            }
            if (i + 1 >= data.size() || HexDigit(data[i]) < 0 || HexDigit(data[i + 1]) < 0) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<std::uint8_t>(HexDigit(data[i]) * 16 + HexDigit(data[i + 1])));
            i += 2;
            while (i < data.size() && (data[i] == ' ' || data[i] == '\t')) {
                ++i;
            }
            if (i < data.size() && data[i++] != ',') {
                return std::nullopt;
            }
            if (i == data.size() && data.back() == ',') {
                return std::nullopt; // a trailing comma: a byte is missing
            }
        }
        return RegistryValue::Binary(std::move(bytes));
    }
    return std::nullopt;
}

bool ParseValueLine(const std::string& line, Node& key) {
    std::string name;
    std::size_t pos = 0;
    if (line.starts_with("@")) {
        pos = 1;
    } else {
        auto quoted = Unquote(line, pos);
        if (!quoted || quoted->empty()) {
            return false; // the default value is written as @, never as ""
        }
        name = std::move(*quoted);
    }
    if (pos >= line.size() || line[pos] != '=') {
        return false;
    }
    auto value = ParseData(line.substr(pos + 1));
    if (!value) {
        return false;
    }
    PutValue(key, name, *value);
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string Format(const Node& root, const std::string& title) {
    std::string out = "; " + title + "\n";
    for (const auto& [name, value] : root.values) {
        out += FormatValue(name, value) + "\n";
    }
    for (const auto& child : root.children) {
        FormatKey(*child, child->name, out);
    }
    return out;
}

Hive Parse(std::string_view content) {
    Hive hive;
    std::string_view rest = content;
    if (rest.starts_with("\xEF\xBB\xBF")) {
        rest.remove_prefix(3);
    }
    Node* current = &hive.root;
    std::string pending; // a hex list continued on the next line with a trailing '\'
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view raw = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);

        std::string line = pending + std::string(Trim(raw));
        pending.clear();
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() != '[' && line.ends_with(",\\")) {
            line.pop_back();
            pending = std::move(line);
            continue;
        }
        if (line.front() == '[') {
            auto parts = line.back() == ']' ? SplitKeyPath(line.substr(1, line.size() - 2)) : std::nullopt;
            bool created = false;
            // The values below an unreadable key line must not land in the key before it.
            current = parts ? FindOrCreateKey(hive.root, *parts, created) : nullptr;
            hive.complete = hive.complete && parts.has_value();
            continue;
        }
        if (current == nullptr || !ParseValueLine(line, *current)) {
            hive.complete = false;
        }
    }
    if (!pending.empty()) {
        hive.complete = false;
    }
    return hive;
}

} // namespace quorvel::registry_hive
