// The Russian language file: every text the program looks up is in it, in Russian, and the pages show it once
// "Russian(Русский)" is chosen. The lookups are found by reading the program's own sources, so a text added
// anywhere later is checked too.

#include "cleaning/clean_options.h"
#include "pages/options_sheet_model.h"
#include "pages/page_text.h"
#include "pages/profiles_center_programs.h"
#include "pages_fixture.h"
#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;

const char* const kSourceFolders[] = {"app", "tor", "redirect", "masking", "cleaning", "pages", "ui"};

struct Lookup {
    std::string section;
    std::string key;
    std::string where;
};

// A function whose calls name a text: which arguments hold the section and the key. A fixed section stands for
// helpers that always look in one section.
struct LookupFunction {
    std::string file; // empty: every file
    std::string name;
    int sectionArgument; // -1: the fixed section
    std::string fixedSection;
    int keyArgument;
    bool mustResolve; // an argument that cannot be read is an error, unless the call is accounted for below
};

const std::vector<LookupFunction>& LookupFunctions() {
    static const std::vector<LookupFunction> functions = {
        {"", "GetText", 1, "", 2, true},
        {"", "LanguageText", 1, "", 2, true},
        {"tor/country_selection.cpp", "ShowInformation", -1, "Messages", 1, false},
        {"tor/anonymity_mode.cpp", "MenuText", -1, "Main menu", 1, false},
        {"tor/surfing_session.cpp", "ShowBalloon", -1, "Messages", 1, false},
        {"redirect/program_redirector.cpp", "Message", -1, "Messages", 1, false},
        {"pages/main_menu.cpp", "Item", -1, "Main menu", 2, false},
    };
    return functions;
}

// Lookups whose section or key is not written at the call: each is the inside of one of the helpers above, or
// takes its keys from a table that the test reads itself.
const std::set<std::pair<std::string, std::string>>& AccountedCalls() {
    static const std::set<std::pair<std::string, std::string>> calls = {
        {"app/language_file.h", "conststd::string&english,conststd::string&section,conststd::string&key"},
        {"app/language_file.cpp", "conststd::string&english,conststd::string&section,conststd::string&key"},
        {"pages/page_text.h", "constLanguageFile&language,constchar*section,constchar*key,constchar*english=nullptr"},
        {"pages/page_text.cpp", "constLanguageFile&language,constchar*section,constchar*key,constchar*english"},
        {"pages/page_text.cpp", "english!=nullptr?english:key,section,key"},
        {"tor/country_selection.cpp", "english,\"Messages\",key"},
        {"tor/anonymity_mode.cpp", "key,settings::kMainMenu,key"},
        {"tor/surfing_session.cpp", "english,\"Messages\",key"},
        {"redirect/program_redirector.cpp", "english,kMessages,key"},
        {"pages/main_menu.cpp", "english,settings::kMainMenu,key"},
        {"cleaning/profiles_center_page_clean.cpp", "option.label,kSection,option.label"},
        {"cleaning/track_cleaner.cpp", "option.label,clean_text::kSection,option.label"},
        {"pages/profiles_center_page.cpp", "m_language,kOptionsDialog,group.text"},
    };
    return calls;
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// The source with comments blanked out; string and character literals stay as they are.
std::string WithoutComments(const std::string& source) {
    std::string out = source;
    enum class In { Code, String, Char, Line, Block } in = In::Code;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        const char next = i + 1 < out.size() ? out[i + 1] : '\0';
        switch (in) {
        case In::Code:
            if (c == '"') {
                in = In::String;
            } else if (c == '\'') {
                in = In::Char;
            } else if (c == '/' && next == '/') {
                in = In::Line;
                out[i] = ' ';
            } else if (c == '/' && next == '*') {
                in = In::Block;
                out[i] = ' ';
            }
            break;
        case In::String:
        case In::Char:
            if (c == '\\') {
                ++i;
            } else if ((in == In::String && c == '"') || (in == In::Char && c == '\'')) {
                in = In::Code;
            }
            break;
        case In::Line:
            if (c == '\n') {
                in = In::Code;
            } else {
                out[i] = ' ';
            }
            break;
        case In::Block:
            if (c == '*' && next == '/') {
                out[i] = out[i + 1] = ' ';
                ++i;
                in = In::Code;
            } else if (c != '\n') {
                out[i] = ' ';
            }
            break;
        }
    }
    return out;
}

// The value of an argument made only of string literals (adjacent ones joined), with the escapes the sources use.
std::optional<std::string> Literal(const std::string& argument) {
    std::string value;
    std::size_t i = 0;
    bool any = false;
    while (true) {
        while (i < argument.size() && std::isspace(static_cast<unsigned char>(argument[i]))) {
            ++i;
        }
        if (i == argument.size()) {
            break;
        }
        if (argument[i] != '"') {
            return std::nullopt;
        }
        any = true;
        for (++i; i < argument.size() && argument[i] != '"'; ++i) {
            if (argument[i] == '\\' && i + 1 < argument.size()) {
                const char escaped = argument[++i];
                value += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
            } else {
                value += argument[i];
            }
        }
        ++i;
    }
    return any ? std::optional<std::string>(value) : std::nullopt;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

class SourceLookups {
public:
    SourceLookups() {
        for (const char* folder : kSourceFolders) {
            for (const auto& entry : fs::directory_iterator(SourceFolder() + "/" + folder)) {
                const std::string name = entry.path().filename().string();
                if (name.ends_with(".cpp") || name.ends_with(".h")) {
                    m_files[std::string(folder) + "/" + name] = WithoutComments(ReadText(entry.path()));
                }
            }
        }
        for (const auto& [file, text] : m_files) {
            CollectConstants(text);
        }
        for (const auto& [file, text] : m_files) {
            for (const LookupFunction& function : LookupFunctions()) {
                if (function.file.empty() || function.file == file) {
                    CollectCalls(file, text, function);
                }
            }
        }
    }

    const std::vector<Lookup>& Found() const { return m_found; }
    const std::vector<std::string>& Unreadable() const { return m_unreadable; }
    std::size_t CallsOf(const std::string& name) const {
        auto it = m_callsByFunction.find(name);
        return it == m_callsByFunction.end() ? 0 : it->second;
    }

private:
    // Text constants: `constexpr const char* kName = "...";` and the like. A name given two different values
    // (other than in case, which the language file ignores) cannot be read.
    void CollectConstants(const std::string& text) {
        static const std::regex constant(
            R"re(constexpr\s+(?:const\s+char\s*\*|std::string_view|const\s+char)\s*(\w+)(?:\[\])?\s*=\s*("(?:[^"\\]|\\.)*"))re");
        for (std::sregex_iterator it(text.begin(), text.end(), constant), end; it != end; ++it) {
            const std::string name = (*it)[1];
            const std::string value = *Literal((*it)[2]);
            auto [known, added] = m_constants.emplace(name, value);
            if (!added && known->second && Lower(*known->second) != Lower(value)) {
                known->second.reset();
            }
        }
    }

    std::optional<std::string> Resolve(const std::string& argument) const {
        if (auto literal = Literal(argument)) {
            return literal;
        }
        static const std::regex name(R"(\s*(?:\w+::)*(\w+)\s*)");
        std::smatch match;
        if (std::regex_match(argument, match, name)) {
            auto it = m_constants.find(match[1]);
            if (it != m_constants.end()) {
                return it->second;
            }
        }
        return std::nullopt;
    }

    // Finds every `name(` and splits its arguments at the commas that are not nested.
    void CollectCalls(const std::string& file, const std::string& text, const LookupFunction& function) {
        const std::regex call("\\b" + function.name + "\\s*\\(");
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
            std::size_t i = static_cast<std::size_t>(it->position() + it->length());
            std::vector<std::string> arguments(1);
            int depth = 0;
            bool inString = false;
            for (; i < text.size(); ++i) {
                const char c = text[i];
                if (inString) {
                    arguments.back() += c;
                    if (c == '\\') {
                        arguments.back() += text[++i];
                    } else if (c == '"') {
                        inString = false;
                    }
                    continue;
                }
                if (c == '"') {
                    inString = true;
                } else if (c == '(' || c == '{' || c == '[') {
                    ++depth;
                } else if (c == ')' || c == '}' || c == ']') {
                    if (depth-- == 0) {
                        break;
                    }
                } else if (c == ',' && depth == 0) {
                    arguments.emplace_back();
                    continue;
                }
                arguments.back() += c;
            }
            Record(file, function, arguments);
        }
    }

    void Record(const std::string& file, const LookupFunction& function, const std::vector<std::string>& arguments) {
        auto argument = [&](int index) -> std::optional<std::string> {
            if (index < 0 || index >= static_cast<int>(arguments.size())) {
                return std::nullopt;
            }
            return Resolve(arguments[static_cast<std::size_t>(index)]);
        };
        const std::optional<std::string> section = function.sectionArgument < 0
                                                       ? std::optional<std::string>(function.fixedSection)
                                                       : argument(function.sectionArgument);
        const std::optional<std::string> key = argument(function.keyArgument);
        if (section && key) {
            m_found.push_back({*section, *key, file});
            ++m_callsByFunction[function.name];
            return;
        }
        if (!function.mustResolve) {
            return;
        }
        std::string compact;
        for (const std::string& part : arguments) {
            compact += (compact.empty() ? "" : ",");
            for (char c : part) {
                if (!std::isspace(static_cast<unsigned char>(c))) {
                    compact += c;
                }
            }
        }
        if (AccountedCalls().count({file, compact}) == 0) {
            m_unreadable.push_back(file + ": " + function.name + "(" + compact + ")");
        }
    }

    std::map<std::string, std::string> m_files;
    std::map<std::string, std::optional<std::string>> m_constants;
    std::vector<Lookup> m_found;
    std::vector<std::string> m_unreadable;
    std::map<std::string, std::size_t> m_callsByFunction;
};

std::string RussianFile() {
    return SourceFolder() + "/lang/Russian.ini";
}

std::optional<std::string> RussianText(const std::string& section, const std::string& key) {
    const std::string missing = "\x01";
    const std::string text = private_profile::GetString(RussianFile(), section, key, missing, 10240);
    return text == missing ? std::nullopt : std::optional<std::string>(text);
}

bool HasCyrillic(const std::string& text) {
    // Cyrillic letters are U+0400..U+04FF: UTF-8 lead bytes 0xD0..0xD3.
    for (unsigned char c : text) {
        if (c >= 0xD0 && c <= 0xD3) {
            return true;
        }
    }
    return false;
}

TEST(RussianLanguageTest, EveryTextTheProgramLooksUpIsTranslated) {
    const SourceLookups sources;
    EXPECT_TRUE(sources.Unreadable().empty())
        << "lookups whose section or key this test cannot read; account for them:\n"
        << ::testing::PrintToString(sources.Unreadable());
    for (const LookupFunction& function : LookupFunctions()) {
        EXPECT_GT(sources.CallsOf(function.name), 0u) << function.name << " in " << function.file << " names no text";
    }

    std::vector<Lookup> lookups = sources.Found();
    for (const CleanOption& option : kCleanOptions) {
        lookups.push_back({clean_text::kSection, option.label, "cleaning/clean_options.cpp"});
    }
    for (const ProgramGroupEntry& group : ProgramGroups()) {
        lookups.push_back({page_text::kOptionsDialog, group.text, "pages/profiles_center_programs.cpp"});
    }
    std::set<std::pair<std::string, std::string>> distinct;
    for (const Lookup& lookup : lookups) {
        distinct.emplace(Lower(lookup.section), lookup.key);
    }
    EXPECT_GE(distinct.size(), 80u) << "the sources were not read";

    for (const Lookup& lookup : lookups) {
        const auto text = RussianText(lookup.section, lookup.key);
        if (!text) {
            ADD_FAILURE() << "missing [" << lookup.section << "] " << lookup.key << " (looked up in " << lookup.where
                          << ")";
        } else {
            EXPECT_TRUE(HasCyrillic(*text)) << "[" << lookup.section << "] " << lookup.key << " = " << *text;
        }
    }
}

TEST(RussianLanguageTest, TextsThatTheProgramWorksOnKeepTheirMarks) {
    // The program turns "Firefox" into "Netscape" in these two.
    EXPECT_NE(RussianText("Messages", "Restart Firefox")->find("Firefox"), std::string::npos);
    EXPECT_NE(RussianText("Messages", "No Firefox profile found")->find("Firefox"), std::string::npos);
    // The notes explain the marks put after the clean options.
    EXPECT_EQ(RussianText("Clean dialog", "* the browser must be closed")->rfind("* ", 0), 0u);
    EXPECT_EQ(RussianText("Clean dialog", "Firefox 2 only")->rfind("^ ", 0), 0u);
    // The column heading is looked up with its typographic apostrophe.
    EXPECT_TRUE(RussianText("Country selection", "Number of IP\u2019s").has_value());
    // Written as UTF-8 without a byte-order mark, like every file the program writes.
    EXPECT_NE(ReadFileBytes(RussianFile()).rfind("\xEF\xBB\xBF", 0), 0u);
}

class RussianPagesTest : public ::testing::Test {
protected:
    RussianPagesTest() { world.ChooseRussian(); }

    // Every text a page set on its controls, in order.
    static std::vector<std::string> TextsSet(const FakeControls& controls) {
        std::vector<std::string> texts;
        for (const std::string& line : controls.Log()) {
            if (line.rfind("text ", 0) == 0) {
                texts.push_back(line.substr(line.find('=') + 1));
            }
        }
        return texts;
    }

    PagesWorld world;
};

TEST_F(RussianPagesTest, EveryPageShowsItsTextsInRussian) {
    OptionsPages pages(world.Parts());
    FakeChildHost host;
    pages.profilesCenter.SetChildHost(&host);
    std::vector<std::string> titles;
    for (OptionsPage* page : pages.InTabOrder()) {
        titles.push_back(page->Title());
        FakeControls controls;
        page->OnInitDialog(controls);
        for (const std::string& text : TextsSet(controls)) {
            // Addresses, numbers, names of languages and programs are not translated.
            const bool data = text.find_first_not_of(" \n") == std::string::npos ||
                              text.find_first_of("0123456789") == 0 || text.find('.') != std::string::npos ||
                              text.rfind("English", 0) == 0 || text == "Windows" || text == "Internet Explorer";
            if (!data) {
                EXPECT_TRUE(HasCyrillic(text)) << "page " << page->TemplateId() << ": " << text;
            }
        }
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Центр профилей", "Маскировка", "Прочее", "Выбор страны",
                                                "Проверка анонимности"}));
    EXPECT_EQ(OptionsSheetModel::Caption(world.language), "Настройки");
    EXPECT_EQ(host.At(CProfilesCenterPage::kCleanFrame).Text(300), "Кэш");
    EXPECT_EQ(host.At(CProfilesCenterPage::kProfilePathFrame).Text(1039), "\nДоступ к профилю не требуется.\n");
}

TEST_F(RussianPagesTest, MessagesComeInRussianToo) {
    COtherPage page(world.paths, world.settings, world.language, world.ui);
    FakeControls controls;
    page.OnInitDialog(controls);
    controls.SetText(COtherPage::kPortEdit, "0");
    EXPECT_FALSE(page.CanApply(controls));
    EXPECT_EQ(
        world.ui.MessageTexts(),
        (std::vector<std::string>{"Укажите порт от 1 до 65535 для связи между Quorvel и Tor. Ничего не сохранено."}));

    // "Russian" alone names the same file.
    world.settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Russian");
    EXPECT_EQ(OptionsSheetModel::Caption(world.language), "Настройки");
    world.settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "English");
    EXPECT_EQ(OptionsSheetModel::Caption(world.language), "Options");
}

} // namespace
} // namespace quorvel::test
