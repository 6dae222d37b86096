#include "ui/page_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <map>

namespace quorvel {

namespace {

enum class Shape { Badge, Globe, Bubble, Folder, Screen, Shield, Broom, People };

struct IconLook {
    Shape shape;
    QColor colour;
    const char* letters; // on a badge or a bubble
};

const std::map<int, IconLook>& Looks() {
    static const std::map<int, IconLook> looks = {
        {157, {Shape::Globe, QColor(0x2F, 0x6F, 0xB8), ""}},    {158, {Shape::Bubble, QColor(0x3A, 0x9A, 0x4A), ""}},
        {159, {Shape::Badge, QColor(0x1E, 0x63, 0xC4), "e"}},   {160, {Shape::Badge, QColor(0xE0, 0x6A, 0x1B), "F"}},
        {193, {Shape::Badge, QColor(0x13, 0x7D, 0x80), "N"}},   {162, {Shape::Badge, QColor(0xD9, 0xA4, 0x06), "A"}},
        {179, {Shape::Badge, QColor(0x2E, 0x8B, 0x3D), "W"}},   {165, {Shape::Badge, QColor(0x6B, 0x2E, 0x9E), "Y!"}},
        {163, {Shape::Badge, QColor(0x4C, 0xA8, 0x2A), "I"}},   {139, {Shape::People, QColor(0x35, 0x5E, 0x9A), ""}},
        {147, {Shape::Shield, QColor(0x2F, 0x8F, 0x55), ""}},   {151, {Shape::Broom, QColor(0x9A, 0x6A, 0x2E), ""}},
        {140, {Shape::Folder, QColor(0xD8, 0xA8, 0x3A), ""}},   {204, {Shape::Screen, QColor(0x44, 0x55, 0x6A), ""}},
        {189, {Shape::Bubble, QColor(0x7A, 0x4F, 0xB0), "Aa"}},
    };
    return looks;
}

void DrawLetters(QPainter& p, const QRectF& box, const char* letters) {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(
        qMax(6, static_cast<int>(box.height() * (std::char_traits<char>::length(letters) > 1 ? 0.45 : 0.6))));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, QString::fromLatin1(letters));
}

void Draw(QPainter& p, const IconLook& look, qreal s) {
    const QColor dark = look.colour.darker(140);
    p.setPen(QPen(dark, s / 16.0));
    p.setBrush(look.colour);
    switch (look.shape) {
    case Shape::Badge:
        p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
        DrawLetters(p, QRectF(0, 0, s, s), look.letters);
        break;
    case Shape::Globe:
        p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 200), s / 20.0));
        p.drawEllipse(QRectF(s * 0.3, s * 0.08, s * 0.4, s * 0.84));
        p.drawLine(QPointF(s * 0.08, s * 0.5), QPointF(s * 0.92, s * 0.5));
        p.drawLine(QPointF(s * 0.5, s * 0.08), QPointF(s * 0.5, s * 0.92));
        break;
    case Shape::Bubble: {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(s * 0.06, s * 0.1, s * 0.88, s * 0.62), s * 0.18, s * 0.18);
        QPainterPath tail;
        tail.moveTo(s * 0.25, s * 0.68);
        tail.lineTo(s * 0.2, s * 0.92);
        tail.lineTo(s * 0.48, s * 0.7);
        p.drawPath(bubble.united(tail));
        DrawLetters(p, QRectF(s * 0.06, s * 0.1, s * 0.88, s * 0.62), look.letters);
        break;
    }
    case Shape::Folder: {
        QPainterPath folder;
        folder.moveTo(s * 0.06, s * 0.2);
        folder.lineTo(s * 0.4, s * 0.2);
        folder.lineTo(s * 0.48, s * 0.3);
        folder.lineTo(s * 0.94, s * 0.3);
        folder.lineTo(s * 0.94, s * 0.86);
        folder.lineTo(s * 0.06, s * 0.86);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Shape::Screen:
        p.drawRoundedRect(QRectF(s * 0.06, s * 0.1, s * 0.88, s * 0.6), s * 0.06, s * 0.06);
        p.setBrush(QColor(0xBF, 0xDD, 0xF5));
        p.drawRect(QRectF(s * 0.14, s * 0.17, s * 0.72, s * 0.46));
        p.setBrush(look.colour);
        p.drawRect(QRectF(s * 0.42, s * 0.7, s * 0.16, s * 0.12));
        p.drawRect(QRectF(s * 0.26, s * 0.82, s * 0.48, s * 0.08));
        break;
    case Shape::Shield: {
        QPainterPath shield;
        shield.moveTo(s * 0.5, s * 0.05);
        shield.lineTo(s * 0.9, s * 0.2);
        shield.cubicTo(s * 0.9, s * 0.62, s * 0.7, s * 0.82, s * 0.5, s * 0.95);
        shield.cubicTo(s * 0.3, s * 0.82, s * 0.1, s * 0.62, s * 0.1, s * 0.2);
        shield.closeSubpath();
        p.drawPath(shield);
        p.setPen(QPen(Qt::white, s / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(
            QPolygonF({QPointF(s * 0.32, s * 0.5), QPointF(s * 0.46, s * 0.64), QPointF(s * 0.7, s * 0.36)}));
        break;
    }
    case Shape::Broom:
        p.setPen(QPen(dark, s / 10.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.78, s * 0.08), QPointF(s * 0.45, s * 0.55));
        p.setPen(QPen(dark, s / 16.0));
        p.setBrush(QColor(0xE8, 0xC5, 0x5A));
        p.drawPolygon(QPolygonF({QPointF(s * 0.38, s * 0.48), QPointF(s * 0.58, s * 0.62), QPointF(s * 0.36, s * 0.94),
                                 QPointF(s * 0.06, s * 0.76)}));
        break;
    case Shape::People:
        p.drawEllipse(QRectF(s * 0.3, s * 0.06, s * 0.4, s * 0.4));
        p.drawChord(QRectF(s * 0.1, s * 0.5, s * 0.8, s * 0.9), 0, 180 * 16);
        break;
    }
}

} // namespace

QIcon PageIcon(int id) {
    const auto it = Looks().find(id);
    if (it == Looks().end()) {
        return {};
    }
    QIcon icon;
    for (int side : {16, 24, 32, 48}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        Draw(painter, it->second, side);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace quorvel
