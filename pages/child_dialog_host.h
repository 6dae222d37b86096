#pragma once

namespace quorvel {

class Controls;

// Where a page's child dialogs live: each one is made from a template inside a frame control of the page, and
// made anew (the old one destroyed first) whenever the page asks.
class ChildDialogHost {
public:
    virtual ~ChildDialogHost() = default;

    // Destroys the child in the frame, if any, and creates one from `templateId` inside it; its controls, valid
    // until the child is destroyed.
    virtual Controls& HostChild(int frameId, int templateId) = 0;
    virtual void DestroyChild(int frameId) = 0;
    // The child in the frame while it exists, else null.
    virtual Controls* Child(int frameId) = 0;
};

} // namespace quorvel
