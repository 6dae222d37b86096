#pragma once

#include <QComboBox>

#include <functional>
#include <string>

namespace quorvel {

// A drop-down list whose entries carry an icon and a bold label. The icon of a new entry comes from `iconOf`,
// given the entry's position and text (0 for none), so page logic that only adds texts still gets the pictures.
class CExComboBox final : public QComboBox {
    Q_OBJECT
public:
    explicit CExComboBox(std::function<int(int row, const std::string& text)> iconOf, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnRowsInserted(int first, int last);

    std::function<int(int, const std::string&)> m_iconOf;
};

} // namespace quorvel
