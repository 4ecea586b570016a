#pragma once
// An operation thread whose body a test writes, with access to what a real operation uses: the
// handshake, the file handle, the retry budget and the report at the end.
#include "link/protocollomixer.h"

#include <functional>

namespace olk::test {

class TestOperation final : public ProtocolloMixer {
public:
    using Body = std::function<void(TestOperation& self)>;

    TestOperation(std::string portName, uint32_t baud, const DisplayTargets& targets, const Views& views, Body body)
        : ProtocolloMixer(std::move(portName), baud, targets, views), body_(std::move(body))
    {
        progressText_ = kTransmittingText;
    }

    const char* ClassName() const override { return "TestOperation"; }

    // Stores the argument as the file name and opens it for reading.
    int Prepare(const std::string& argument) override
    {
        fileName_ = argument;
        fileHandle_ = file::Open(argument, file::OpenMode::ReadOnly);
        return fileHandle_ != file::kNoHandle;
    }

    void Connect(const uint8_t* command, uint32_t length) { ProtocolloMixer::Connect(command, length); }
    int FileHandle() const { return fileHandle_; }
    void ShowProgressNow() { Synchronize([this] { ShowProgress(); }); }

    int budget = kRetryBudget;

protected:
    void Execute() override { ReportEnd(Guarded([this] { body_(*this); })); }

private:
    Body body_;
};

} // namespace olk::test
