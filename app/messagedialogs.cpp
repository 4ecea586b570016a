#include "app/messagedialogs.h"

#include "platform/ansitext.h"

#include <QMessageBox>
#include <QPushButton>

namespace olk {
namespace {

struct KindLook {
    const char* caption;
    QMessageBox::Icon icon;
};

KindLook LookOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Warning: return {"Warning", QMessageBox::Warning};
    case DialogKind::Error: return {"Error", QMessageBox::Critical};
    case DialogKind::Information: return {"Information", QMessageBox::Information};
    case DialogKind::Confirmation: return {"Confirm", QMessageBox::Question};
    }
    return {"", QMessageBox::NoIcon};
}

} // namespace

int QtMessageDialogs::Show(const std::string& text, DialogKind kind, DialogButtons buttons)
{
    const KindLook look = LookOf(kind);
    QMessageBox box(look.icon, look.caption, QString::fromStdString(AnsiToUtf8(text)), QMessageBox::NoButton, parent_);
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    if (buttons == DialogButtons::Ok) {
        box.addButton("OK", QMessageBox::AcceptRole);
    } else {
        yes = box.addButton("&Yes", QMessageBox::YesRole);
        if (buttons == DialogButtons::YesNo)
            no = box.addButton("&No", QMessageBox::NoRole);
    }
    box.exec();
    if (yes && box.clickedButton() == yes)
        return kAnswerYes;
    if (no && box.clickedButton() == no)
        return kAnswerNo;
    return 0;
}

} // namespace olk
