#include "app/messagedialogs.h"

#include "link/dialogmessage.h"
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
    std::vector<std::pair<QPushButton*, int>> answers;
    for (const DialogButton& button : ButtonsOf(buttons))
        answers.emplace_back(box.addButton(button.caption, QMessageBox::ActionRole), button.answer);
    box.exec();
    for (const auto& [button, answer] : answers)
        if (box.clickedButton() == button)
            return answer;
    return 0;
}

} // namespace olk
