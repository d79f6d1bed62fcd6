#include "EngineTestUtil.h"
#include "engine/cDIBSection.h"
#include "engine/platform/MsgBox.h"
#include "engine/platform/Picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// A picture made straight in the drawing layer from a QImage.
StdPicture pictureOf(const QImage& source)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB888);
    gdi::BITMAPINFOHEADER header;
    header.biWidth = img.width();
    header.biHeight = img.height();
    std::uint8_t* bits = nullptr;
    const gdi::HBITMAP bitmap = gdi::CreateDIBSection(0, header, gdi::DIB_RGB_COLORS, &bits);
    const int stride = (img.width() * 3 + 3) & ~3;
    for (int r = 0; r < img.height(); ++r) {
        const uchar* in = img.constScanLine(img.height() - 1 - r);
        for (int x = 0; x < img.width(); ++x) {
            bits[r * stride + 3 * x] = in[3 * x + 2];
            bits[r * stride + 3 * x + 1] = in[3 * x + 1];
            bits[r * stride + 3 * x + 2] = in[3 * x];
        }
    }
    return StdPicture(bitmap);
}

// Pixel (x, y) counted from the picture's top, as blue-green-red bytes.
const std::uint8_t* pixel(const cDIBSection& d, int x, int y)
{
    return d.DIBSectionBitsPtr() + (d.Height() - 1 - y) * d.BytesPerScanLine() + 3 * x;
}

// Compares the pixel bytes (never the pad bytes) of two same-sized images.
bool samePixels(const cDIBSection& a, const cDIBSection& b)
{
    for (int r = 0; r < a.Height(); ++r)
        if (std::memcmp(a.DIBSectionBitsPtr() + r * a.BytesPerScanLine(),
                        b.DIBSectionBitsPtr() + r * b.BytesPerScanLine(), 3 * a.Width()) != 0)
            return false;
    return true;
}

class DibSectionTest : public ::testing::Test {
protected:
    void SetUp() override { m_liveBefore = gdi::LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(gdi::LiveObjectCount(), m_liveBefore) << "surfaces leaked"; }

private:
    std::size_t m_liveBefore = 0;
};

} // namespace

TEST_F(DibSectionTest, RefusedSizesAndMissingBitmapsLeaveAnEmptyImage)
{
    cDIBSection d;
    ASSERT_TRUE(d.Create(4, 4));
    EXPECT_FALSE(d.Create(0, 10));
    EXPECT_EQ(d.hDC(), 0u);
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(d.Height(), 10);
    EXPECT_FALSE(d.Create(-3, 2));
    EXPECT_FALSE(d.Create(60000, 60000)); // refused, not attempted
    d.CreateFromPicture(StdPicture());
    EXPECT_EQ(d.hDC(), 0u);
    EXPECT_EQ(d.Width(), 0);
}

TEST_F(DibSectionTest, CreateFromAPictureNotNeededAfterwardsTakesItsPixelsOver)
{
    const QImage img = fwtest::testPattern(35, 39);
    StdPicture picture = pictureOf(img);
    gdi::BITMAP bm;
    ASSERT_TRUE(gdi::GetObjectA(picture.Handle(), &bm));
    cDIBSection d;
    ASSERT_TRUE(d.Create(3, 3)); // an earlier surface is released first
    d.CreateFromPicture(std::move(picture));
    EXPECT_EQ(picture.Handle(), 0u);
    EXPECT_EQ(d.DIBSectionBitsPtr(), bm.bmBits) << "no pixel was copied";
    ASSERT_EQ(QSize(d.Width(), d.Height()), img.size());
    EXPECT_EQ(pixel(d, 34, 0)[2], img.pixelColor(34, 0).red());
}

TEST_F(DibSectionTest, CreateFromAPictureInUseElsewhereCopiesIt)
{
    StdPicture picture = pictureOf(fwtest::testPattern(8, 6));
    const gdi::HDC other = gdi::CreateCompatibleDC(0);
    const gdi::HGDIOBJ kept = gdi::SelectObject(other, picture.Handle());
    cDIBSection d;
    d.CreateFromPicture(std::move(picture));
    EXPECT_NE(picture.Handle(), 0u) << "still the picture's";
    EXPECT_NE(d.hDC(), 0u);
    EXPECT_EQ(d.Width(), 8);
    gdi::SelectObject(other, kept);
    gdi::DeleteDC(other);
}

TEST_F(DibSectionTest, BlitsTreatAnyNegativeSizeAsTheWholeImage)
{
    const StdPicture picture = pictureOf(fwtest::testPattern(6, 4));
    cDIBSection source;
    source.CreateFromPicture(picture);

    for (int negative : {-1, -7}) {
        cDIBSection copy;
        ASSERT_TRUE(copy.Create(6, 4));
        std::memset(copy.DIBSectionBitsPtr(), 0, copy.BytesPerScanLine() * 4);
        copy.LoadPictureBlt(source.hDC(), 0, 0, negative, negative);
        EXPECT_TRUE(samePixels(copy, source));

        cDIBSection painted;
        ASSERT_TRUE(painted.Create(6, 4));
        std::memset(painted.DIBSectionBitsPtr(), 0, painted.BytesPerScanLine() * 4);
        source.PaintPicture(painted.hDC(), 0, 0, negative, negative);
        EXPECT_TRUE(samePixels(painted, source));
    }

    // A sub-rectangle lands at the destination offset, top-left based.
    cDIBSection part;
    ASSERT_TRUE(part.Create(6, 4));
    std::memset(part.DIBSectionBitsPtr(), 0, part.BytesPerScanLine() * 4);
    source.PaintPicture(part.hDC(), 2, 1, 2, 2, 0, 0);
    EXPECT_EQ(std::memcmp(pixel(part, 2, 1), pixel(source, 0, 0), 3), 0);
    EXPECT_EQ(std::memcmp(pixel(part, 3, 2), pixel(source, 1, 1), 3), 0);
    const std::uint8_t black[3] = {0, 0, 0};
    EXPECT_EQ(std::memcmp(pixel(part, 0, 0), black, 3), 0);
}

// Grey rows, bottom row first as in memory; values are rounded halves to
// even, and the last source row and column only ever act as neighbours.
TEST_F(DibSectionTest, ResampleInterpolates)
{
    using Rows = std::vector<std::vector<int>>;
    const struct {
        const char* name;
        Rows source;
        int height, width;
        Rows expected;
    } cases[] = {
        {"wider", {{0, 255}, {0, 255}}, 2, 4, {{0, 64, 128, 191}, {0, 64, 128, 191}}},
        {"narrower", {{0, 100, 200}, {0, 100, 200}}, 2, 2, {{0, 100}, {0, 100}}},
        {"halves to even", {{0, 1, 2}, {0, 1, 2}}, 2, 4, {{0, 0, 1, 2}, {0, 0, 1, 2}}},
        {"taller, bottom up", {{10, 10}, {20, 20}}, 4, 2, {{10, 10}, {12, 12}, {15, 15}, {18, 18}}},
        {"one column", {{30}, {60}, {90}}, 3, 4, {{30, 30, 30, 30}, {50, 50, 50, 50}, {70, 70, 70, 70}}},
        {"one row", {{0, 90, 180}}, 3, 3, {{0, 60, 120}, {0, 60, 120}, {0, 60, 120}}},
        {"own size", {{1, 2, 3}, {4, 5, 6}}, 2, 3, {{1, 2, 3}, {4, 5, 6}}},
    };
    for (const auto& c : cases) {
        cDIBSection d;
        ASSERT_TRUE(d.Create(static_cast<int>(c.source[0].size()), static_cast<int>(c.source.size())));
        for (std::size_t r = 0; r < c.source.size(); ++r)
            for (std::size_t x = 0; x < c.source[r].size(); ++x)
                std::memset(d.DIBSectionBitsPtr() + r * d.BytesPerScanLine() + 3 * x, c.source[r][x], 3);
        const auto out = d.Resample(c.height, c.width);
        ASSERT_TRUE(out) << c.name;
        Rows rows(c.height);
        for (int r = 0; r < c.height; ++r)
            for (int x = 0; x < c.width; ++x)
                rows[r].push_back(out->DIBSectionBitsPtr()[r * out->BytesPerScanLine() + 3 * x]);
        EXPECT_EQ(rows, c.expected) << c.name;
    }
    cDIBSection empty;
    EXPECT_EQ(empty.Resample(2, 2), nullptr);
    ASSERT_TRUE(empty.Create(2, 2));
    EXPECT_EQ(empty.Resample(0, 4), nullptr);
    EXPECT_EQ(empty.Resample(4, 0), nullptr);
}

// Grey noise, or noise without blue; the pad byte after each line's 15 pixel bytes stays.
TEST_F(DibSectionTest, RandomiseBitsKeepsPadBytesAndItsColourRules)
{
    cDIBSection d;
    ASSERT_TRUE(d.Create(5, 9));
    for (const bool grey : {true, false}) {
        std::memset(d.DIBSectionBitsPtr(), 0xAB, d.BytesPerScanLine() * d.Height());
        d.RandomiseBits(grey);
        int changed = 0;
        for (int r = 0; r < d.Height(); ++r) {
            const std::uint8_t* line = d.DIBSectionBitsPtr() + r * d.BytesPerScanLine();
            EXPECT_EQ(line[15], 0xAB);
            for (int i = 0; i < 15; ++i) {
                if (grey || i % 3 == 0) { // grey: equal channels; colour: no blue
                    EXPECT_EQ(line[i], grey ? line[i - i % 3] : 0);
                }
                changed += line[i] != 0xAB;
            }
        }
        EXPECT_GT(changed, 90) << "grey " << grey; // it really is noise
    }
    cDIBSection empty;
    empty.RandomiseBits(); // nothing to do, nothing to crash on
}

TEST_F(DibSectionTest, CopyToClipboardAsDibOnlyExplains)
{
    QStringList shown;
    const auto previous = SetMsgBoxHandler([&](const QString& text, MsgIcon icon, MsgButtons, const QString& title) {
        shown << text;
        EXPECT_EQ(icon, MsgIcon::None);
        EXPECT_TRUE(title.isEmpty());
        return true;
    });
    QGuiApplication::clipboard()->setText("untouched");
    cDIBSection d;
    ASSERT_TRUE(d.Create(3, 3));
    EXPECT_FALSE(d.CopyToClipboard());
    SetMsgBoxHandler(previous);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
}

TEST_F(DibSectionTest, CopyToClipboardAndPictureToImageAreUpright)
{
    const QImage img = fwtest::testPattern(21, 11);
    const StdPicture picture = pictureOf(img);
    EXPECT_EQ(fwtest::maxChannelDiff(PictureToImage(picture), img), 0);
    EXPECT_TRUE(PictureToImage(StdPicture()).isNull());
    cDIBSection d;
    d.CreateFromPicture(picture);
    ASSERT_TRUE(d.CopyToClipboard(false));
    EXPECT_EQ(fwtest::maxChannelDiff(QGuiApplication::clipboard()->image(), img), 0);
}
