#pragma once

namespace quorvel {

// Resource ids of the artwork in resources/, named there by id.
namespace art {
inline constexpr int kIconStopped = 181;
inline constexpr int kIconRunning = 130;
inline constexpr int kPrivacyTest = 167;
inline constexpr int kStart = 168;
inline constexpr int kStop = 169;
inline constexpr int kOptions = 170;
inline constexpr int kClean = 171;
inline constexpr int kSupport = 173;
inline constexpr int kAbout = 174;
inline constexpr int kExit = 175;
inline constexpr int kChangeIp = 192;
inline constexpr int kMode = 194;
inline constexpr int kFastMode = 195;
inline constexpr int kStrongMode = 196;
inline constexpr int kFastModeChosen = 202;
inline constexpr int kStrongModeChosen = 203;
inline constexpr int kAboutPicture = 206;
} // namespace art

// The colour that menu bitmaps use for "no paint": light grey, drawn transparent.
inline constexpr unsigned kTransparentColour = 0xC0C0C0;

} // namespace quorvel
