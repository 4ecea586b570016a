#pragma once
// The file side of the description manager: what it shows of a data file on disk, and the
// in-place update of the description field. Nothing here knows a window.
#include "platform/filehandle.h"
#include "userdata/datafile.h"

#include <cstddef>
#include <optional>
#include <string>

namespace olk::describedfile {

enum class Kind {
    Work,    // its description is shown and may be rewritten
    Fixture, // the fixture's own text is shown, read-only
    Other,   // listed under "All": a data file of unknown kind
};

// Decided by the full path containing ".FXT" or ".WRK" in any letter case. A path holding both
// counts as a fixture, so that nothing is ever offered for editing that Save would then refuse.
Kind KindOf(const std::string& path);

// The window reads one record's worth at the fixture text block: the length word and at most
// 253 bytes of text, so that a terminator still fits.
inline constexpr std::size_t kFixtureTextLimit = 253;

// What the manager shows of a file that keeps the length rule.
struct Shown {
    std::string modelLine; // model and release line, Windows-1252
    std::string text;      // the description, the fixture text or nothing, Windows-1252
    bool editable = false;
};

// nullopt when the file cannot be opened, is shorter than a header or breaks the length rule.
std::optional<Shown> ReadShown(const std::string& path);

// What the user is told when the description cannot be written because the file is read-only.
inline constexpr const char* kWriteProtectedText = "File is write protected !";

// A data file opened for reading and writing to have its description rewritten; closed when the
// object goes.
class DescriptionUpdate {
public:
    explicit DescriptionUpdate(const std::string& path);
    ~DescriptionUpdate();
    DescriptionUpdate(const DescriptionUpdate&) = delete;
    DescriptionUpdate& operator=(const DescriptionUpdate&) = delete;

    bool Opened() const { return handle_ != file::kNoHandle; }
    // A read-only file and a read-only medium are the same to the user: the file cannot be written.
    bool WriteProtected() const;
    // Its header read whole and its length kept to the rule: a field may be written.
    bool WellFormed() const { return wellFormed_; }

    // Writes the edited text (its lines, each followed by CR LF) into the description field and
    // nothing else; false when the file is not well formed or the write failed.
    bool Store(const std::string& editedText);

private:
    // In this order: opening the handle sets the failure, and the header is read through it.
    file::Failure failure_ = file::Failure::None;
    int handle_ = file::kNoHandle;
    bool wellFormed_ = false;
};

} // namespace olk::describedfile
