// The artwork: every numbered picture exists, and the menu bitmaps keep the transparency rule exactly.

#include "qt_test_support.h"
#include "ui/artwork.h"

namespace quorvel::test {
namespace {

class ArtworkTest : public QtTest {};

constexpr int kMenuBitmaps[] = {167, 168, 169, 170, 171, 173, 174, 175, 192, 194, 195, 196, 202, 203};

TEST_F(ArtworkTest, MenuBitmapsAre16PixelsWithLightGreyTransparentAndNoHalfTones) {
    for (int id : kMenuBitmaps) {
        SCOPED_TRACE(id);
        QImage image = MenuBitmap(id).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(16, 16));
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                // A blended edge would leave a grey halo where the light grey was.
                ASSERT_TRUE(alpha == 0 || alpha == 255) << "pixel " << x << "," << y << " alpha " << alpha;
                opaque += alpha == 255 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 20);
        EXPECT_LT(opaque, 256) << "the light grey background must show as transparent";
        EXPECT_EQ(qAlpha(image.pixel(0, 15)), 0);
    }
}

TEST_F(ArtworkTest, BitmapsStaySharpOnDenseScreens) {
    QPixmap dense = MenuBitmap(168, 2.0);
    EXPECT_EQ(dense.size(), QSize(32, 32));
    EXPECT_DOUBLE_EQ(dense.devicePixelRatio(), 2.0);
    QImage image = dense.toImage();
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            ASSERT_TRUE(alpha == 0 || alpha == 255);
        }
    }
}

TEST_F(ArtworkTest, ChosenAndPlainModeBitmapsDiffer) {
    EXPECT_NE(MenuBitmap(202).toImage(), MenuBitmap(195).toImage());
    EXPECT_NE(MenuBitmap(203).toImage(), MenuBitmap(196).toImage());
}

TEST_F(ArtworkTest, TrayIconsAndTheAboutPictureExistAndUnknownIdsGiveNothing) {
    for (int id : {130, 181}) {
        QIcon icon = TrayIcon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        EXPECT_FALSE(icon.pixmap(16, 16).isNull());
        EXPECT_FALSE(icon.pixmap(48, 48).isNull());
    }
    EXPECT_NE(TrayIcon(130).pixmap(16, 16).toImage(), TrayIcon(181).pixmap(16, 16).toImage());
    QImage picture = Picture(206);
    EXPECT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), 516);
    EXPECT_TRUE(MenuBitmap(172).isNull());
    EXPECT_TRUE(TrayIcon(999).isNull());
    EXPECT_TRUE(Picture(999).isNull());
}

} // namespace
} // namespace quorvel::test
