#include "fuzz/deskscript.h"

#include "firmware/aggiornafirmware.h"
#include "fixtures/addfixture.h"
#include "fixtures/getfixture.h"
#include "fixtures/removefixture.h"
#include "fixtures/richiedielencofxt.h"
#include "link/getinfo.h"
#include "tests/support/hexfiles.h"
#include "tests/support/recordingfixtures.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "userdata/backupuserdata.h"
#include "userdata/datafile.h"
#include "userdata/restoreuserdata.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace olk::fuzz {
namespace {

constexpr uint32_t kRates[] = {0, 9600, 19200, 38400, 57600, 115200, 230400, 460800};
constexpr uint8_t kDeskModel = 0x0C; // the simulator's own

const char* const kPort = "COM1";

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

template <typename Kind, typename... Extra>
OperationPtr<ProtocolloMixer> Make(const DeskScript& script, test::RecordingViews& views, Extra&... extra)
{
    return MakeOperation<Kind>(kPort, BaudOf(script.baudIndex), views.Targets(), views.AsViews(), extra...);
}

// The operation and the argument its Prepare takes, with the files it needs in place.
OperationPtr<ProtocolloMixer> Prepared(const DeskScript& script, const std::string& directory,
                                       test::RecordingViews& views, FixturesView& fixtures, std::string* argument)
{
    switch (script.operation) {
    case Operation::Backup:
        *argument = directory + "/backup.wrk";
        std::remove(argument->c_str());
        return Make<BackupUserData>(script, views);
    case Operation::Restore:
        *argument = directory + "/restore.wrk";
        test::WriteFile(*argument, WorkImage());
        return Make<RestoreUserData>(script, views);
    case Operation::Firmware:
        *argument = directory + "/update.hex";
        WriteText(*argument, test::HexText(test::SignedImage()));
        return MakeOperation<AggiornaFirmware>(kPort, views.Targets(), views.AsViews());
    case Operation::List: return Make<RichiediElencoFXT>(script, views, fixtures);
    case Operation::Get: *argument = "FIX0"; return Make<GetFixture>(script, views, fixtures);
    case Operation::Add:
        *argument = directory + "/lamp.fxt";
        test::WriteFile(*argument, FixtureImage());
        return Make<AddFixture>(script, views, fixtures);
    case Operation::Remove: *argument = "FIX0"; return Make<RemoveFixture>(script, views);
    default: return Make<GetInfo>(script, views);
    }
}

} // namespace

std::vector<uint8_t> Encode(const DeskScript& script)
{
    std::vector<uint8_t> bytes{static_cast<uint8_t>(script.operation), script.answers, script.baudIndex};
    for (const DeskChunk& chunk : script.chunks) {
        bytes.push_back(static_cast<uint8_t>(chunk.after));
        bytes.push_back(static_cast<uint8_t>(chunk.after >> 8));
        bytes.push_back(static_cast<uint8_t>(chunk.bytes.size()));
        bytes.insert(bytes.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
    return bytes;
}

DeskScript Decode(const uint8_t* data, std::size_t size)
{
    DeskScript script;
    const auto at = [&](std::size_t i) -> uint8_t { return i < size ? data[i] : 0; };
    script.operation = static_cast<Operation>(at(0) % static_cast<uint8_t>(Operation::Count));
    script.answers = at(1);
    script.baudIndex = at(2);
    for (std::size_t i = 3; i + 2 < size;) {
        DeskChunk chunk;
        chunk.after = static_cast<uint16_t>(data[i] | data[i + 1] << 8);
        const std::size_t length = std::min<std::size_t>(data[i + 2], size - i - 3);
        chunk.bytes.assign(data + i + 3, data + i + 3 + length);
        script.chunks.push_back(std::move(chunk));
        i += 3 + length;
    }
    return script;
}

uint32_t BaudOf(uint8_t index)
{
    return kRates[index % std::size(kRates)];
}

const char* NameOf(Operation operation)
{
    static const char* const names[] = {"info", "backup", "restore", "firmware", "list", "get", "add", "remove"};
    return names[static_cast<std::size_t>(operation) % std::size(names)];
}

std::vector<uint8_t> WorkImage()
{
    std::vector<uint8_t> image = desk::test::WorkFile(2, 9);
    image[datafile::kModelCodeOffset] = kDeskModel;
    image[datafile::kSubCodeOffset] = 0;
    desk::test::Seal(image);
    return image;
}

std::vector<uint8_t> FixtureImage()
{
    return desk::test::FixtureFile("LAMP", 300);
}

std::optional<int> RunOperation(const DeskScript& script, const std::string& directory, test::RecordingViews& views)
{
    for (int i = 0; i < 8; ++i)
        views.dialogs.answers.push_back(script.answers & (1 << i) ? kAnswerYes : kAnswerNo);
    test::RecordingFixtures fixtures(views);
    if (script.operation == Operation::Add)
        fixtures.SetDeskFreeMemory(200000);
    std::string argument;
    auto operation = Prepared(script, directory, views, fixtures, &argument);
    // The info and list requests are started without Prepare; a get or a removal starts whatever
    // Prepare says; the others start only when Prepare agrees.
    const Operation kind = script.operation;
    const bool startsRegardless = kind == Operation::Get || kind == Operation::Remove;
    if (kind == Operation::Info || kind == Operation::List || operation->Prepare(argument) != 0 || startsRegardless)
        operation->StartOperation(true);
    if (!views.RunUntilEnded(std::chrono::seconds(60)))
        return std::nullopt;
    return operation->ReportedCode();
}

} // namespace olk::fuzz
