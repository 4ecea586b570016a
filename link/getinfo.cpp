#include "link/getinfo.h"

#include "link/commands.h"
#include "link/resultcodes.h"

namespace olk {

int GetInfo::Prepare(const std::string&)
{
    views().cursor.SetCursor(Cursor::HourGlass);
    return 0;
}

void GetInfo::Execute()
{
    const int code = Guarded([this] {
        int budget = kRetryBudget;
        ReceiveHeader(command::kFixtureList.data(), command::kFixtureList.size(), "", budget);
        Synchronize([this] { ShowProgress(); });
        ReceiveDataBlocks(budget, [](const uint8_t*, uint32_t) {});
        Synchronize([this] { HideProgress(); });
        Raise(result::kQuietEnd);
    });
    ReportEnd(code);
}

} // namespace olk
