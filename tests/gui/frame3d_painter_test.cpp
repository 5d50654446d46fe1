#include "display/qt/frame3d_painter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace merlop {
namespace {

TEST(Frame3dPainter, RaisedFrameIsWhiteTopLeftAndGreyBottomRight) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        drawFrame3D(p, PixelRect{2, 2, 30, 20}, true);
    }
    EXPECT_EQ(img.pixelColor(10, 2), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(2, 10), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(30, 10), QColor(96, 96, 96));
    EXPECT_EQ(img.pixelColor(10, 20), QColor(96, 96, 96));
    EXPECT_EQ(img.pixelColor(10, 10), QColor(0, 0, 0));
}

TEST(Frame3dPainter, ColourTableMatchesTheCore) {
    const auto& t = qtColourTable();
    ASSERT_EQ(t.size(), 256);
    EXPECT_EQ(t[2], qRgb(0, 180, 0));
    EXPECT_EQ(t[100], qRgb(116, 0, 0));
}

}  // namespace
}  // namespace merlop
