#pragma once

#include "pages/child_dialog_host.h"
#include "ui/options_page_widget.h"

#include <map>
#include <memory>

class QGroupBox;

namespace quorvel {

class CProfilesCenterPage;

// The profiles center's widgets: the group and program lists with their icons, the anonymize box, the two
// frames that host the child dialogs, and the clean report box.
class ProfilesCenterPageWidget final : public OptionsPageWidget, public ChildDialogHost {
    Q_OBJECT
public:
    ProfilesCenterPageWidget(CProfilesCenterPage& page, QWidget* parent);
    ~ProfilesCenterPageWidget() override;

    Controls& HostChild(int frameId, int templateId) override;
    void DestroyChild(int frameId) override;
    Controls* Child(int frameId) override;

    // The child dialog's widget in a frame, or null.
    QWidget* ChildWidget(int frameId) const;

private:
    struct Hosted {
        QWidget* widget = nullptr;
        std::unique_ptr<WidgetControls> controls;
    };

    void WireChild(int frameId, QWidget* child);

    CProfilesCenterPage& m_page;
    std::map<int, QGroupBox*> m_frames;
    std::map<int, Hosted> m_children;
};

} // namespace quorvel
