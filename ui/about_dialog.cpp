#include "ui/about_dialog.h"

#include "app/process_state.h"
#include "ui/artwork.h"

#include <QFont>
#include <QPainter>
#include <QPushButton>

namespace quorvel {

namespace {

// A font as the layout gives it: a cell height in picture pixels (the em is about 1/1.15 of it for Arial).
QFont LayoutFont(int cellHeight, int weight) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(cellHeight / 1.15));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

// Draws one string with its top-left corner at (left, top), sized to its own extent.
void DrawAt(QPainter& painter, int left, int top, const QString& text) {
    const QRect bounds = painter.boundingRect(QRect(left, top, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    painter.drawText(bounds, Qt::AlignLeft | Qt::AlignTop, text);
}

} // namespace

CAbout::CAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(QStringLiteral("About Quorvel"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Compose();

    const QSize size = m_image.isNull() ? QSize(516, 302) : m_image.size();
    setFixedSize(size);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->resize(ok->sizeHint().expandedTo(QSize(88, 26)));
    ok->move(size.width() - ok->width() - 14, size.height() - ok->height() - 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // Kept for the layout's sake and never shown.
    auto* report = new QPushButton(QStringLiteral("Report"), this);
    report->setObjectName(QString::number(kReportButton));
    report->hide();

    ok->setFocus();
}

QString CAbout::Title() {
    return QStringLiteral("%1 %2").arg(QLatin1String(kEditionWord), QLatin1String(g_strVersion));
}

QStringList CAbout::NoticeLines() {
    return {QStringLiteral("Tor is copyrighted by The Tor Project."),
            QStringLiteral("This product is produced independently from"),
            QStringLiteral("the Tor\u2122 anonymity software and carries"),
            QStringLiteral("no guarantee from The Tor Project about quality,"),
            QStringLiteral("suitability or anything else.")};
}

void CAbout::Compose() {
    m_image = Picture(art::kAboutPicture);
    if (m_image.isNull()) {
        m_image = QImage(516, 302, QImage::Format_ARGB32);
        m_image.fill(Qt::white);
    }
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::TextAntialiasing);

    painter.setFont(LayoutFont(16, 400));
    painter.setPen(Qt::black);
    int top = 35;
    bool first = true;
    for (const QString& line : NoticeLines()) {
        DrawAt(painter, 225, top, line);
        top += first ? 30 : 15;
        first = false;
    }

    painter.setFont(LayoutFont(27, 600));
    painter.setPen(Qt::white);
    DrawAt(painter, 60, 55, Title());
}

void CAbout::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_image);
}

} // namespace quorvel
