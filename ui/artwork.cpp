#include "ui/artwork.h"

#include <QFile>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

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

QIcon TrayIcon(int id) {
    const QString path = SvgPath("icon", id);
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128}) {
        QImage image = Render(path, QSize(side, side));
        if (image.isNull()) {
            return {};
        }
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
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
