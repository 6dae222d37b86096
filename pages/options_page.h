#pragma once

#include <string>

namespace quorvel {

class Controls;

// One page of the options sheet, written against its controls by id. The sheet creates a page's controls only
// when the page is first shown; a page never shown is never initialised and stores nothing.
class OptionsPage {
public:
    virtual ~OptionsPage() = default;

    // The dialog template the page is built from.
    virtual int TemplateId() const = 0;
    // The tab title, from the language file.
    virtual std::string Title() const = 0;

    virtual void OnInitDialog(Controls& controls) = 0;
    // Looks at what was typed before any page stores anything. False, after telling the user, keeps the sheet
    // open on this page.
    virtual bool CanApply(const Controls& controls) {
        (void)controls;
        return true;
    }
    // The sheet's OK.
    virtual void OnOK(Controls& controls) { (void)controls; }
    // The sheet's Cancel.
    virtual void OnCancel(Controls& controls) { (void)controls; }
};

} // namespace quorvel
