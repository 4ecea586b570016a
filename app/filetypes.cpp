#include "app/filetypes.h"

namespace olk {

void RegisterOlkFileTypes(FileAssociations& associations)
{
    for (const FileType& type : kOlkFileTypes)
        associations.RegisterFileType(type);
    associations.Publish();
}

} // namespace olk
