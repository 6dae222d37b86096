#pragma once

namespace quorvel {

// The tray menu's command ids.
namespace command {
inline constexpr int kOptions = 200;
inline constexpr int kClean = 201;
inline constexpr int kSupport = 203;
inline constexpr int kAbout = 204;
inline constexpr int kExit = 205;
inline constexpr int kStart = 206;
inline constexpr int kStop = 207;
inline constexpr int kPrivacyTest = 208;
inline constexpr int kChangeIp = 211;
inline constexpr int kFastMode = 212;
inline constexpr int kStrongMode = 213;
} // namespace command

} // namespace quorvel
