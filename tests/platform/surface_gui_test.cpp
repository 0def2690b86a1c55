#include "platform/surface.h"
#include "tests/support/screens.h"

#include <QFont>
#include <gtest/gtest.h>
#include <set>

namespace {

// Colours of the text "10:09" drawn black on white with the given quality.
std::set<QRgb> TextColours(platform::SurfacePainter::Quality quality, const QString& screen)
{
    platform::Surface s(90, 30);
    s.Fill(platform::Rgb(255, 255, 255));
    {
        platform::SurfacePainter p(s, quality);
        QFont font("Liberation Sans");
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(platform::ToQColor(platform::Rgb(0, 0, 0)));
        p.drawText(QPoint(4, 22), "10:09");
    }
    lmd::test::SaveScreen(s.Image(), screen);
    std::set<QRgb> colours;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            colours.insert(s.Image().pixel(x, y));
    return colours;
}

} // namespace

TEST(SurfacePainterTest, TextIsAliasedUnlessAskedOtherwise)
{
    EXPECT_EQ(TextColours(platform::SurfacePainter::Quality::Aliased, "surface_text_aliased"),
              (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    EXPECT_GT(TextColours(platform::SurfacePainter::Quality::Antialiased, "surface_text_smooth").size(), 2u);
}
