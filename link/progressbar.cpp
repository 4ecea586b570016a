#include "link/progressbar.h"

#include "link/protocollomixer.h"
#include "platform/ansitext.h"
#include "ui_progressbar.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace olk {

TProgressione::TProgressione(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TProgressione>())
{
    ui_->setupUi(this);
    setFixedSize(size());
    connect(ui_->Button1, &QPushButton::clicked, this, &TProgressione::Button1Click);
}

TProgressione::~TProgressione() = default;

void TProgressione::AttachThread(ProtocolloMixer* thread)
{
    thread_ = thread;
}

void TProgressione::Button1Click()
{
    if (thread_)
        thread_->Terminate();
}

void TProgressione::SetCaption(const std::string& text)
{
    setWindowTitle(QString::fromStdString(AnsiToUtf8(text)));
}

void TProgressione::SetPosition(int position)
{
    ui_->ProgressBar1->setValue(position);
}

void TProgressione::SetBarVisible(bool visible)
{
    ui_->ProgressBar1->setVisible(visible);
}

void TProgressione::SetCancelVisible(bool visible)
{
    ui_->Button1->setVisible(visible);
}

void TProgressione::Show()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
}

void TProgressione::Hide()
{
    hide();
}

void TProgressione::Repaint()
{
    repaint();
}

int TProgressione::Position() const
{
    return ui_->ProgressBar1->value();
}

bool TProgressione::CancelVisible() const
{
    return ui_->Button1->isVisibleTo(this);
}

// Neither the frame nor Escape closes the window: only the operation hides it.
void TProgressione::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TProgressione::reject() {}

} // namespace olk
