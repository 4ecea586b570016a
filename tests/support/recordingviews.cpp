#include "tests/support/recordingviews.h"

namespace olk::test {
namespace {

const char* CursorName(Cursor cursor)
{
    switch (cursor) {
    case Cursor::Arrow: return "arrow";
    case Cursor::HourGlass: return "hourglass";
    case Cursor::AppStart: return "appstart";
    }
    return "?";
}

} // namespace

struct RecordingViews::Caption : CaptionView {
    Caption(RecordingViews& views, std::string name, std::string& value) : views(views), name(std::move(name)), value(value) {}
    void SetCaption(const std::string& text) override
    {
        value = text;
        views.Record(name + "=" + text);
    }
    RecordingViews& views;
    std::string name;
    std::string& value;
};

struct RecordingViews::Bar : BaudBarView {
    explicit Bar(RecordingViews& views) : views(views) {}
    void SetTop(int top) override
    {
        views.baudBarTop = top;
        views.Record("greenBar.top=" + std::to_string(top));
    }
    RecordingViews& views;
};

struct RecordingViews::Window : MainWindowView {
    explicit Window(RecordingViews& views) : views(views) {}
    void Repaint() override { views.Record("mainWindow.repaint"); }
    void SetRelease(const std::string& text) override
    {
        views.release = text;
        views.Record("release=" + text);
    }
    void ClearChainFlag() override
    {
        views.chainCleared = true;
        views.Record("chain.clear");
    }
    void SetRefreshListFlag() override
    {
        views.refreshListFlag = true;
        views.Record("refreshList");
    }
    void ShowReceivedDescription(const std::string& text) override
    {
        views.receivedDescription = text;
        views.Record("receivedDescription=" + text);
    }
    void PrepareDescriptionEditor(int fileHandle, const std::string& description) override
    {
        views.editorHandle = fileHandle;
        views.Record("editor.prepare=" + description);
    }
    void ShowDescriptionEditor() override
    {
        views.Record("editor.show");
        if (views.onEditDescription)
            views.onEditDescription(views.editorHandle);
    }
    void FreeDescriptionEditor() override { views.Record("editor.free"); }
    void PostOperationEnded() override
    {
        views.loop.Post([this] {
            ++views.endedNotices;
            views.Record("ended");
            views.loop.Quit();
        });
    }
    RecordingViews& views;
};

struct RecordingViews::Progress : ProgressView {
    explicit Progress(RecordingViews& views) : views(views) {}
    void AttachThread(ProtocolloMixer* thread) override { views.attached = thread; }
    void SetCaption(const std::string& text) override { views.Record("progress.caption=" + text); }
    void SetPosition(int position) override
    {
        views.progressPosition = position;
        views.Record("progress.position=" + std::to_string(position));
    }
    void SetBarVisible(bool) override {}
    void SetCancelVisible(bool) override {}
    void Show() override
    {
        views.progressVisible = true;
        views.Record("progress.show");
    }
    void Hide() override
    {
        views.progressVisible = false;
        views.Record("progress.hide");
    }
    void Repaint() override {}
    RecordingViews& views;
};

struct RecordingViews::Cursors : CursorView {
    explicit Cursors(RecordingViews& views) : views(views) {}
    void SetCursor(Cursor cursor) override { views.Record(std::string("cursor=") + CursorName(cursor)); }
    RecordingViews& views;
};

RecordingViews::RecordingViews()
    : mixerNameView_(std::make_shared<Caption>(*this, "mixerName", mixerName)),
      baudValueView_(std::make_shared<Caption>(*this, "baudValue", baudValue)),
      barView_(std::make_shared<Bar>(*this)),
      windowView_(std::make_shared<Window>(*this)),
      progressView_(std::make_shared<Progress>(*this)),
      cursorView_(std::make_shared<Cursors>(*this))
{
    dialogs.onShow = [this](const std::string& entry) { Record("dialog " + entry); };
}

DisplayTargets RecordingViews::Targets()
{
    return DisplayTargets{*mixerNameView_, *windowView_, *barView_, *baudValueView_};
}

Views RecordingViews::AsViews()
{
    return Views{loop, *progressView_, dialogs, *cursorView_};
}

bool RecordingViews::RunUntilEnded(std::chrono::milliseconds timeout)
{
    return loop.Run(timeout);
}

void RecordingViews::PressCancel()
{
    loop.Post([this] {
        Record("cancel");
        if (attached)
            attached->Terminate();
    });
}

void RecordingViews::Record(const std::string& entry)
{
    log.push_back(entry);
    if (onRecord)
        onRecord(entry);
}

std::vector<std::string> RecordingViews::Matching(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const auto& entry : log)
        if (entry.rfind(prefix, 0) == 0)
            found.push_back(entry);
    return found;
}

} // namespace olk::test
