#pragma once
// The desk-side fuzz input: which operation the PC runs, how its questions are answered, the
// rate it asks for, then what the desk sends and when. Seeds are made from the simulator's
// transcripts of real sessions, so the fuzzer starts from exchanges that get all the way through.
#include "tests/support/recordingviews.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace olk::fuzz {

enum class Operation : uint8_t { Info, Backup, Restore, Firmware, List, Get, Add, Remove, Count };

// A run of bytes the desk sends once the PC has sent `after` more bytes since the previous one.
struct DeskChunk {
    uint16_t after = 0;
    std::vector<uint8_t> bytes;
};

struct DeskScript {
    Operation operation = Operation::Info;
    uint8_t answers = 0;   // bit i: the i-th question is answered Yes, else No
    uint8_t baudIndex = 0; // into the main window's list: auto, 9600 ... 460800
    std::vector<DeskChunk> chunks;
};

std::vector<uint8_t> Encode(const DeskScript& script);
// Takes any bytes: what is missing counts as nothing more to send.
DeskScript Decode(const uint8_t* data, std::size_t size);

uint32_t BaudOf(uint8_t index);
const char* NameOf(Operation operation);

// The files and the fixture library the operations work with, the same for seeds and fuzzing.
std::vector<uint8_t> WorkImage();
std::vector<uint8_t> FixtureImage();

// Runs the operation on COM1 as the main window does, with its files in directory, and returns
// the code it reported, or nullopt when its end-of-operation notice did not come in time.
std::optional<int> RunOperation(const DeskScript& script, const std::string& directory, test::RecordingViews& views);

} // namespace olk::fuzz
