#include "ui/options_page_widget.h"

namespace quorvel {

OptionsPageWidget::OptionsPageWidget(int templateId, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(templateId));
}

} // namespace quorvel
