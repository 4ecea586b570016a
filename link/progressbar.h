#pragma once
// The progress window: the operation's progress text as its caption, a bar from 0 to 100 and a
// Cancel button that asks the attached operation thread to stop. It cannot be closed by the user;
// only the operation hides it.
#include "link/views.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TProgressione;
}

namespace olk {

class TProgressione : public QDialog, public ProgressView {
    Q_OBJECT
public:
    explicit TProgressione(QWidget* owner);
    ~TProgressione() override;

    void AttachThread(ProtocolloMixer* thread) override;
    void SetCaption(const std::string& text) override;
    void SetPosition(int position) override;
    void SetBarVisible(bool visible) override;
    void SetCancelVisible(bool visible) override;
    void Show() override;
    void Hide() override;
    void Repaint() override;

    int Position() const;
    bool CancelVisible() const;

public slots:
    void Button1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    std::unique_ptr<Ui::TProgressione> ui_;
    ProtocolloMixer* thread_ = nullptr;
};

} // namespace olk
