#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <cmath>

#include "screen/ImageSurface.h"
#include "support/PdfProbe.h"
#include "surface/PngImage.h"
#include "variant/VbError.h"

using namespace zel;

namespace {

constexpr int32_t Red = 0x0000FF;  // 0x00BBGGRR
constexpr int32_t White = 0xFFFFFF;
constexpr int32_t Grey = 0xDDDDDD;

QRgb rgb(int32_t vb) {
    const Rgb colour = Rgb::fromVb(vb);
    return qRgb(colour.red, colour.green, colour.blue);
}

// A 100 x 100 pixel area; pixel positions are given in pixels and converted with the surface's
// own twips per pixel.
struct Area {
    ImageSurface surface{QSize(100, 100)};
    float tpp = float(surface.twipsPerPixel());

    void box(int flags, int x1, int y1, int x2, int y2, int32_t colour) {
        surface.Line(flags, x1 * tpp, y1 * tpp, x2 * tpp, y2 * tpp, colour);
    }
    QRgb at(int x, int y) const { return surface.image().pixel(x, y); }
    // The bounding box of pixels that differ from the background.
    QRect inked() const {
        QRect found;
        for (int y = 0; y < surface.image().height(); ++y)
            for (int x = 0; x < surface.image().width(); ++x)
                if (at(x, y) != rgb(surface.BackColor())) found |= QRect(x, y, 1, 1);
        return found;
    }
};

constexpr int FilledBox = LineStart | LineColour | LineFilledBox;

}  // namespace

TEST(ImageSurface, FilledBoxCoversItsCornersAndNothingElse) {
    Area area;
    area.box(FilledBox, 10, 20, 30, 40, Red);
    EXPECT_EQ(area.inked(), QRect(QPoint(10, 20), QPoint(30, 40)));
    EXPECT_EQ(area.at(20, 30), rgb(Red));
    EXPECT_FLOAT_EQ(area.surface.CurrentX(), 30 * area.tpp);
    EXPECT_FLOAT_EQ(area.surface.CurrentY(), 40 * area.tpp);
}

TEST(ImageSurface, LineWithoutStartOrColourUsesPositionAndForeColor) {
    Area area;
    area.surface.setForeColor(Red);
    area.surface.setCurrentX(10 * area.tpp);
    area.surface.setCurrentY(50 * area.tpp);
    area.box(0, 0, 0, 60, 50, 0);  // start and colour are ignored without their flags
    EXPECT_EQ(area.inked(), QRect(QPoint(10, 50), QPoint(60, 50)));
    EXPECT_EQ(area.at(30, 50), rgb(Red));
}

TEST(ImageSurface, DrawModesCombineWithWhatIsUnder) {
    struct Case {
        int16_t mode;
        int32_t under;
        int32_t pen;
        int32_t expected;
    };
    const Case cases[] = {
        {13, White, Red, Red},          // copy pen
        {11, Grey, Red, Grey},          // nop
        {7, White, Red, 0xFFFF00},      // xor: white ^ red = cyan
        {6, White, Red, 0x000000},      // invert
        {1, Grey, Red, 0x000000},       // blackness
        {16, Grey, Red, White},         // whiteness
        {9, Grey, Red, 0x0000DD},       // mask pen
        {15, 0x00FF00, Red, 0x00FFFF},  // merge pen
        {4, White, Red, 0xFFFF00},      // not copy pen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Area area;
        area.box(FilledBox, 0, 0, 99, 99, c.under);
        area.surface.setDrawMode(c.mode);
        area.box(FilledBox, 10, 10, 20, 20, c.pen);
        EXPECT_EQ(area.at(15, 15), rgb(c.expected));
        EXPECT_EQ(area.at(50, 50), rgb(c.under));
    }
}

TEST(ImageSurface, XorTwiceRestoresThePicture) {
    Area area;
    area.box(FilledBox, 5, 5, 60, 60, Grey);
    area.surface.Print(QStringLiteral("Hallo"), false);
    const QImage before = area.surface.image();
    area.surface.setDrawMode(7);
    area.surface.setDrawWidth(3);
    for (int flags : {LineStart | LineColour, LineStart | LineColour | LineBox, FilledBox}) {
        SCOPED_TRACE(flags);
        area.box(flags, 2, 3, 70, 80, Red);
        EXPECT_NE(area.surface.image(), before);
        area.box(flags, 2, 3, 70, 80, Red);
        EXPECT_EQ(area.surface.image(), before);
    }
}

TEST(ImageSurface, InvalidDrawSettingsAreRefused) {
    ImageSurface surface;
    for (int16_t mode : {0, 17, -1}) EXPECT_THROW(surface.setDrawMode(mode), VbError);
    EXPECT_THROW(surface.setDrawWidth(0), VbError);
    EXPECT_EQ(surface.DrawMode(), 13);
    EXPECT_EQ(surface.DrawWidth(), 1);
}

TEST(ImageSurface, TextCellStartsAtThePosition) {
    Area area;
    area.surface.setFontName(QStringLiteral("Courier New"));
    area.surface.setFontSize(12);
    const float cellHeight = area.surface.TextHeight(QStringLiteral("A")) / area.tpp;
    const float width = area.surface.TextWidth(QStringLiteral("HH")) / area.tpp;
    area.surface.setCurrentX(20 * area.tpp);
    area.surface.setCurrentY(30 * area.tpp);
    area.surface.Print(QStringLiteral("HH"), false);
    const QRect ink = area.inked();
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.left(), 20 + width / 4);
    EXPECT_GE(ink.top(), 30);
    EXPECT_LE(ink.bottom(), 30 + cellHeight);
    EXPECT_LE(ink.right(), 20 + width);
    EXPECT_FLOAT_EQ(area.surface.CurrentX(), (20 + width) * area.tpp);
    EXPECT_FLOAT_EQ(area.surface.CurrentY(), 30 * area.tpp);
}

// The window draws the glyph runs the printer draws: a wide character inks its two cells only,
// and what follows it stays on the grid.
TEST(ImageSurface, WideCharactersFillTwoCellsEach) {
    Area area;
    area.surface.setFontName(QStringLiteral("Courier New"));
    area.surface.setFontSize(12);
    const float cell = area.surface.TextWidth(QStringLiteral("A"));
    EXPECT_FLOAT_EQ(area.surface.TextWidth(QString::fromUtf8("文档")), 4 * cell);
    area.surface.Print(QString::fromUtf8("文档 X"), false);
    EXPECT_FLOAT_EQ(area.surface.CurrentX(), 6 * cell);
    // Ink inside cells [from, to) of the first line, their edge pixels left out.
    const double pixels = cell / area.tpp;
    const auto inked = [&](int from, int to) {
        for (int x = int(from * pixels) + 1; x < int(std::ceil(to * pixels)) - 1; ++x)
            for (int y = 0; y < 30; ++y)
                if (area.at(x, y) != rgb(White)) return true;
        return false;
    };
    EXPECT_TRUE(inked(0, 2));
    EXPECT_TRUE(inked(2, 4));
    EXPECT_FALSE(inked(4, 5));
    EXPECT_TRUE(inked(5, 6));
    EXPECT_FALSE(inked(6, 10));
}

TEST(ImageSurface, LineEndReturnsToTheLeftEdgeOneLineDown) {
    Area area;
    area.surface.setScaleLeft(-40 * area.tpp);
    area.surface.setCurrentX(10 * area.tpp);
    area.surface.setCurrentY(10 * area.tpp);
    area.surface.Print(QString(), true);
    EXPECT_FLOAT_EQ(area.surface.CurrentX(), -40 * area.tpp);
    EXPECT_FLOAT_EQ(area.surface.CurrentY(),
                    10 * area.tpp + area.surface.TextHeight(QStringLiteral("A")));
    EXPECT_TRUE(area.inked().isNull());
}

TEST(ImageSurface, ClsFillsWithBackColorAndGoesToTheViewOrigin) {
    Area area;
    int changes = 0;
    area.surface.setChangeHandler([&] { ++changes; });
    area.box(FilledBox, 10, 10, 20, 20, Red);
    area.surface.setBackColor(Grey);
    area.surface.setScaleLeft(100);
    area.surface.setScaleTop(200);
    area.surface.Cls();
    EXPECT_TRUE(area.inked().isNull());
    EXPECT_EQ(area.at(0, 0), rgb(Grey));
    EXPECT_FLOAT_EQ(area.surface.CurrentX(), 100);
    EXPECT_FLOAT_EQ(area.surface.CurrentY(), 200);
    EXPECT_EQ(changes, 3);
}

TEST(ImageSurface, ScaleOriginPansWhatIsDrawnNext) {
    Area area;
    area.surface.setScaleLeft(50 * area.tpp);
    area.surface.setScaleTop(-10 * area.tpp);
    area.box(FilledBox, 60, 0, 70, 5, Red);
    EXPECT_EQ(area.inked(), QRect(QPoint(10, 10), QPoint(20, 15)));
}

TEST(ImageSurface, ResizeKeepsWhatWasDrawnAndMeasuresInTwips) {
    Area area;
    area.box(FilledBox, 10, 10, 20, 20, Red);
    area.surface.resize(QSize(200, 50));
    EXPECT_FLOAT_EQ(area.surface.ScaleWidth(), 200 * area.tpp);
    EXPECT_FLOAT_EQ(area.surface.ScaleHeight(), 50 * area.tpp);
    EXPECT_EQ(area.inked(), QRect(QPoint(10, 10), QPoint(20, 20)));
    EXPECT_EQ(area.at(150, 40), rgb(White));
}

// The window shows the words the printer prints (see the printer's test of the same words): at
// the size of the rest, without holes; a character no font has is a box, an emoji is drawn in
// colour, a tab is blank.
TEST(ImageSurface, WordsOfEveryScriptAreShownWhole) {
    struct Case {
        const char* text;
        double gap;  // the widest blank inside the word, in cells (an empty cell is one)
    };
    const Case cases[] = {
        {"हिन्दी", 0.3},
        {"கொ", 0.3},
        {"ผู้ใหญ่", 0.3},
        {"ភាសា", 0.4},
        {"السلام", 0.7},
        {"שלום", 0.3},
        {"עוֹלָם", 0.3},
        {"👍🏽", 0.3},
        {"👨‍👩‍👧", 0.3},
        {"a\u0378b", 0.7},
        {"a\u200Bb\u00ADc", 0.3},
    };
    ImageSurface surface(QSize(200, 40));
    surface.setFontName(QStringLiteral("Courier New"));
    surface.setFontSize(12);
    const double cell = surface.TextWidth(QStringLiteral("A")) / surface.twipsPerPixel();
    const auto show = [&surface](const QString& text) {
        surface.Cls();
        surface.Print(text, false);
        return surface.image();
    };
    const int capital = inkOf(show(QStringLiteral("H"))).box.height();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Ink ink = inkOf(show(QString::fromUtf8(c.text)));
        EXPECT_GE(ink.box.height(), capital * 0.75);
        EXPECT_LE(ink.widestGap, cell * c.gap + 1);  // a pixel for the rounding of the screen
    }
    const QImage emoji = show(QString::fromUtf8("👍🏽"));
    int coloured = 0;
    for (int y = 0; y < emoji.height(); ++y)
        for (int x = 0; x < emoji.width(); ++x)
            coloured += qRed(emoji.pixel(x, y)) - qBlue(emoji.pixel(x, y)) > 40;
    EXPECT_GT(coloured, 20);
    EXPECT_GE(inkOf(show(QStringLiteral("a\tb"))).widestGap, cell);
}

// The window draws an emoji from the pixels Qt reads from the font's PNG, the PDF from those
// libpng reads: every kind of PNG gives both the same colours and transparency.
TEST(ImageSurface, EmojiImagesReadAsOnPaper) {
    QImage drawn(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            drawn.setPixel(x, y, qRgba(x * 40, y * 60, 255 - x * 30, 255 - (x + y) * 25));
    for (const QImage::Format format :
         {QImage::Format_ARGB32, QImage::Format_RGB888, QImage::Format_Indexed8,
          QImage::Format_Grayscale8, QImage::Format_RGBA64, QImage::Format_Grayscale16}) {
        SCOPED_TRACE(format);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(drawn.convertToFormat(format).save(&buffer, "PNG"));
        const QImage screen = QImage::fromData(png).convertToFormat(QImage::Format_ARGB32);
        const PngImage paper(png);
        ASSERT_EQ(paper.width(), screen.width());
        ASSERT_EQ(paper.height(), screen.height());
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const Rgb colour = paper.colour(x, y);
                EXPECT_EQ(qRgba(colour.red, colour.green, colour.blue, paper.alpha(x, y)),
                          screen.pixel(x, y))
                    << x << ", " << y;
            }
    }
}
