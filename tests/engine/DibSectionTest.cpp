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

void fillRows(cDIBSection& d, std::initializer_list<std::initializer_list<int>> rowsBottomUp)
{
    int r = 0;
    for (const auto& row : rowsBottomUp) {
        int x = 0;
        for (int v : row) {
            std::memset(d.DIBSectionBitsPtr() + r * d.BytesPerScanLine() + 3 * x, v, 3);
            ++x;
        }
        ++r;
    }
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

std::vector<int> rowValues(const cDIBSection& d, int memoryRow)
{
    std::vector<int> out;
    for (int x = 0; x < d.Width(); ++x) {
        const std::uint8_t* p = d.DIBSectionBitsPtr() + memoryRow * d.BytesPerScanLine() + 3 * x;
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
        out.push_back(p[0]);
    }
    return out;
}

class DibSectionTest : public ::testing::Test {
protected:
    void SetUp() override { m_liveBefore = gdi::LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(gdi::LiveObjectCount(), m_liveBefore) << "surfaces leaked"; }

private:
    std::size_t m_liveBefore = 0;
};

} // namespace

TEST_F(DibSectionTest, ScanLinesArePaddedToFourBytes)
{
    const std::pair<int, int> cases[] = {{1, 4},      {2, 8},      {3, 12},     {4, 12},
                                         {5, 16},     {640, 1920}, {1023, 3072}, {1024, 3072},
                                         {1025, 3076}};
    for (const auto& [width, bytes] : cases) {
        cDIBSection d;
        ASSERT_TRUE(d.Create(width, 2));
        EXPECT_EQ(d.BytesPerScanLine(), bytes) << "width " << width;
    }
}

TEST_F(DibSectionTest, LifecycleKeepsSizeButDropsHandles)
{
    cDIBSection d;
    EXPECT_EQ(d.hDC(), 0u);
    d.ClearUp(); // harmless when empty
    ASSERT_TRUE(d.Create(7, 5));
    EXPECT_NE(d.hDC(), 0u);
    EXPECT_NE(d.hDib(), 0u);
    EXPECT_NE(d.DIBSectionBitsPtr(), nullptr);

    // A second Create frees the first surface before making the next.
    const auto live = gdi::LiveObjectCount();
    ASSERT_TRUE(d.Create(9, 3));
    EXPECT_EQ(gdi::LiveObjectCount(), live);

    d.ClearUp();
    d.ClearUp();
    EXPECT_EQ(d.hDC(), 0u);
    EXPECT_EQ(d.hDib(), 0u);
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(d.Width(), 9);
    EXPECT_EQ(d.Height(), 3);
}

TEST_F(DibSectionTest, FailedCreateLeavesEmptyImageWithRequestedSize)
{
    cDIBSection d;
    ASSERT_TRUE(d.Create(4, 4));
    EXPECT_FALSE(d.Create(0, 10));
    EXPECT_EQ(d.hDC(), 0u);
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(d.Width(), 0);
    EXPECT_EQ(d.Height(), 10);
    EXPECT_FALSE(d.Create(-3, 2));
    EXPECT_FALSE(d.Create(60000, 60000)); // refused, not attempted
}

TEST_F(DibSectionTest, CreateFromPictureCopiesEveryPixelBottomRowFirst)
{
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(35, 39), QSize(64, 17)}) {
        const QImage img = fwtest::testPattern(size.width(), size.height());
        const StdPicture picture = pictureOf(img);
        cDIBSection d;
        d.CreateFromPicture(picture);
        ASSERT_NE(d.hDC(), 0u);
        ASSERT_EQ(d.Width(), size.width());
        ASSERT_EQ(d.Height(), size.height());
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                const std::uint8_t* p = pixel(d, x, y);
                ASSERT_EQ(p[0], c.blue());
                ASSERT_EQ(p[1], c.green());
                ASSERT_EQ(p[2], c.red());
            }
        }
        // The first scan line in memory is the picture's bottom row.
        const QColor bottomLeft = img.pixelColor(0, size.height() - 1);
        EXPECT_EQ(d.DIBSectionBitsPtr()[2], bottomLeft.red());
    }
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
    ASSERT_EQ(d.Width(), 35);
    ASSERT_EQ(d.Height(), 39);
    EXPECT_EQ(d.BytesPerScanLine(), 108);
    const QColor c = img.pixelColor(34, 0);
    EXPECT_EQ(pixel(d, 34, 0)[2], c.red());
    EXPECT_EQ(pixel(d, 34, 0)[0], c.blue());
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

TEST_F(DibSectionTest, CreateFromPictureWithoutBitmapLeavesEmptyImage)
{
    cDIBSection d;
    d.CreateFromPicture(StdPicture());
    EXPECT_EQ(d.hDC(), 0u);
    EXPECT_EQ(d.Width(), 0);
    EXPECT_EQ(d.Height(), 0);
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

TEST_F(DibSectionTest, ResampleToOwnSizeIsAnExactCopy)
{
    const StdPicture picture = pictureOf(fwtest::testPattern(13, 7));
    cDIBSection source;
    source.CreateFromPicture(picture);
    const auto copy = source.Resample(7, 13);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(samePixels(*copy, source));
}

TEST_F(DibSectionTest, ResampleInterpolatesWithHalvesToEven)
{
    cDIBSection two;
    ASSERT_TRUE(two.Create(2, 2));
    fillRows(two, {{0, 255}, {0, 255}});
    const auto wide = two.Resample(2, 4); // height first
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->Width(), 4);
    EXPECT_EQ(wide->Height(), 2);
    EXPECT_EQ(rowValues(*wide, 0), (std::vector<int>{0, 64, 128, 191}));
    EXPECT_EQ(rowValues(*wide, 1), (std::vector<int>{0, 64, 128, 191}));

    // The last source column only ever contributes as a right neighbour.
    cDIBSection three;
    ASSERT_TRUE(three.Create(3, 2));
    fillRows(three, {{0, 100, 200}, {0, 100, 200}});
    const auto narrow = three.Resample(2, 2);
    ASSERT_TRUE(narrow);
    EXPECT_EQ(rowValues(*narrow, 0), (std::vector<int>{0, 100}));
    EXPECT_EQ(rowValues(*narrow, 1), (std::vector<int>{0, 100}));

    // Exactly halfway: 0 and 1 give 0, 1 and 2 give 2.
    cDIBSection pair;
    ASSERT_TRUE(pair.Create(3, 2));
    fillRows(pair, {{0, 1, 2}, {0, 1, 2}});
    const auto halves = pair.Resample(2, 4); // scale 0.5: positions 0, .5, 1, 1.5
    ASSERT_TRUE(halves);
    EXPECT_EQ(rowValues(*halves, 0), (std::vector<int>{0, 0, 1, 2}));
}

TEST_F(DibSectionTest, ResampleVerticalBlendsBottomRowUpwards)
{
    cDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    fillRows(d, {{10, 10}, {20, 20}}); // memory row 0 is the bottom row
    const auto tall = d.Resample(4, 2);
    ASSERT_TRUE(tall);
    EXPECT_EQ(rowValues(*tall, 0), (std::vector<int>{10, 10}));
    EXPECT_EQ(rowValues(*tall, 1), (std::vector<int>{12, 12})); // 12.5 -> 12
    EXPECT_EQ(rowValues(*tall, 2), (std::vector<int>{15, 15}));
    EXPECT_EQ(rowValues(*tall, 3), (std::vector<int>{18, 18})); // 17.5 -> 18
}

TEST_F(DibSectionTest, ResampleOfOnePixelWideOrHighSourceRepeatsTheEdge)
{
    cDIBSection column;
    ASSERT_TRUE(column.Create(1, 3));
    fillRows(column, {{30}, {60}, {90}});
    const auto wider = column.Resample(3, 4);
    ASSERT_TRUE(wider);
    EXPECT_EQ(rowValues(*wider, 0), (std::vector<int>{30, 30, 30, 30}));

    cDIBSection row;
    ASSERT_TRUE(row.Create(3, 1));
    fillRows(row, {{0, 90, 180}});
    const auto taller = row.Resample(5, 3);
    ASSERT_TRUE(taller);
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(rowValues(*taller, r), (std::vector<int>{0, 60, 120}));
}

TEST_F(DibSectionTest, ResampleRefusesEmptyTargetsAndSources)
{
    cDIBSection d;
    EXPECT_EQ(d.Resample(2, 2), nullptr);
    ASSERT_TRUE(d.Create(2, 2));
    EXPECT_EQ(d.Resample(0, 4), nullptr);
    EXPECT_EQ(d.Resample(4, 0), nullptr);
}

TEST_F(DibSectionTest, RandomiseBitsKeepsPadBytesAndItsColourRules)
{
    cDIBSection d;
    ASSERT_TRUE(d.Create(5, 9)); // 15 bytes of pixels, 1 pad byte per line
    std::memset(d.DIBSectionBitsPtr(), 0xAB, d.BytesPerScanLine() * d.Height());

    d.RandomiseBits(true);
    int distinct = 0;
    for (int r = 0; r < d.Height(); ++r) {
        const std::uint8_t* line = d.DIBSectionBitsPtr() + r * d.BytesPerScanLine();
        EXPECT_EQ(line[15], 0xAB);
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(line[3 * x], line[3 * x + 1]);
            EXPECT_EQ(line[3 * x + 1], line[3 * x + 2]);
            distinct += line[3 * x] != 0xAB;
        }
    }
    EXPECT_GT(distinct, 30); // it really is noise

    d.RandomiseBits(false);
    for (int r = 0; r < d.Height(); ++r) {
        const std::uint8_t* line = d.DIBSectionBitsPtr() + r * d.BytesPerScanLine();
        EXPECT_EQ(line[15], 0xAB);
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(line[3 * x], 0);
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

TEST_F(DibSectionTest, CopyToClipboardAsBitmapPutsThePicture)
{
    const QImage img = fwtest::testPattern(21, 11);
    const StdPicture picture = pictureOf(img);
    cDIBSection d;
    d.CreateFromPicture(picture);
    ASSERT_TRUE(d.CopyToClipboard(false));
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(fwtest::maxChannelDiff(copied, img), 0);
}

TEST_F(DibSectionTest, PictureToImageIsUpright)
{
    const QImage img = fwtest::testPattern(9, 5);
    const StdPicture picture = pictureOf(img);
    EXPECT_EQ(picture.Width(), 9);
    EXPECT_EQ(picture.Height(), 5);
    EXPECT_EQ(fwtest::maxChannelDiff(PictureToImage(picture), img), 0);
    EXPECT_TRUE(PictureToImage(StdPicture()).isNull());
}
