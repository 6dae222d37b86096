#pragma once

#include <QDialog>
#include <QImage>

namespace quorvel {

// The about box: our picture with the version title and the notice on Tor's ownership drawn over it.
class CAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 104;
    static constexpr int kReportButton = 210;
    // The word before the version in the title.
    static constexpr const char* kEditionWord = "Quorvel";

    explicit CAbout(QWidget* parent = nullptr);

    // The picture with its text, as painted (at the picture's own size).
    const QImage& Composed() const { return m_image; }
    // The title drawn over the picture.
    static QString Title();
    // The notice lines, top to bottom.
    static QStringList NoticeLines();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Compose();
    QImage m_image;
};

} // namespace quorvel
