#pragma once

#include "ui/widget_controls.h"

#include <QWidget>

namespace quorvel {

class OptionsPage;

// The widgets of one options page. The page's logic works on them through PageControls(); the widget only
// builds the controls, names them by id and passes the user's actions on.
class OptionsPageWidget : public QWidget {
    Q_OBJECT
public:
    OptionsPageWidget(int templateId, QWidget* parent);

    WidgetControls& PageControls() { return m_controls; }

protected:
    // A new control of this page, named by its id.
    template <typename Control> Control* Make(int id, QWidget* parent = nullptr) {
        auto* control = new Control(parent != nullptr ? parent : this);
        control->setObjectName(QString::number(id));
        return control;
    }

    WidgetControls m_controls{this};
};

} // namespace quorvel
