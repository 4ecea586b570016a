// Writes the desk-side seed corpus: every operation run against the simulator, its transcript
// turned into a desk script that answers as the simulator did, at the same points of the
// exchange. Usage: desklinkseeds DIRECTORY
#include "desk/desksimulator.h"
#include "fuzz/deskscript.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"

#include <cstdio>
#include <filesystem>

namespace {

using namespace olk;
using Entry = desk::TranscriptEntry;

// The desk's bytes in chunks of at most 255, each sent after the PC bytes that came before it;
// more PC bytes than one chunk can wait for take empty chunks before it.
std::vector<fuzz::DeskChunk> ChunksOf(const std::vector<Entry>& transcript)
{
    std::vector<fuzz::DeskChunk> chunks;
    std::size_t fromPc = 0;
    for (const Entry& entry : transcript) {
        if (entry.direction == Entry::Direction::PcToDesk) {
            fromPc += entry.bytes.size();
            continue;
        }
        for (; fromPc > 0xFFFF; fromPc -= 0xFFFF)
            chunks.push_back({0xFFFF, {}});
        for (std::size_t at = 0; at < entry.bytes.size(); at += 255) {
            fuzz::DeskChunk chunk;
            chunk.after = static_cast<uint16_t>(fromPc);
            fromPc = 0;
            chunk.bytes.assign(entry.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                               entry.bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at + 255, entry.bytes.size())));
            chunks.push_back(std::move(chunk));
        }
    }
    return chunks;
}

// The script of one session, or nothing when the session did not end.
std::optional<fuzz::DeskScript> Record(fuzz::DeskScript script, test::LinkEnvironment& environment,
                                       const std::string& directory)
{
    desk::DeskConfig config;
    config.userData = fuzz::WorkImage();
    config.fixtures = desk::test::Library(3);
    desk::DeskSimulator simulator(config);
    environment.MapPorts({{"COM1", simulator.DevicePath()}});
    test::RecordingViews views;
    if (!fuzz::RunOperation(script, directory, views))
        return std::nullopt;
    script.chunks = ChunksOf(simulator.Transcript());
    return script;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: desklinkseeds DIRECTORY\n");
        return 64;
    }
    const std::string corpus = argv[1];
    test::LinkEnvironment environment;
    std::filesystem::create_directories(corpus);
    constexpr uint8_t kAllYes = 0xFF;
    for (uint8_t operation = 0; operation < static_cast<uint8_t>(fuzz::Operation::Count); ++operation) {
        for (const uint8_t baudIndex : {uint8_t{0}, uint8_t{1}}) {
            fuzz::DeskScript script;
            script.operation = static_cast<fuzz::Operation>(operation);
            script.answers = kAllYes;
            script.baudIndex = baudIndex;
            const auto recorded = Record(script, environment, environment.Directory());
            if (!recorded) {
                std::fprintf(stderr, "%s did not end\n", fuzz::NameOf(script.operation));
                return 1;
            }
            const std::string name = std::string(fuzz::NameOf(script.operation)) + (baudIndex ? "-9600" : "-auto");
            test::WriteFile(corpus + "/" + name, fuzz::Encode(*recorded));
        }
    }
    return 0;
}
