#include "pages/profiles_center_page.h"

#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/child_dialog_host.h"
#include "pages/page_text.h"
#include "pages/profiles_center_programs.h"
#include "platform/controls.h"
#include "redirect/program_redirector.h"

#include <cstdlib>

namespace quorvel {

namespace {

using namespace page_text;

int StoredInt(const SettingsStore& settings, const char* key) {
    return settings.ReadInt(settings::kOptionsDialog, key, 0);
}

bool IsSelected(const SettingsStore& settings, ProgramKind kind) {
    const ProgramInfo& info = Program(kind);
    return settings.ReadBool(settings::kAnonymization, info.selectionKey, info.selectedByDefault);
}

} // namespace

CProfilesCenterPage::CProfilesCenterPage(const Paths& paths, const SettingsStore& settings,
                                         const LanguageFile& language, Ui& ui, ProcessState& state,
                                         ProgramRedirector& redirector, IdentityMasking& masking)
    : m_settings(settings), m_language(language), m_state(state), m_redirector(redirector),
      m_profilePath(paths, settings, language, ui, masking), m_clean(settings, language) {}

std::string CProfilesCenterPage::Title() const {
    return LanguageText(m_language, kOptionsDialog, "Profiles center");
}

void CProfilesCenterPage::OnInitDialog(Controls& controls) {
    m_state.mozillaSettingsChanged = false;
    m_state.netscapeSettingsChanged = false;
    // A choice belongs to the opening it was made in: one made before a Cancel must not be stored by a later OK.
    m_pendingCleanReport = kReportUntouched;

    controls.ResetContent(kGroupList);
    for (const ProgramGroupEntry& group : ProgramGroups()) {
        controls.AddString(kGroupList, LanguageText(m_language, kOptionsDialog, group.text));
    }

    const int group = std::abs(StoredInt(m_settings, settings::kCurrentGroup));
    if (group == 0 || group == 1) {
        controls.SetCurSel(kGroupList, group);
        OnGroupChanged(controls);
        const int position = StoredInt(m_settings, group == 0 ? settings::kCurrentBrowser : settings::kCurrentIm);
        controls.SetCurSel(kProgramList, position);
    }

    controls.SetCheck(kCleanReportBox, m_settings.ReadBool(settings::kOptionsDialog, settings::kCleanReport, true)
                                           ? kChecked
                                           : kUnchecked);
    for (std::size_t i = 0; i < kAllPrograms.size(); ++i) {
        m_savedSelections[i] = IsSelected(m_settings, kAllPrograms[i]);
    }

    controls.SetText(kProfilePathFrame, LanguageText(m_language, kOptionsDialog, "Path to profile"));
    controls.SetText(kCleanFrame, LanguageText(m_language, kOptionsDialog, "Clean options"));
    controls.SetText(kCleanReportBox, LanguageText(m_language, kOptionsDialog, "Show clean report"));
}

void CProfilesCenterPage::OnGroupChanged(Controls& controls) {
    controls.ResetContent(kProgramList);
    const int group = controls.CurSel(kGroupList);
    for (const ProgramEntry& entry : ProgramsOf(group)) {
        controls.AddString(kProgramList, entry.entryText);
    }
    if (group == 0 || group == 1) {
        controls.SetCurSel(kProgramList,
                           StoredInt(m_settings, group == 0 ? settings::kCurrentBrowser : settings::kCurrentIm));
        m_settings.WriteInt(settings::kOptionsDialog, settings::kCurrentGroup, group);
    }
    OnProgramChanged(controls);
}

void CProfilesCenterPage::OnProgramChanged(Controls& controls) {
    const int group = std::abs(StoredInt(m_settings, settings::kCurrentGroup));
    const int position = controls.CurSel(kProgramList);
    const std::optional<ProgramEntry> program = ProgramAt(group, position);

    DestroyChildren();
    // A list without a selection (a stored position out of range) stands for no program at all.
    if (!program) {
        controls.SetCheck(kAnonymizeBox, kUnchecked);
        controls.SetText(kAnonymizeBox, LanguageText(m_language, kOptionsDialog, "Anonymize"));
        return;
    }
    m_settings.WriteInt(settings::kOptionsDialog, group == 0 ? settings::kCurrentBrowser : settings::kCurrentIm,
                        position);
    // A pending "2" or "-1" is not "1", so it shows as not ticked.
    controls.SetCheck(kAnonymizeBox, IsSelected(m_settings, program->kind) ? kChecked : kUnchecked);
    HostChildren(program->profilePathTemplate, program->cleanTemplate);
    controls.SetText(kAnonymizeBox, LanguageText(m_language, kOptionsDialog, "Anonymize") + " " + program->entryText);
}

void CProfilesCenterPage::OnAnonymizeClicked(const Controls& controls) {
    const std::optional<ProgramEntry> program =
        ProgramByEntryText(controls.ItemText(kProgramList, controls.CurSel(kProgramList)));
    if (!program) {
        return;
    }
    m_settings.WriteInt(settings::kAnonymization, Program(program->kind).selectionKey,
                        controls.Check(kAnonymizeBox) == kChecked ? 2 : -1);
}

void CProfilesCenterPage::OnCleanReportClicked(const Controls& controls) {
    m_pendingCleanReport = controls.Check(kCleanReportBox) == kChecked ? kReportTicked : kReportCleared;
}

void CProfilesCenterPage::OnAutoDetect() {
    if (Controls* child = m_host != nullptr ? m_host->Child(kProfilePathFrame) : nullptr) {
        m_profilePath.OnAutoDetect(*child);
    }
}

void CProfilesCenterPage::OnBrowse() {
    if (Controls* child = m_host != nullptr ? m_host->Child(kProfilePathFrame) : nullptr) {
        m_profilePath.OnBrowse(*child);
    }
}

void CProfilesCenterPage::OnCleanBoxClicked(int checkBoxId) {
    if (Controls* child = m_host != nullptr ? m_host->Child(kCleanFrame) : nullptr) {
        m_clean.OnCheckBoxClicked(*child, checkBoxId);
    }
}

void CProfilesCenterPage::OnOK(Controls& controls) {
    (void)controls;
    m_redirector.ActOnPendingSelections();
    m_clean.StoreChoices();
    if (m_pendingCleanReport != kReportUntouched) {
        m_settings.WriteBool(settings::kOptionsDialog, settings::kCleanReport, m_pendingCleanReport == kReportTicked);
    }
    m_redirector.ShowRestartMessages(MessageOwner::ActiveDialog);
}

void CProfilesCenterPage::OnCancel(Controls& controls) {
    (void)controls;
    for (std::size_t i = 0; i < kAllPrograms.size(); ++i) {
        m_settings.WriteBool(settings::kAnonymization, Program(kAllPrograms[i]).selectionKey, m_savedSelections[i]);
    }
}

void CProfilesCenterPage::HostChildren(int profilePathTemplate, int cleanTemplate) {
    if (m_host == nullptr) {
        return;
    }
    m_profilePath.OnInitDialog(m_host->HostChild(kProfilePathFrame, profilePathTemplate), profilePathTemplate);
    m_clean.SetTemplateId(cleanTemplate);
    m_clean.OnInitDialog(m_host->HostChild(kCleanFrame, cleanTemplate));
}

void CProfilesCenterPage::DestroyChildren() {
    if (m_host != nullptr) {
        m_host->DestroyChild(kProfilePathFrame);
        m_host->DestroyChild(kCleanFrame);
    }
}

} // namespace quorvel
