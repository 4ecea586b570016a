#pragma once
// Reads the desk's model name and firmware release: the model from the handshake answer, the
// release from the header of the fixture list, whose blocks are then read to the end unused.
#include "userdata/backupuserdata.h"

namespace olk {

class GetInfo final : public BackupUserData {
public:
    using BackupUserData::BackupUserData;

    const char* ClassName() const override { return "GetInfo"; }
    int Prepare(const std::string& argument) override;

protected:
    void Execute() override;
};

} // namespace olk
