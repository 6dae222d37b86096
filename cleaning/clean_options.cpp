#include "cleaning/clean_options.h"

#include "app/settings_keys.h"

namespace quorvel {

using B = TrackBrowser;
using M = CleanMark;

const std::array<CleanOption, 15> kCleanOptions = {{
    {settings::kIeCache, 300, B::InternetExplorer, "Cache", M::None},
    {settings::kIeCookies, 301, B::InternetExplorer, "Cookies", M::None},
    {settings::kIeUrlCache, 302, B::InternetExplorer, "Addresses cache", M::None},
    {settings::kIeFormsAndPasswords, 303, B::InternetExplorer, "Forms and passwords", M::None},
    {settings::kIeHistory, 304, B::InternetExplorer, "History", M::None},
    {settings::kFirefoxCache, 306, B::Firefox, "Cache", M::Star},
    {settings::kFirefoxCookies, 307, B::Firefox, "Cookies", M::None},
    {settings::kFirefoxHistory, 308, B::Firefox, "History", M::StarCaretWhenSelected},
    {settings::kFirefoxFormsAndPasswords, 309, B::Firefox, "Forms and passwords", M::StarWhenSelected},
    {settings::kFirefoxDownloadsHistory, 310, B::Firefox, "Downloads history", M::None},
    {settings::kNetscapeCache, 311, B::Netscape, "Cache", M::StarWhenSelected},
    {settings::kNetscapeCookies, 312, B::Netscape, "Cookies", M::None},
    {settings::kNetscapeHistory, 313, B::Netscape, "History", M::StarWhenSelected},
    {settings::kNetscapeFormsAndPasswords, 314, B::Netscape, "Forms and passwords", M::None},
    {settings::kNetscapeDownloadsHistory, 315, B::Netscape, "Downloads history", M::None},
}};

} // namespace quorvel
