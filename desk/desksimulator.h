#pragma once
// The desk at the far end of the line, played on a pseudo-terminal: it answers every command a
// desk answers, keeps user data, a fixture library with free memory and a firmware verdict,
// switches rate as a desk does, and can be told to misbehave. Tests use it in-process; the
// olkdesk program wraps it.
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace olk::desk {

// One run of bytes that crossed the line in one direction.
struct TranscriptEntry {
    enum class Direction { PcToDesk, DeskToPc };
    std::chrono::microseconds time{0}; // since the simulator started
    Direction direction = Direction::PcToDesk;
    uint32_t pcRate = 0;   // the PC's line speed at that moment, read from the pseudo-terminal
    uint32_t deskRate = 0; // the desk's own line speed at that moment
    bool garbled = false;  // the two speeds differed, so the far side saw garbage
    std::vector<uint8_t> bytes; // as the sender put them on the line
};

// Ways to misbehave. Block indices count the blocks of one transfer: 0 is the header block.
struct Faults {
    bool silent = false;                   // answers no command at all
    bool silentAfterBaudValue = false;     // handshake answered, baud value read, then nothing
    int silentAtBlock = -1;                // sends blocks up to this index, then falls silent
    std::optional<uint8_t> handshakeLead;  // lead byte of the handshake answer instead of 0xE7
    std::size_t handshakeLength = 3;       // 1 or 2 sends a cut answer
    std::map<int, int> corruptSum;         // block sent to the PC -> times its sum is sent wrong
    std::vector<std::size_t> pieces;       // every block sent goes out in pieces of these sizes
    int pieceDelayMs = 0;                  // pause between two pieces
    std::map<int, int> nakBlocks;          // block received from the PC -> NAKs before the ACK
    std::map<int, uint8_t> answerByte;     // block received from the PC -> answered with this byte
    int silentAnswerAtBlock = -1;          // block received from the PC that gets no answer
    int answerDelayMs = 0;                 // pause before answering each block from the PC
    int firmwareStallAt = -1;              // stops reading a firmware image after this many bytes
    int firmwareStallMs = 0;               // for this long
    bool ignoreRateSwitch = false;         // reads the baud value but stays at 9600
    bool wrongDataSum = false;             // headers it sends announce a data sum one too high
    int64_t announcedRecords = -1;         // headers it sends announce this many records instead
    bool silentFreeMemory = false;         // no answer to the free-memory command
    std::size_t freeMemoryLength = 4;      // fewer sends a cut free-memory answer
};

struct Fixture {
    std::string name;           // up to 12 bytes, as the desk lists it
    std::vector<uint8_t> file;  // the whole .FXT image: header and records
};

struct DeskConfig {
    uint8_t modelCode = 0x0C;              // "    Korvan 1  "
    uint8_t subCode = 0x00;
    std::string release = "2.10";          // at most 7 characters
    std::vector<uint8_t> userData;         // a .WRK image; empty makes a small generated one
    std::vector<Fixture> fixtures;         // the library, in list order
    uint32_t freeMemory = 200000;
    std::optional<uint8_t> firmwareVerdict = 0xA6; // nullopt: no confirmation byte
    std::set<std::string> patchedFixtures; // removal refused with 0xE7
    std::optional<uint8_t> removeAnswer;   // answer to every removal instead of 0xE6/0xE7
    bool pace = false;                     // bytes take their line time at the current rate
    int switchSettleMs = 25;               // longest wait for the PC to follow a rate switch
    int transferIdleResetMs = 1500;        // silence that ends a transfer and returns to 9600
    Faults faults;
};

class DeskSimulator {
public:
    explicit DeskSimulator(DeskConfig config = {});
    ~DeskSimulator();
    DeskSimulator(const DeskSimulator&) = delete;
    DeskSimulator& operator=(const DeskSimulator&) = delete;

    // The pseudo-terminal path the PC opens, such as /dev/pts/7.
    const std::string& DevicePath() const;

    void SetFaults(const Faults& faults); // takes effect at the next command
    void SetFirmwareVerdict(std::optional<uint8_t> verdict);

    std::vector<TranscriptEntry> Transcript() const;
    std::vector<uint8_t> BytesFromPc() const; // every byte the PC sent, in order
    std::vector<uint8_t> BytesToPc() const;   // every byte the desk sent, in order
    void ClearTranscript();

    uint32_t Rate() const;                     // the desk's current line speed
    std::vector<uint8_t> UserData() const;     // the user data as the desk now holds it
    std::vector<Fixture> Fixtures() const;     // the library as it now stands
    uint32_t FreeMemory() const;
    std::vector<uint8_t> ReceivedFirmware() const; // the last image received, whole or not

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace olk::desk
