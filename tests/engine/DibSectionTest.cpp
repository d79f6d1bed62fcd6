// cDIBSection: a loaded picture becomes the image without a copy and shows
// upright; the image resized, filled with noise, copied to the clipboard.
#include "TempDir.h"
#include "TestUtil.h"
#include "engine/cDIBSection.h"
#include "platform/MsgBox.h"
#include "platform/Picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

// A picture through the real loader, from Qt's writer.
StdPicture pictureOf(const QImage& image)
{
    const fwtest::TempDir dir;
    fwtest::writeBmp(dir.file("picture.bmp"), image);
    return LoadPicture(dir.file("picture.bmp"));
}

// The image's pixels, top row first.
QImage imageOf(const cDIBSection& d)
{
    return QImage(d.DIBSectionBitsPtr(), d.Width(), d.Height(), d.BytesPerScanLine(), QImage::Format_BGR888).mirrored();
}

class DibSectionTest : public ::testing::Test {
protected:
    void SetUp() override { m_liveBefore = gdi::LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(gdi::LiveObjectCount(), m_liveBefore) << "surfaces leaked"; }

private:
    std::size_t m_liveBefore = 0;
};

} // namespace

TEST_F(DibSectionTest, PicturesBecomeImagesUprightWithoutACopy)
{
    const QImage img = fwtest::testPattern(35, 39);
    StdPicture picture = pictureOf(img);
    EXPECT_EQ(fwtest::maxChannelDiff(PictureToImage(picture), img), 0);
    gdi::BITMAP bm;
    ASSERT_TRUE(gdi::GetObjectA(picture.Handle(), &bm));
    cDIBSection d;
    d.CreateFromPicture(std::move(picture));
    EXPECT_EQ(picture.Handle(), 0u);
    EXPECT_EQ(d.DIBSectionBitsPtr(), bm.bmBits) << "no pixel was copied";
    EXPECT_EQ(fwtest::maxChannelDiff(imageOf(d), img), 0);

    // A picture held by another context cannot be read: no image rather than a black one.
    StdPicture held = pictureOf(img);
    const gdi::HDC other = gdi::CreateCompatibleDC(0);
    const gdi::HGDIOBJ kept = gdi::SelectObject(other, held.Handle());
    d.CreateFromPicture(std::move(held));
    EXPECT_EQ(d.hDC(), 0u);
    gdi::SelectObject(other, kept);
    gdi::DeleteDC(other);
}

namespace {

// An image of the given height whose columns hold the values (the same in
// every row and channel); the pad bytes hold 0xAB, so that a write shows.
std::unique_ptr<cDIBSection> columns(int height, const std::vector<std::uint8_t>& values)
{
    auto d = std::make_unique<cDIBSection>();
    EXPECT_TRUE(d->Create(int(values.size()), height));
    std::memset(d->DIBSectionBitsPtr(), 0xAB, std::size_t(height * d->BytesPerScanLine()));
    for (int r = 0; r < height; ++r)
        for (std::size_t x = 0; x < values.size(); ++x)
            std::memset(d->DIBSectionBitsPtr() + r * d->BytesPerScanLine() + 3 * x, values[x], 3);
    return d;
}

// Every byte of memory row r, pad bytes included.
std::vector<int> bytesOf(const cDIBSection& d, int r)
{
    const std::uint8_t* row = d.DIBSectionBitsPtr() + r * d.BytesPerScanLine();
    return {row, row + d.BytesPerScanLine()};
}

// Memory row r as one value per pixel, -1 where its channels differ.
std::vector<int> greys(const cDIBSection& d, int r)
{
    const std::vector<int> bytes = bytesOf(d, r);
    std::vector<int> out;
    for (int x = 0; x < 3 * d.Width(); x += 3)
        out.push_back(bytes[x] == bytes[x + 1] && bytes[x] == bytes[x + 2] ? bytes[x] : -1);
    return out;
}

} // namespace

// Bilinear resampling with no centring, the vertical pass rounded before the
// horizontal one, halves to even; the same size is a copy, no size no image.
TEST_F(DibSectionTest, ResampleBlendsNeighboursAndRoundsHalvesToEven)
{
    const struct {
        std::vector<std::uint8_t> source; // two rows alike
        int newHeight, newWidth;
        std::vector<int> row;
    } rows[] = {
        {{0, 255}, 2, 4, {0, 64, 128, 191}}, {{0, 1}, 3, 2, {0, 0}}, {{1, 2}, 3, 2, {1, 2}},
        {{0, 100, 200}, 2, 2, {0, 100}}, // the last column only as a neighbour
        {{9, 200, 13}, 2, 3, {9, 200, 13}},
    };
    for (const auto& row : rows) {
        const std::unique_ptr<cDIBSection> resized = columns(2, row.source)->Resample(row.newHeight, row.newWidth);
        ASSERT_TRUE(resized);
        for (int r = 0; r < row.newHeight; ++r)
            EXPECT_EQ(greys(*resized, r), row.row) << row.source.size() << " to " << row.newWidth << ", row " << r;
    }
    EXPECT_EQ(columns(2, {1, 2})->Resample(0, 3), nullptr);
    EXPECT_EQ(cDIBSection().Resample(2, 2), nullptr) << "an empty image";
}

TEST_F(DibSectionTest, RandomNoiseIsGreyOrHasNoBlueAndLeavesThePadding)
{
    for (const bool gray : {true, false}) {
        const auto d = columns(7, std::vector<std::uint8_t>(5, 0));
        d->RandomiseBits(gray);
        std::set<int> greens;
        for (int r = 0; r < d->Height(); ++r) {
            const std::vector<int> bytes = bytesOf(*d, r);
            EXPECT_EQ(bytes.back(), 0xAB) << "the padding";
            for (std::size_t x = 0; x < 15; x += 3) {
                EXPECT_TRUE(gray ? greys(*d, r)[x / 3] >= 0 : bytes[x] == 0) << gray;
                greens.insert(bytes[x + 1]);
            }
        }
        EXPECT_GT(greens.size(), 1u) << "noise, not one colour";
    }
}

// The clipboard takes a copy in the screen's format; asked for a DIB, the
// image only says it cannot.
TEST_F(DibSectionTest, CopyToClipboardPutsABitmapThereOrExplainsItCannot)
{
    const QImage img = fwtest::testPattern(5, 3);
    cDIBSection d;
    d.CreateFromPicture(pictureOf(img));
    QGuiApplication::clipboard()->clear();
    QStringList shown;
    const MsgBoxHandler previous = SetMsgBoxHandler([&](const QString& text, MsgIcon icon, MsgButtons, const QString&) {
        shown << QString::number(int(icon)) + "|" + text;
        return true;
    });
    EXPECT_FALSE(d.CopyToClipboard());
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull()) << "the clipboard was touched";
    EXPECT_TRUE(d.CopyToClipboard(false));
    EXPECT_EQ(shown, QStringList{"0|I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!"});
    EXPECT_EQ(fwtest::maxChannelDiff(QGuiApplication::clipboard()->image(), img), 0);
    SetMsgBoxHandler(previous);
}
