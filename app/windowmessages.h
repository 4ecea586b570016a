#pragma once
// The main window's own messages, separate from the result codes of the operations.
#include "link/dialogmessage.h"

namespace olk {

inline constexpr int kNoSerialDevice = 1;
inline constexpr int kSelectOperation = 2;
inline constexpr int kSelectFile = 3;
inline constexpr int kAskQuit = 4;
inline constexpr int kAskOverwriteFixture = 31;
inline constexpr int kFixtureWriteProtected = 32;
inline constexpr int kCannotCreateFixture = 33;
inline constexpr int kFixtureWriteError = 34;
inline constexpr int kFixtureSaved = 35;

// The message of a code, or null for a code the window does not know.
const DialogMessage* FindWindowMessage(int code);

// Its text, or an empty text for an unknown code.
const char* WindowMessageText(int code);

} // namespace olk
