// Resource names of the pictures drawn by tools/draw-images (lumera.qrc).
#pragma once

namespace lumera {

inline constexpr const char* kProgramIconImage = ":/lumera/icon-107.png";

// One strip of kCommandIconCount square icons side by side; icon k (the
// catalogue index) is the kCommandIconSize-wide slice at x = k *
// kCommandIconSize. The last icon has no command.
inline constexpr const char* kCommandIconsImage = ":/images/command_icons.png";
inline constexpr int kCommandIconSize = 15;
inline constexpr int kCommandIconCount = 46;

// Output buttons of the editor page: bit clear / bit set.
inline constexpr const char* kLampOffImage = ":/images/lamp_off.png";
inline constexpr const char* kLampOnImage = ":/images/lamp_on.png";
inline constexpr int kLampImageSize = 36;

// Switch positions on the configuration page: lever down (off) / up (on).
inline constexpr const char* kSwitchOffImage = ":/images/switch_off.png";
inline constexpr const char* kSwitchOnImage = ":/images/switch_on.png";
inline constexpr int kSwitchImageWidth = 18;
inline constexpr int kSwitchImageHeight = 36;

}  // namespace lumera
