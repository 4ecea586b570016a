#pragma once
// The fixtures manager of the terminal: it holds what the fixture operations write into the
// window (the list, its count, the desk's free memory, the downloaded fixture and its text), for
// the commands to print or save once an operation has ended.
#include "fixtures/fixturesview.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olk::cli {

class TerminalFixtures final : public FixturesView {
public:
    void ClearList() override;
    void AddListedName(const std::string& name) override { names_.push_back(name); }
    void SetNumberFixtures(const std::string& caption) override { numberFixtures_ = caption; }
    void SetFreeMemoryCaption(const std::string& caption) override { freeMemoryCaption_ = caption; }
    void SetAddEnabled(bool) override {}
    void SetDeskFreeMemory(int32_t bytes) override { deskFreeMemory_ = bytes; }
    int32_t DeskFreeMemory() const override { return deskFreeMemory_; }
    // As the window's list box finds a name: whole text, letter case ignored.
    bool ListHasName(const std::string& name) const override;
    void HoldDownloadedFixture(std::vector<uint8_t> fixture) override { downloaded_ = std::move(fixture); }
    void FreeDownloadedFixture() override { downloaded_.clear(); }
    void AddDescriptionLine(const std::string& text) override { fixtureText_ = text; }
    void SetRemoveAndSaveEnabled(bool) override {}
    void ShowWindow() override {}

    // The names as the window's list box sorts them: by their text, letter case ignored.
    std::vector<std::string> SortedNames() const;
    const std::string& NumberFixtures() const { return numberFixtures_; }
    const std::string& FreeMemoryCaption() const { return freeMemoryCaption_; }
    // Empty while no fixture is held.
    const std::vector<uint8_t>& Downloaded() const { return downloaded_; }
    const std::string& FixtureText() const { return fixtureText_; }

private:
    std::vector<std::string> names_;
    std::string numberFixtures_;
    std::string freeMemoryCaption_;
    int32_t deskFreeMemory_ = -1;
    std::vector<uint8_t> downloaded_;
    std::string fixtureText_;
};

} // namespace olk::cli
