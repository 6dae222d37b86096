#pragma once

// Control ids of the masking page (dialog template 201).
namespace quorvel::masking_page {

inline constexpr int kDialogTemplate = 201;

inline constexpr int kApplicableTo = 1071;
inline constexpr int kTakesEffectNote = 1074;
inline constexpr int kSoftwareGroup = 1072;
inline constexpr int kSoftwareDefault = 1046; // radio group: Default, Invisible, Masked
inline constexpr int kSoftwareInvisible = 1047;
inline constexpr int kSoftwareMasked = 1048;
inline constexpr int kRecommend = 1073;
inline constexpr int kOsLabel = 1051;
inline constexpr int kOsBox = 1049;
inline constexpr int kOsVersionLabel = 1052;
inline constexpr int kOsVersionBox = 1050;
inline constexpr int kBrowserLabel = 1055;
inline constexpr int kBrowserBox = 1053;
inline constexpr int kBrowserVersionLabel = 1056;
inline constexpr int kBrowserVersionBox = 1054;
inline constexpr int kLanguageGroup = 1057;
inline constexpr int kLanguageDefault = 1058; // radio group: Default, Invisible, Masked
inline constexpr int kLanguageInvisible = 1059;
inline constexpr int kLanguageMasked = 1060;
inline constexpr int kLanguageBox = 1061;
inline constexpr int kResetButton = 1080;

} // namespace quorvel::masking_page
