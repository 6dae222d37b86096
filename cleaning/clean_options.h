#pragma once

#include <array>

namespace quorvel {

// The browsers whose tracks the cleaner removes, in the order it visits them.
enum class TrackBrowser { InternetExplorer, Firefox, Netscape };

// What follows a clean option's label in the clean-options dialog.
enum class CleanMark {
    None,
    Star,                  // " *" always
    StarWhenSelected,      // " *" when the option's browser is the profiles center's selected browser
    StarCaretWhenSelected, // " *^" likewise
};

// One kind of track the user can choose to remove.
struct CleanOption {
    const char* key; // boolean in settings section "Clean options"
    int checkBoxId;  // its box in the clean-options dialog
    TrackBrowser browser;
    const char* label; // English text and key in language section "Clean dialog"
    CleanMark mark;
};

// Every clean option, in check-box order, which is also the order of the cleaning steps.
extern const std::array<CleanOption, 15> kCleanOptions;

// Language texts of the cleaner and its dialog.
namespace clean_text {
inline constexpr const char* kSection = "Clean dialog";
inline constexpr const char* kMessagesSection = "Messages";
inline constexpr const char* kRemoved = "removed";
inline constexpr const char* kNotRemovedKey = "not removed";
inline constexpr const char* kNotRemoved = "some files could not be removed";
inline constexpr const char* kNothingToClearKey = "nothing to clear";
inline constexpr const char* kNothingToClear = "nothing to clear on this system";
inline constexpr const char* kReportCaption = "Clean report";
inline constexpr const char* kNothingSelectedKey = "No clean options selected";
inline constexpr const char* kNothingSelected = "No clean options selected!";
inline constexpr const char* kNoOptionsKey = "No clean options";
inline constexpr const char* kNoOptions = "No clean options available.";
inline constexpr const char* kBrowserMustBeClosed = "* the browser must be closed";
inline constexpr const char* kFirefox2OnlyKey = "Firefox 2 only";
inline constexpr const char* kFirefox2Only = "^ Firefox 2 only";
} // namespace clean_text

} // namespace quorvel
