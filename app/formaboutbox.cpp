#include "app/formaboutbox.h"

#include "ui_formaboutbox.h"

namespace olk {

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TAboutBox>())
{
    ui_->setupUi(this);
    setFixedSize(size());
}

TAboutBox::~TAboutBox() = default;

} // namespace olk
