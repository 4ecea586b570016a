#include "link/resultcodes.h"


namespace olk {
namespace {

using K = DialogKind;
using B = DialogButtons;

const MessageTable& Table()
{
    static const MessageTable table{
        {1, {K::Warning, B::Ok, ": cannot open this file"}},
        {2, {K::Error, B::Ok, "Error while reading the file"}},
        {3, {K::Error, B::Ok, "File is corrupted or wrong file has been chosen !"}},
        {4, {K::Error, B::Ok, "CheckSum file error.\nFile is corrupted or wrong file has been chosen !"}},
        {5, {K::Error, B::Ok, "Cannot initialize device!"}},
        {6, {K::Error, B::Ok, "Cannot take up a communication !"}},
        {7, {K::Error, B::Ok, "Mixer not responding !"}},
        {8, {K::Error, B::Ok, "Bad answer code from mixer !"}},
        {9, {K::Information, B::Ok, "Transmission interrupted by user."}},
        {10, {K::Error, B::Ok, "Problems with communication or communication broken !\nControl the cable !"}},
        {11, {K::Information, B::Ok, "The mixer is updated well right !"}},
        {12, {K::Error, B::Ok,
              "Mixer revision not completed !\nProbably the file was wrong or the trasmission has been lackfull !"}},
        {13, {K::Error, B::Ok,
              "Communication lost !\nThe mixer has not confirmed the revision.\nControl the cable, please!"}},
        {20, {K::Error, B::Ok, "The User Data file is not compatible with this mixer type!"}},
        {21, {K::Error, B::Ok,
              "The User Data CheckSum returned by the mixer\n does not corrispond to the CheckSum in the file!"}},
        {31, {K::Confirmation, B::YesNo, "File already exist!\nOverwrite?"}},
        {32, {K::Error, B::Ok, "Cannot create file. Control disk protection!"}},
        {33, {K::Error, B::Ok, "Cannot create file!"}},
        {34, {K::Error, B::Ok, "Error while writing the file"}},
        {35, {K::Information, B::Ok, "The Backup process is done !"}},
        {36, {K::Confirmation, B::YesNo, "Would you Edit the description of the file ?"}},
        {37, {K::Error, B::Ok, "Fixture doesn't exist!"}},
        {38, {K::Confirmation, B::YesNo, "Fixture already exist: replace it ?"}},
        {39, {K::Error, B::Ok, "Insufficient space on desk !"}},
        {40, {K::Information, B::Ok, "Fixture removed !"}},
        {41, {K::Warning, B::Ok,
              "Mixer returned error !  Fixture not removed ! \n\nProbably the fixture is in patch."}},
        {42, {K::Warning, B::Ok,
              "Unknown free memory space on desk!\nFirst try \"Refresh\" on Fixture Manager."}},
    };
    return table;
}

} // namespace

const DialogMessage* FindResultMessage(int code)
{
    return FindMessage(Table(), code);
}

bool IsQuestion(int code)
{
    return code == result::kAskOverwrite || code == result::kAskEditDescription ||
           code == result::kAskReplaceFixture;
}

std::string ResultText(int code, const std::string& fileName)
{
    const DialogMessage* message = FindResultMessage(code);
    if (!message)
        return {};
    if (code == result::kCannotOpenFile)
        return fileName + message->text;
    return message->text;
}

} // namespace olk
