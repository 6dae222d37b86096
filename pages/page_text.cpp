#include "pages/page_text.h"

#include "app/language_file.h"

namespace quorvel {

std::string LanguageText(const LanguageFile& language, const char* section, const char* key, const char* english) {
    return language.GetText(english != nullptr ? english : key, section, key);
}

} // namespace quorvel
