// The windows' layout at 96 pixels per inch, held once for both programs: every position,
// size and font height the three windows are designed with. Each program scales it to the
// display in its own way (Qt's device-independent pixels; MulDiv on Windows).
#pragma once

namespace queue::layout {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

struct Colour {
  int red = 0;
  int green = 0;
  int blue = 0;
};

// The font of every window and of every control without a font of its own (Tahoma).
inline constexpr int kWindowFontPixels = 11;

// The operator window: from the right edge leftwards the column of small buttons (grp1), the
// Next button and the list, which takes the rest of the width; both right-hand controls take
// the full client height.
inline constexpr Size kMainClient{404, 83};
inline constexpr Colour kMainBackground{255, 251, 240};  // cream
inline constexpr int kSmallButtonsWidth = 28;
inline constexpr int kNextButtonWidth = 120;
inline constexpr int kSmallButtonLeft = 1;  // in grp1
inline constexpr int kSmallButtonSize = 25;
inline constexpr int kSettingsButtonTop = 1;
inline constexpr int kHelpButtonTop = 28;
inline constexpr int kAboutButtonTop = 56;
inline constexpr Rect kLog{0, 87, 173, 50};  // not aligned: visible only in a taller window
inline constexpr int kNextFontPixels = 16;   // bold
inline constexpr int kListFontPixels = 61;

// The settings window. Both labels take the size of their texts and end on a common right
// edge, six pixels before the fields; no label begins left of kLabelsLeftLimit.
inline constexpr Size kSetupClient{343, 129};
inline constexpr int kSetupControlFontPixels = 16;
inline constexpr int kLabelsRightEdge = 154;
inline constexpr int kLabelsLeftLimit = 8;
inline constexpr int kOperatorLabelTop = 11;
inline constexpr int kServerLabelTop = 56;
// The two fields' heights follow from their fonts; 27 is the design font's.
inline constexpr Rect kOperatorSelect{160, 8, 175, 27};
inline constexpr Rect kServerEdit{160, 53, 175, 27};
inline constexpr Rect kSaveButton{112, 86, 105, 35};
inline constexpr Rect kCloseButton{230, 88, 105, 33};

// The About window. The labels sized to their texts have their rectangles in the design font;
// captions end on their rectangle's right edge, values begin on its left edge.
inline constexpr Size kAboutClient{585, 161};
inline constexpr int kAboutTitleFontPixels = 16;
inline constexpr Rect kLogo{5, 5, 150, 150};
inline constexpr Rect kAboutTitle{161, 8, 407, 41};
inline constexpr Rect kVersionValue{209, 64, 129, 13};
inline constexpr Rect kVersionCaptionText{164, 64, 39, 13};
inline constexpr Rect kSiteCaptionText{174, 83, 29, 13};
inline constexpr Rect kSiteLinkText{209, 83, 48, 13};
inline constexpr Rect kMailCaptionText{168, 101, 35, 13};
inline constexpr Rect kMailLinkText{209, 101, 94, 13};
inline constexpr Rect kCompanyCaptionText{342, 82, 53, 13};
inline constexpr Rect kCompanyValueText{401, 82, 42, 13};
inline constexpr Rect kAuthorCaptionText{361, 101, 35, 13};
inline constexpr Rect kAuthorValueText{402, 101, 89, 13};

}  // namespace queue::layout
