#include "app/windowmessages.h"

#include "link/resultcodes.h"


namespace olk {
namespace {

using K = DialogKind;
using B = DialogButtons;

// Codes 31 to 34 speak as the result codes of the same numbers do.
DialogMessage AsResult(int code)
{
    return *FindResultMessage(code);
}

const MessageTable& Table()
{
    static const MessageTable table{
        {kNoSerialDevice,
         {K::Warning, B::Ok,
          "No Serial device available !\nPlese, check if any other program is using it !!\nCheck if any other "
          "instance of this program is running !!!"}},
        {kSelectOperation, {K::Warning, B::Ok, "Select the Operation, please !"}},
        {kSelectFile, {K::Warning, B::Ok, "Select the file, please !"}},
        {kAskQuit, {K::Confirmation, B::YesNo, "Are you sure you want to quit ?"}},
        {kAskOverwriteFixture, AsResult(result::kAskOverwrite)},
        {kFixtureWriteProtected, AsResult(result::kWriteProtected)},
        {kCannotCreateFixture, AsResult(result::kCannotCreate)},
        {kFixtureWriteError, AsResult(result::kWriteError)},
        {kFixtureSaved, {K::Information, B::Ok, "The Fixture has been saved !"}},
    };
    return table;
}

} // namespace

const DialogMessage* FindWindowMessage(int code)
{
    return FindMessage(Table(), code);
}

const char* WindowMessageText(int code)
{
    const DialogMessage* message = FindWindowMessage(code);
    return message ? message->text : "";
}

} // namespace olk
