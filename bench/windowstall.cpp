#include "bench/windowstall.h"

#include "app/mainmixer.h"
#include "link/progressbar.h"
#include "tests/support/recordingdialogs.h"
#include "ui_mainmixer.h"

#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <set>

namespace olk::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTickInterval = std::chrono::milliseconds(1);
constexpr auto kSettleTime = std::chrono::milliseconds(300);

// Ticks on the user-interface thread from Start until the operation has ended and gone.
class StallWatch {
public:
    explicit StallWatch(TOLKmixer& window) : window_(window)
    {
        ticker_.setTimerType(Qt::PreciseTimer);
        ticker_.setInterval(kTickInterval);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { Tick(); });
    }

    WindowFigures Run()
    {
        const auto start = Clock::now();
        lastTick_ = start;
        ticker_.start();
        QTimer::singleShot(0, &window_, [this] {
            window_.StartClick();
            started_ = true;
        });
        loop_.exec();
        figures_.wall = Clock::now() - start;
        figures_.progressSteps = static_cast<int>(positions_.size());
        return figures_;
    }

private:
    void Tick()
    {
        const auto now = Clock::now();
        figures_.longestStall = std::max<std::chrono::duration<double>>(figures_.longestStall,
                                                                       now - lastTick_ - kTickInterval);
        lastTick_ = now;
        ++figures_.ticks;
        positions_.insert(window_.Progress()->Position());
        if (started_ && window_.CurrentOperation() == nullptr) {
            ticker_.stop();
            loop_.quit();
        }
    }

    TOLKmixer& window_;
    QTimer ticker_;
    QEventLoop loop_;
    Clock::time_point lastTick_;
    bool started_ = false;
    std::set<int> positions_;
    WindowFigures figures_;
};

} // namespace

WindowFigures BackupInTheWindow(uint32_t rate, const std::string& path)
{
    test::RecordingDialogs dialogs; // answers No to the edit question
    MainWindowStart start;
    start.dialogs = &dialogs;
    start.f12Held = [] { return false; };
    TOLKmixer window(start);
    window.show();
    // The window has painted itself for the first time long before a user can press Start.
    QEventLoop settle;
    QTimer::singleShot(kSettleTime, &settle, &QEventLoop::quit);
    settle.exec();
    window.SelectOperation(TOLKmixer::kBackupUserData);
    QComboBox& rates = *window.Form().ListaBaudRate;
    for (int item = 0; item < rates.count() && window.SelectedBaudRate() != rate; ++item)
        rates.setCurrentIndex(item);
    window.Form().ReceiveFileEdit->setText(QString::fromStdString(path));
    WindowFigures figures = StallWatch(window).Run();
    if (!dialogs.shown.empty())
        figures.lastMessage = dialogs.shown.back();
    return figures;
}

} // namespace olk::bench
