#pragma once

#include "masking/identity_lists.h"
#include "masking/identity_model.h"

#include <string>

namespace quorvel {

class SettingsStore;

// Everything the masking page shows, as plain values.
struct MaskingPageState {
    MaskMode agentMode = MaskMode::Default;
    MaskMode languageMode = MaskMode::Default;
    SoftwarePicker software;
    std::string falseLanguage;

    // The selections as the OK step takes them.
    IdentityChoice Selections() const;
    // The four software boxes are usable only while the software identity is masked; the OS-version box never
    // under Linux. The language box only while the language is masked.
    bool SoftwareBoxesEnabled() const { return agentMode == MaskMode::Masked; }
    bool OsVersionBoxEnabled() const { return SoftwareBoxesEnabled() && software.osVersionEnabled; }
    bool LanguageBoxEnabled() const { return languageMode == MaskMode::Masked; }
};

// The page as it opens: the stored choices with their defaults filled in and the lists that go with them. The
// defaults for an unusable operating system, a missing OS version (Windows and Mac) and a missing browser are
// stored in the settings at once.
MaskingPageState OpenMaskingPage(const SettingsStore& settings);

} // namespace quorvel
