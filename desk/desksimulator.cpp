#include "desk/desksimulator.h"

#include "desk/blockexchange.h"
#include "desk/commandreader.h"
#include "desk/deskstate.h"
#include "desk/ptyline.h"
#include "link/commands.h"
#include "link/datablock.h"
#include "link/littleendian.h"
#include "userdata/datafile.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <thread>

#include <sys/prctl.h>

namespace olk::desk {

namespace {

using Direction = TranscriptEntry::Direction;

// The most a PC may send in one transfer; a header announcing more ends the transfer.
constexpr std::size_t kLargestImage = 16 * 1024 * 1024;
constexpr std::size_t kBaudValueSize = 4;
constexpr std::size_t kHandshakeSize = 3;
constexpr std::size_t kFreeMemorySize = 4;
constexpr std::size_t kMostBytesPerRead = 512;

} // namespace

class DeskSimulator::Impl {
public:
    explicit Impl(DeskConfig config);
    ~Impl();

    const std::string& DevicePath() const { return line_.DevicePath(); }
    const desk::Transcript& Log() const { return line_.Log(); }
    desk::Transcript& Log() { return line_.Log(); }
    uint32_t Rate() const { return line_.DeskRate(); }

    void SetFaults(const Faults& faults);
    void SetFirmwareVerdict(std::optional<uint8_t> verdict);

    template <typename Reader> auto Read(Reader reader) const
    {
        std::lock_guard lock(mutex_);
        return reader(static_cast<const DeskState&>(state_));
    }

private:
    // What one command runs with: the faults and the verdict as they stood when it arrived.
    struct Orders {
        Faults faults;
        std::optional<uint8_t> firmwareVerdict;
    };

    void Run();
    Command AwaitCommand();
    Orders CurrentOrders() const;
    void Serve(Command command, const Orders& orders);

    void SendHandshake(const Faults& faults);
    std::optional<uint32_t> SwitchRate(const Faults& faults);
    void SendImage(const Faults& faults, uint32_t announcedRate, const std::vector<uint8_t>& image);
    std::optional<std::vector<uint8_t>> ReceiveImage(const Faults& faults);
    std::optional<std::string> ReceiveFixtureName();

    void UpdateFirmware(const Orders& orders);
    void SendUserData(const Faults& faults);
    void ReceiveUserData(const Faults& faults);
    void SendFixtureList(const Faults& faults);
    void SendFixture(const Faults& faults);
    void ReceiveFixture(const Faults& faults);
    void AnswerFreeMemory(const Faults& faults);
    void AnswerRemoval();

    template <typename Change> auto Modify(Change change)
    {
        std::lock_guard lock(mutex_);
        return change(state_);
    }

    const DeskConfig config_;
    const std::chrono::milliseconds idleLimit_;
    mutable std::mutex mutex_; // guards state_, faults_ and firmwareVerdict_
    DeskState state_;
    Faults faults_;
    std::optional<uint8_t> firmwareVerdict_;
    PtyLine line_;
    CommandReader commands_;
    std::thread worker_;
};

DeskSimulator::Impl::Impl(DeskConfig config)
    : config_(std::move(config)),
      idleLimit_(config_.transferIdleResetMs),
      state_(config_),
      faults_(config_.faults),
      firmwareVerdict_(config_.firmwareVerdict),
      line_(config_.pace),
      worker_([this] { Run(); })
{
}

DeskSimulator::Impl::~Impl()
{
    line_.RequestStop();
    worker_.join();
}

void DeskSimulator::Impl::SetFaults(const Faults& faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

void DeskSimulator::Impl::SetFirmwareVerdict(std::optional<uint8_t> verdict)
{
    std::lock_guard lock(mutex_);
    firmwareVerdict_ = verdict;
}

void DeskSimulator::Impl::Run()
{
    // Paced, the line's times hold to the microsecond; the kernel's default timer slack would
    // add up to 50 µs to every wait.
    if (config_.pace)
        prctl(PR_SET_TIMERSLACK, 1UL);
    try {
        for (;;) {
            Command command = AwaitCommand();
            Serve(command, CurrentOrders());
            line_.SetDeskRate(PtyLine::kIdleRate); // every transfer, however it ended, leaves the desk idle
        }
    } catch (const LineStopped&) {
    } catch (const std::exception&) {
        // The pseudo-terminal itself failed: the desk falls silent rather than taking the
        // program down.
    }
}

Command DeskSimulator::Impl::AwaitCommand()
{
    for (;;) {
        std::vector<uint8_t> heard = line_.ReadSome(kMostBytesPerRead, std::nullopt);
        for (std::size_t i = 0; i < heard.size(); ++i) {
            if (std::optional<Command> command = commands_.Feed(heard[i])) {
                line_.Unread(std::span(heard).subspan(i + 1));
                return *command;
            }
        }
    }
}

DeskSimulator::Impl::Orders DeskSimulator::Impl::CurrentOrders() const
{
    std::lock_guard lock(mutex_);
    return Orders{faults_, firmwareVerdict_};
}

void DeskSimulator::Impl::Serve(Command command, const Orders& orders)
{
    const Faults& faults = orders.faults;
    if (faults.silent)
        return;
    switch (command) {
    case Command::Firmware: UpdateFirmware(orders); break;
    case Command::Backup: SendUserData(faults); break;
    case Command::Restore: ReceiveUserData(faults); break;
    case Command::FixtureList: SendFixtureList(faults); break;
    case Command::GetFixture: SendFixture(faults); break;
    case Command::AddFixture: ReceiveFixture(faults); break;
    case Command::FreeMemory: AnswerFreeMemory(faults); break;
    case Command::RemoveFixture: AnswerRemoval(); break;
    }
}

void DeskSimulator::Impl::SendHandshake(const Faults& faults)
{
    const std::array<uint8_t, kHandshakeSize> answer{faults.handshakeLead.value_or(command::kHandshakeLead),
                                                     config_.modelCode, config_.subCode};
    line_.Write(std::span(answer).first(std::min(faults.handshakeLength, kHandshakeSize)));
}

// The handshake of every transfer but the firmware's: answer, read the PC's rate, take it on.
// Returns the rate the PC announced, or none when the exchange ends here.
std::optional<uint32_t> DeskSimulator::Impl::SwitchRate(const Faults& faults)
{
    SendHandshake(faults);
    std::vector<uint8_t> value = line_.ReadExactly(kBaudValueSize, idleLimit_);
    if (value.size() < kBaudValueSize || faults.silentAfterBaudValue)
        return std::nullopt;
    const uint32_t rate = ReadDWord(value.data(), 0);
    if (!faults.ignoreRateSwitch)
        line_.SetDeskRate(rate);
    return rate;
}

void DeskSimulator::Impl::SendImage(const Faults& faults, uint32_t announcedRate, const std::vector<uint8_t>& image)
{
    // The PC changes its speed a few milliseconds after announcing it. The desk lets it, as a
    // real one does, so the first block meets a PC that did switch; one that did not (or a desk
    // told to ignore the switch) gets garbage once the wait runs out.
    line_.AwaitPcRate(announcedRate, std::chrono::milliseconds(config_.switchSettleMs));
    if (!faults.wrongDataSum && faults.announcedRecords < 0) {
        BlockExchange(line_, faults, idleLimit_).Send(image);
        return;
    }
    std::vector<uint8_t> lying = image;
    if (faults.wrongDataSum)
        WriteDWord(lying.data(), datafile::kChecksumOffset, ReadDWord(lying.data(), datafile::kChecksumOffset) + 1);
    if (faults.announcedRecords >= 0)
        WriteDWord(lying.data(), datafile::kRecordCountOffset, static_cast<uint32_t>(faults.announcedRecords));
    BlockExchange(line_, faults, idleLimit_).Send(lying);
}

std::optional<std::vector<uint8_t>> DeskSimulator::Impl::ReceiveImage(const Faults& faults)
{
    return BlockExchange(line_, faults, idleLimit_).Receive(kLargestImage);
}

std::optional<std::string> DeskSimulator::Impl::ReceiveFixtureName()
{
    std::vector<uint8_t> name = line_.ReadExactly(command::kFixtureNameSize, idleLimit_);
    if (name.size() < command::kFixtureNameSize)
        return std::nullopt;
    return FixtureKey(std::string(name.begin(), name.end()));
}

void DeskSimulator::Impl::UpdateFirmware(const Orders& orders)
{
    SendHandshake(orders.faults);
    Modify([](DeskState& state) { state.StartFirmware(); });
    const Faults& faults = orders.faults;
    bool stalled = faults.firmwareStallAt < 0;
    for (std::size_t received = 0; received < command::kFirmwareImageSize;) {
        std::size_t wanted = command::kFirmwareImageSize - received;
        if (!stalled)
            wanted = std::min(wanted, static_cast<std::size_t>(faults.firmwareStallAt) - received);
        std::vector<uint8_t> bytes = line_.ReadSome(wanted, PtyLine::Clock::now() + idleLimit_);
        if (bytes.empty())
            return; // the PC stopped sending: a part image earns no verdict
        Modify([&](DeskState& state) { state.AppendFirmware(bytes); });
        received += bytes.size();
        if (!stalled && received >= static_cast<std::size_t>(faults.firmwareStallAt)) {
            // The line backs up meanwhile, so the PC's writes are taken only in part.
            std::this_thread::sleep_for(std::chrono::milliseconds(faults.firmwareStallMs));
            stalled = true;
        }
    }
    if (orders.firmwareVerdict)
        line_.Write(std::span(&*orders.firmwareVerdict, 1));
}

void DeskSimulator::Impl::SendUserData(const Faults& faults)
{
    if (std::optional<uint32_t> rate = SwitchRate(faults))
        SendImage(faults, *rate, Read([](const DeskState& state) {
                      return OutgoingImage(state.UserData());
                  }));
}

void DeskSimulator::Impl::ReceiveUserData(const Faults& faults)
{
    if (!SwitchRate(faults))
        return;
    if (std::optional<std::vector<uint8_t>> image = ReceiveImage(faults))
        Modify([&](DeskState& state) { state.ReplaceUserData(std::move(*image)); });
}

void DeskSimulator::Impl::SendFixtureList(const Faults& faults)
{
    if (std::optional<uint32_t> rate = SwitchRate(faults))
        SendImage(faults, *rate,
                  Read([](const DeskState& state) { return state.FixtureListImage(); }));
}

void DeskSimulator::Impl::SendFixture(const Faults& faults)
{
    std::optional<uint32_t> rate = SwitchRate(faults);
    if (!rate)
        return;
    if (std::optional<std::string> name = ReceiveFixtureName())
        SendImage(faults, *rate,
                  Read([&](const DeskState& state) { return state.FixtureImage(*name); }));
}

void DeskSimulator::Impl::ReceiveFixture(const Faults& faults)
{
    if (!SwitchRate(faults))
        return;
    if (std::optional<std::vector<uint8_t>> image = ReceiveImage(faults))
        Modify([&](DeskState& state) { state.StoreFixture(std::move(*image)); });
}

void DeskSimulator::Impl::AnswerFreeMemory(const Faults& faults)
{
    if (faults.silentFreeMemory)
        return;
    std::array<uint8_t, kFreeMemorySize> answer{};
    WriteDWord(answer.data(), 0, Read([](const DeskState& state) { return state.FreeMemory(); }));
    line_.Write(std::span(answer).first(std::min(faults.freeMemoryLength, kFreeMemorySize)));
}

void DeskSimulator::Impl::AnswerRemoval()
{
    std::optional<std::string> name = ReceiveFixtureName();
    if (!name)
        return;
    // A desk told what to answer answers that and leaves its library alone.
    const uint8_t answer = config_.removeAnswer ? *config_.removeAnswer : Modify([&](DeskState& state) {
        return state.RemoveFixture(*name) == Removal::Removed ? kAck : kNak;
    });
    line_.Write(std::span(&answer, 1));
}

DeskSimulator::DeskSimulator(DeskConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {}

DeskSimulator::~DeskSimulator() = default;

const std::string& DeskSimulator::DevicePath() const
{
    return impl_->DevicePath();
}

void DeskSimulator::SetFaults(const Faults& faults)
{
    impl_->SetFaults(faults);
}

void DeskSimulator::SetFirmwareVerdict(std::optional<uint8_t> verdict)
{
    impl_->SetFirmwareVerdict(verdict);
}

std::vector<TranscriptEntry> DeskSimulator::Transcript() const
{
    return impl_->Log().Entries();
}

std::vector<uint8_t> DeskSimulator::BytesFromPc() const
{
    return impl_->Log().Bytes(Direction::PcToDesk);
}

std::vector<uint8_t> DeskSimulator::BytesToPc() const
{
    return impl_->Log().Bytes(Direction::DeskToPc);
}

void DeskSimulator::ClearTranscript()
{
    impl_->Log().Clear();
}

uint32_t DeskSimulator::Rate() const
{
    return impl_->Rate();
}

std::vector<uint8_t> DeskSimulator::UserData() const
{
    return impl_->Read([](const DeskState& state) { return state.UserData(); });
}

std::vector<Fixture> DeskSimulator::Fixtures() const
{
    return impl_->Read([](const DeskState& state) { return state.Fixtures(); });
}

uint32_t DeskSimulator::FreeMemory() const
{
    return impl_->Read([](const DeskState& state) { return state.FreeMemory(); });
}

std::vector<uint8_t> DeskSimulator::ReceivedFirmware() const
{
    return impl_->Read([](const DeskState& state) { return state.Firmware(); });
}

} // namespace olk::desk
