#pragma once
// Every operation ends with a result code; each code has at most one message of a fixed kind.
// Three codes are questions whose answer goes back to the code that asked.
#include "link/dialogmessage.h"

#include <string>

namespace olk {

namespace result {
inline constexpr int kQuietEnd = 0;
inline constexpr int kCannotOpenFile = 1;
inline constexpr int kReadError = 2;
inline constexpr int kFileUnusable = 3;
inline constexpr int kChecksumMismatch = 4;
inline constexpr int kCannotInitialize = 5;
inline constexpr int kCannotCommunicate = 6;
inline constexpr int kNotResponding = 7;
inline constexpr int kBadAnswer = 8;
inline constexpr int kInterrupted = 9;
inline constexpr int kLineFailure = 10;
inline constexpr int kUpdated = 11;
inline constexpr int kRevisionRefused = 12;
inline constexpr int kNotConfirmed = 13;
inline constexpr int kIncompatibleModel = 20;
inline constexpr int kDataSumMismatch = 21;
inline constexpr int kAskOverwrite = 31;
inline constexpr int kWriteProtected = 32;
inline constexpr int kCannotCreate = 33;
inline constexpr int kWriteError = 34;
inline constexpr int kBackupDone = 35;
inline constexpr int kAskEditDescription = 36;
inline constexpr int kNoSuchFixture = 37;
inline constexpr int kAskReplaceFixture = 38;
inline constexpr int kInsufficientSpace = 39;
inline constexpr int kFixtureRemoved = 40;
inline constexpr int kRemovalRefused = 41;
inline constexpr int kFreeMemoryUnknown = 42;
} // namespace result

// The message of a code, or null for a code that ends quietly. The text of code 1 follows the
// file name.
const DialogMessage* FindResultMessage(int code);

// Codes 31, 36 and 38 ask a question instead of reporting an end.
bool IsQuestion(int code);

// The text a code shows: for code 1 the file name comes first.
std::string ResultText(int code, const std::string& fileName);

} // namespace olk
