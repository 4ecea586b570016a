#include "userdata/replacingfile.h"

namespace olk {

ReplacingFile::Opening ReplacingFile::Opened(file::Failure failure) const
{
    if (handle_ != file::kNoHandle)
        return Opening::Created;
    if (failure == file::Failure::WriteProtected)
        return Opening::WriteProtected;
    return failure == file::Failure::Exists ? Opening::Exists : Opening::CannotCreate;
}

ReplacingFile::Opening ReplacingFile::Create()
{
    file::Failure failure;
    handle_ = file::Open(target_, file::OpenMode::CreateNew, &failure);
    if (handle_ != file::kNoHandle)
        written_ = target_;
    return Opened(failure);
}

ReplacingFile::Opening ReplacingFile::CreateBeside()
{
    file::Failure failure;
    handle_ = file::CreateBeside(target_, &written_, &failure);
    const Opening opening = Opened(failure);
    return opening == Opening::Exists ? Opening::CannotCreate : opening;
}

bool ReplacingFile::Commit()
{
    if (written_ == target_)
        return true;
    if (!file::Replace(written_, target_))
        return false;
    written_ = target_;
    return true;
}

void ReplacingFile::Close()
{
    file::Close(handle_);
    handle_ = file::kNoHandle;
}

void ReplacingFile::Discard()
{
    Close();
    if (!written_.empty())
        file::Delete(written_);
    written_.clear();
}

} // namespace olk
