// The numbers that the dialogs share with the Windows user interface: button
// ids, message-box styles, system commands, window and control styles. They
// are the platform's own values, restated here so that no code above the
// dialog host needs a platform header.
#pragma once

#include <cstdint>

namespace qv {

// Command ids of the standard buttons and message-box answers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdTryAgain = 10;
inline constexpr int kIdContinue = 11;

// Message-box styles: the button set in the low four bits, the icon above.
inline constexpr unsigned kMbOk = 0x00;
inline constexpr unsigned kMbOkCancel = 0x01;
inline constexpr unsigned kMbAbortRetryIgnore = 0x02;
inline constexpr unsigned kMbYesNoCancel = 0x03;
inline constexpr unsigned kMbYesNo = 0x04;
inline constexpr unsigned kMbRetryCancel = 0x05;
inline constexpr unsigned kMbCancelTryContinue = 0x06;
inline constexpr unsigned kMbButtonMask = 0x0F;
inline constexpr unsigned kMbIconStop = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbIconMask = 0xF0;

// System commands (the low four bits are the platform's own).
inline constexpr unsigned kScMask = 0xFFF0;
inline constexpr unsigned kScClose = 0xF060;
inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScRestore = 0xF120;

// The first message number that a program may use for itself.
inline constexpr unsigned kWmUser = 0x0400;

// Window styles found in dialog templates.
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsDisabled = 0x08000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kDsSetFont = 0x40;
inline constexpr std::uint32_t kDsModalFrame = 0x80;
inline constexpr std::uint32_t kWsExAppWindow = 0x00040000;

// Button styles (the kind in the low four bits).
inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsDefPushButton = 0x1;
inline constexpr std::uint32_t kBsCheckBox = 0x2;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x3;
inline constexpr std::uint32_t kBsRadioButton = 0x4;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kBsAutoRadioButton = 0x9;
inline constexpr std::uint32_t kBsTypeMask = 0xF;

// Static styles (the kind in the low five bits).
inline constexpr std::uint32_t kSsLeft = 0x0;
inline constexpr std::uint32_t kSsCenter = 0x1;
inline constexpr std::uint32_t kSsRight = 0x2;
inline constexpr std::uint32_t kSsIcon = 0x3;
inline constexpr std::uint32_t kSsBitmap = 0xE;
inline constexpr std::uint32_t kSsTypeMask = 0x1F;

// Edit styles.
inline constexpr std::uint32_t kEsUpperCase = 0x0008;
inline constexpr std::uint32_t kEsAutoHScroll = 0x0080;

}  // namespace qv
