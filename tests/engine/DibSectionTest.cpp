// cDIBSection: a loaded picture becomes the image without a copy and shows
// upright.
#include "TempDir.h"
#include "TestUtil.h"
#include "engine/cDIBSection.h"
#include "platform/Picture.h"

#include <gtest/gtest.h>

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
