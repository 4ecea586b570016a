#pragma once
// The fixtures manager as the operations see it, recording into the views' log.
#include "fixtures/fixturesview.h"
#include "tests/support/recordingviews.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olk::test {

class RecordingFixtures : public FixturesView {
public:
    explicit RecordingFixtures(RecordingViews& views) : views_(views) {}

    void ClearList() override { names.clear(); }
    void AddListedName(const std::string& name) override;
    void SetNumberFixtures(const std::string& caption) override { numberFixtures = caption; }
    void SetFreeMemoryCaption(const std::string& caption) override { freeMemory = caption; }
    void SetAddEnabled(bool enabled) override { addEnabled = enabled; }
    void SetDeskFreeMemory(int32_t bytes) override { deskFree = bytes; }
    int32_t DeskFreeMemory() const override { return deskFree; }
    bool ListHasName(const std::string& name) const override;
    void HoldDownloadedFixture(std::vector<uint8_t> fixture) override { downloaded = std::move(fixture); }
    void FreeDownloadedFixture() override;
    void AddDescriptionLine(const std::string& text) override { memo.push_back(text); }
    void SetRemoveAndSaveEnabled(bool enabled) override { removeAndSaveEnabled = enabled; }
    void ShowWindow() override { shown = true; }

    std::vector<std::string> names;
    std::string numberFixtures;
    std::string freeMemory;
    bool addEnabled = false;
    int32_t deskFree = -1;
    std::vector<uint8_t> downloaded;
    std::vector<std::string> memo;
    bool removeAndSaveEnabled = false;
    bool shown = false;

private:
    RecordingViews& views_;
};

} // namespace olk::test
