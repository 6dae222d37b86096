// Renders the program's own artwork (resources/ and the drawn page icons) into the files the Windows resource
// script takes: 24-bit bitmaps, icons of 16 and 32 pixels, and artwork.rc naming each by its resource id.
// Built and run on the build machine, since Windows has no renderer for the pictures' source format.

#include "pages/profile_path_dialog.h"
#include "pages/profiles_center_page.h"
#include "pages/profiles_center_programs.h"
#include "ui/artwork.h"
#include "ui/page_icons.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>

#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

namespace {

using quorvel::art::kIconRunning;
using quorvel::art::kIconStopped;

// The icons beside the masking page's two groups.
constexpr int kSoftwareIcon = 204;
constexpr int kLanguageIcon = 189;

void Put16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(static_cast<char>((v >> shift) & 0xFF));
    }
}

// One icon image as the icon format keeps it: a 32-bit bottom-up bitmap of twice the height (colour, then the
// transparency mask).
QByteArray IconImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(w * h * 4 + maskStride * h));
    for (int i = 0; i < 4; ++i) {
        Put32(out, 0);
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(static_cast<char>(qBlue(line[x])));
            out.append(static_cast<char>(qGreen(line[x])));
            out.append(static_cast<char>(qRed(line[x])));
            out.append(static_cast<char>(qAlpha(line[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(row);
    }
    return out;
}

QByteArray IconFile(const std::vector<QImage>& images) {
    QByteArray head;
    QByteArray body;
    Put16(head, 0);
    Put16(head, 1);
    Put16(head, static_cast<std::uint16_t>(images.size()));
    const std::uint32_t first = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const QImage& image : images) {
        const QByteArray data = IconImage(image);
        head.append(static_cast<char>(image.width() & 0xFF));
        head.append(static_cast<char>(image.height() & 0xFF));
        head.append('\0');
        head.append('\0');
        Put16(head, 1);
        Put16(head, 32);
        Put32(head, static_cast<std::uint32_t>(data.size()));
        Put32(head, first + static_cast<std::uint32_t>(body.size()));
        body.append(data);
    }
    return head + body;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QByteArray script = "// Written by quorvel_win32_art: the artwork by resource id.\n";
    bool ok = true;

    // Every bitmap of resources/, light grey kept: the program draws it transparent.
    const QRegularExpression bitmapName(QStringLiteral("^bitmap_(\\d+)\\.svg$"));
    for (const QString& name : QDir(QStringLiteral(":/")).entryList(QDir::Files, QDir::Name)) {
        const auto match = bitmapName.match(name);
        if (!match.hasMatch()) {
            continue;
        }
        const int id = match.captured(1).toInt();
        const QString file = QStringLiteral("bitmap_%1.bmp").arg(id);
        const QImage picture = quorvel::Picture(id).convertToFormat(QImage::Format_RGB888);
        ok = !picture.isNull() && picture.save(out.filePath(file), "BMP") && ok;
        script += QStringLiteral("%1 BITMAP \"%2\"\n").arg(id).arg(file).toUtf8();
    }

    std::vector<std::pair<int, QIcon>> icons = {{kIconStopped, quorvel::TrayIcon(kIconStopped)},
                                                {kIconRunning, quorvel::TrayIcon(kIconRunning)}};
    std::set<int> pageIcons = {kSoftwareIcon, kLanguageIcon, quorvel::CProfilesCenterPageProfilePath::kPathIcon};
    pageIcons.insert(quorvel::CProfilesCenterPage::kDecorationIcons.begin(),
                     quorvel::CProfilesCenterPage::kDecorationIcons.end());
    for (const auto& group : quorvel::ProgramGroups()) {
        pageIcons.insert(group.iconId);
    }
    for (int group : {0, 1}) {
        for (const auto& program : quorvel::ProgramsOf(group)) {
            pageIcons.insert(program.iconId);
        }
    }
    for (int id : pageIcons) {
        icons.emplace_back(id, quorvel::PageIcon(id));
    }
    for (const auto& [id, icon] : icons) {
        std::vector<QImage> images;
        for (int side : {16, 32}) {
            images.push_back(icon.pixmap(side, side).toImage().scaled(side, side));
        }
        const QString file = QStringLiteral("icon_%1.ico").arg(id);
        ok = !icon.isNull() && WriteFile(out.filePath(file), IconFile(images)) && ok;
        script += QStringLiteral("%1 ICON \"%2\"\n").arg(id).arg(file).toUtf8();
    }

    ok = WriteFile(out.filePath(QStringLiteral("artwork.rc")), script) && ok;
    if (!ok) {
        std::fprintf(stderr, "could not write every picture into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
