#pragma once

#include <QLine>
#include <QRect>

// Where every control of the converter's window sits, in twips (15 to a
// pixel at 96 dots per inch). The skin is drawn around these places and the
// window puts its controls exactly there, so both read this one table.
namespace layout {

inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left, top, width, height;
    constexpr QRect pixels() const
    {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
    }
};

// A horizontal line from (x1, y) to (x2, y), drawn with a round pen.
struct TwipLine {
    int x1, x2, y, thicknessPx;
};

inline constexpr TwipRect CmdMin{8190, 300, 555, 375};
inline constexpr TwipRect CmdExit{8730, 300, 585, 375};
inline constexpr TwipRect CmdGo{3330, 4530, 2415, 1965};
inline constexpr TwipRect chkDel{3240, 2850, 2865, 585};
inline constexpr TwipRect CmdOutPath{5160, 1080, 1005, 765};
inline constexpr TwipRect CmdInPath{330, 1080, 1005, 825};
inline constexpr TwipRect FileList{6390, 1260, 2865, 2430};
inline constexpr TwipRect Lstinfo{300, 2970, 2655, 3765};
inline constexpr TwipRect CmdAbout{3120, 3510, 525, 525};
inline constexpr TwipRect LblURLQuenk{3870, 3450, 1995, 240};
inline constexpr TwipRect lblURLSponso{3870, 3780, 1950, 240};
inline constexpr TwipRect LblDest{1470, 1560, 3255, 240};
inline constexpr TwipRect LblSrc{2430, 1170, 1905, 240};
inline constexpr TwipRect LblFore{480, 2220, 1845, 375};
inline constexpr TwipRect LblBack{480, 2220, 4575, 405};
inline constexpr TwipRect Image2{4830, 1530, 285, 285};
inline constexpr TwipRect Image1{1380, 1140, 285, 285};
inline constexpr TwipRect ImgPreview{6210, 4260, 3165, 2445};
inline constexpr TwipRect lblOutPath{1440, 1560, 3315, 285};
inline constexpr TwipRect lblInPath{1710, 1140, 3345, 285};
inline constexpr TwipRect SFrame{360, 2100, 5865, 675};
inline constexpr TwipRect lbltutqual{5280, 2100, 840, 300};
inline constexpr TwipRect LblQuality{5280, 2430, 795, 300};

inline constexpr TwipLine LFore{1710, 1725, 480, 15};
inline constexpr TwipLine LBack{1710, 7770, 480, 17};
inline constexpr TwipLine LBlack{1710, 7770, 480, 25};

// The skin's size in pixels: the controls reach x 625 and y 449.
inline constexpr int kSkinWidth = 640;
inline constexpr int kSkinHeight = 464;

} // namespace layout
