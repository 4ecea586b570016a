#pragma once
// Names the program and tells where technical help is found. Shown modally from Help > About.
#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace olk {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);
    ~TAboutBox() override;

private:
    std::unique_ptr<Ui::TAboutBox> ui_;
};

} // namespace olk
