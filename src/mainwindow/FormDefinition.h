#pragma once
// The static make-up of the main window: every caption, tooltip and design
// place (in twips from the top-left corner of the client area).

#include <QRect>
#include <QString>

#include <array>

namespace FormDefinition {

inline constexpr char16_t kCaption[] = u"住所･郵便番号･緯度･経度を調べる (Yahoo 測地系=tokyo)";

inline constexpr int kClientWidth = 17655;
inline constexpr int kClientHeight = 7440;
inline constexpr int kClientLeft = 675;   // on the screen, until a saved place replaces it
inline constexpr int kClientTop = 1950;

struct Button {
    int index;
    const char16_t *caption;
    const char16_t *toolTip;   // nullptr: none
    QRect twips;
    int tabOrder;
    int functionKey;           // Qt::Key_F2 …
};

// Creation order. Elements 3 and 5 do not exist; their places stay empty.
extern const std::array<Button, 7> kButtons;
inline constexpr int kButtonCount = 9;            // indices 0..8, with gaps
inline constexpr char16_t kAcceptCaption[] = u"MAP URL取込(&F9)";

inline constexpr QRect kPaneTwips{-15, 1200, 14790, 5850};
inline constexpr int kPaneTabOrder = 5;
inline constexpr QRect kGridTwips{0, 300, 14400, 900};
inline constexpr int kGridTabOrder = 1;
inline constexpr QRect kStatusTwips{0, 7125, 17655, 315};

struct Column {
    const char16_t *header;
    double widthChars;   // grid character units: widths of the digit "0"
};
inline constexpr std::array<Column, 4> kColumns{{
    {u"郵便番号", 7.12}, {u"住所", 32.5}, {u"会社等", 19.12}, {u"MAP URL", 56.5}}};
inline constexpr int kRows = 2;
inline constexpr int kRow1Limit = 255;          // columns 1 to 3 of row 1
inline constexpr int kRow1UrlLimit = 500;       // column 4 of row 1
inline constexpr int kDefaultCellLimit = 60;    // every other cell
inline constexpr int kGreyLevel = 228;          // row 2, columns 1 to 3

// Preferred face first; Linux has no MS fonts, Noto Sans CJK JP stands in.
inline constexpr char16_t kGridFace[] = u"ＭＳ Ｐゴシック";
inline constexpr qreal kGridPointSize = 9;
inline constexpr qreal kStatusPointSize = 9.75;

inline constexpr int kStatusPanelWidth = 1440;  // panels 2 and 3, and panel 1's minimum

}  // namespace FormDefinition
