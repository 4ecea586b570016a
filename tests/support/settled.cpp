#include "tests/support/settled.h"

#include <chrono>
#include <thread>

namespace olk::test {

std::vector<uint8_t> SettledBytesFromPc(const desk::DeskSimulator& desk)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kQuiet = std::chrono::milliseconds(60);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    auto bytes = desk.BytesFromPc();
    auto lastChange = Clock::now();
    while (Clock::now() - lastChange < kQuiet && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        auto now = desk.BytesFromPc();
        if (now.size() != bytes.size()) {
            bytes = std::move(now);
            lastChange = Clock::now();
        }
    }
    return bytes;
}

bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace olk::test
