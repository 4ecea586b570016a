#pragma once
// The system's messages as modal Qt message boxes: the kind gives the caption and icon, the
// buttons read "OK", "&Yes" and "&No", and Yes and No answer 6 and 7.
#include "link/views.h"

class QWidget;

namespace olk {

class QtMessageDialogs : public MessageDialogs {
public:
    explicit QtMessageDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    int Show(const std::string& text, DialogKind kind, DialogButtons buttons) override;

private:
    QWidget* parent_;
};

} // namespace olk
