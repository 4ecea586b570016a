#pragma once
// The firmware update: Prepare turns the .hex file into the checked 64 KiB image before the desk
// is greeted; the thread then streams the image at 9600 baud in pieces of at most 512 bytes and
// reads the desk's one confirmation byte.
#include "link/protocollomixer.h"

namespace olk {

class AggiornaFirmware final : public ProtocolloMixer {
public:
    // The update always runs at 9600 baud, whatever rate the window asks for.
    AggiornaFirmware(std::string portName, const DisplayTargets& targets, const Views& views);

    const char* ClassName() const override { return "AggiornaFirmware"; }
    int Prepare(const std::string& path) override;

    const std::vector<uint8_t>& Image() const { return buffer_; }

protected:
    void Execute() override;

private:
    void ReadFirmwareFile(const std::string& path);
    void SendImage();
    int Confirmation();
};

} // namespace olk
