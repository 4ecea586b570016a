#pragma once
// A file the program writes for the user, which never costs an existing file its contents: a
// new name is written in place, an existing file is written beside and takes the old one's place
// only once it is complete.
#include "platform/filehandle.h"

#include <string>

namespace olk {

class ReplacingFile {
public:
    enum class Opening {
        Created,         // open for writing
        Exists,          // the target exists: ask before replacing it
        WriteProtected,  // the medium is read-only
        CannotCreate,    // any other failure
    };

    explicit ReplacingFile(std::string target) : target_(std::move(target)) {}

    // A new file at the target.
    Opening Create();
    // After the user agreed to replace the existing target: a new file beside it.
    Opening CreateBeside();

    int Handle() const { return handle_; }

    // Puts a file written beside in the target's place; false when that failed.
    bool Commit();
    void Close();
    // Closes and removes what was written; an existing target stays as it was.
    void Discard();

private:
    Opening Opened(file::Failure failure) const;

    std::string target_;
    std::string written_;
    int handle_ = file::kNoHandle;
};

} // namespace olk
