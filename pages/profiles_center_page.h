#pragma once

#include "cleaning/profiles_center_page_clean.h"
#include "pages/options_page.h"
#include "pages/profile_path_dialog.h"

#include <array>

namespace quorvel {

class ChildDialogHost;
class IdentityMasking;
class LanguageFile;
class Paths;
class ProgramRedirector;
class SettingsStore;
class Ui;
struct ProcessState;

// The profiles center: pick a group and a program, choose whether that program is pointed at Tor, set its
// profile folder and its clean options. A changed choice is stored at once as pending ("2" redirect, "-1"
// restore); OK acts on it, Cancel puts back what was in force when the page opened.
class CProfilesCenterPage final : public OptionsPage {
public:
    static constexpr int kTemplate = 134;

    static constexpr int kGroupList = 1006;
    static constexpr int kProgramList = 1007;
    static constexpr int kProfilePathFrame = 1017;
    static constexpr int kCleanFrame = 1018;
    static constexpr int kAnonymizeBox = 1032;
    static constexpr int kCleanReportBox = 1019;
    // Icons that decorate the page.
    static constexpr std::array<int, 3> kDecorationIcons = {139, 147, 151};

    // The pending "Clean report" choice.
    static constexpr int kReportUntouched = 0;
    static constexpr int kReportTicked = 1;
    static constexpr int kReportCleared = -1;

    CProfilesCenterPage(const Paths& paths, const SettingsStore& settings, const LanguageFile& language, Ui& ui,
                        ProcessState& state, ProgramRedirector& redirector, IdentityMasking& masking);

    // Must be set before the page is initialised: where the two child dialogs are made.
    void SetChildHost(ChildDialogHost* host) { m_host = host; }

    int TemplateId() const override { return kTemplate; }
    std::string Title() const override;
    void OnInitDialog(Controls& controls) override;
    void OnOK(Controls& controls) override;
    void OnCancel(Controls& controls) override;

    // The user picked a group, a program; clicked the anonymize or the clean report box.
    void OnGroupChanged(Controls& controls);
    void OnProgramChanged(Controls& controls);
    void OnAnonymizeClicked(const Controls& controls);
    void OnCleanReportClicked(const Controls& controls);

    // Buttons and boxes of the child dialogs.
    void OnAutoDetect();
    void OnBrowse();
    void OnCleanBoxClicked(int checkBoxId);

    int PendingCleanReport() const { return m_pendingCleanReport; }
    const CProfilesCenterPageClean& CleanChild() const { return m_clean; }

private:
    void HostChildren(int profilePathTemplate, int cleanTemplate);
    void DestroyChildren();

    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    ProcessState& m_state;
    ProgramRedirector& m_redirector;
    CProfilesCenterPageProfilePath m_profilePath;
    CProfilesCenterPageClean m_clean;
    ChildDialogHost* m_host = nullptr;
    // The selections in force when the page opened, in program order, for Cancel.
    std::array<bool, 7> m_savedSelections{};
    int m_pendingCleanReport = kReportUntouched;
};

} // namespace quorvel
