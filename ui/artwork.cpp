#include "ui/artwork.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QString>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <map>
#include <utility>

// Resources compiled into a static library need an explicit start, outside any namespace.
static void StartArtworkResources() {
    Q_INIT_RESOURCE(quorvel);
}

namespace quorvel {

namespace {

QString SvgPath(const char* kind, int id) {
    static const bool started = (StartArtworkResources(), true);
    (void)started;
    return QStringLiteral(":/%1_%2.svg").arg(QLatin1String(kind)).arg(id);
}

QImage Render(const QString& path, QSize size) {
    if (!QFile::exists(path)) {
        return {};
    }
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return {};
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

} // namespace

QPixmap MenuBitmap(int id, qreal devicePixelRatio) {
    const int side = qRound(16 * devicePixelRatio);
    QImage image = Render(SvgPath("bitmap", id), QSize(side, side));
    if (image.isNull()) {
        return {};
    }
    const QRgb key =
        qRgb((kTransparentColour >> 16) & 0xFF, (kTransparentColour >> 8) & 0xFF, kTransparentColour & 0xFF);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

namespace {

// Draws the icon's artwork at the size asked for, when it is asked for: a tray shows one small size, so the others
// are never drawn, and the icon costs nothing until it is shown.
class ArtworkIconEngine : public QIconEngine {
public:
    explicit ArtworkIconEngine(QString path) : m_path(std::move(path)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty()) {
            return {};
        }
        auto found = m_drawn.find({size.width(), size.height()});
        if (found == m_drawn.end()) {
            found =
                m_drawn.emplace(std::pair(size.width(), size.height()), QPixmap::fromImage(Render(m_path, size))).first;
        }
        QPixmap drawn = found->second;
        if (mode != QIcon::Normal) {
            if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
                QStyleOption option;
                option.palette = QApplication::palette();
                drawn = app->style()->generatedIconPixmap(mode, drawn, &option);
            }
        }
        return drawn;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int side : {16, 22, 24, 32, 48, 64, 128}) {
            sizes.append(QSize(side, side));
        }
        return sizes;
    }

    QIconEngine* clone() const override { return new ArtworkIconEngine(m_path); }
    QString key() const override { return QStringLiteral("QuorvelArtwork"); }

private:
    QString m_path;
    std::map<std::pair<int, int>, QPixmap> m_drawn;
};

} // namespace

QIcon TrayIcon(int id) {
    const QString path = SvgPath("icon", id);
    if (!QFile::exists(path) || !QSvgRenderer(path).isValid()) {
        return {};
    }
    return QIcon(new ArtworkIconEngine(path));
}

QImage Picture(int id) {
    const QString path = SvgPath("bitmap", id);
    if (!QFile::exists(path)) {
        return {};
    }
    QSvgRenderer renderer(path);
    return Render(path, renderer.defaultSize());
}

} // namespace quorvel
