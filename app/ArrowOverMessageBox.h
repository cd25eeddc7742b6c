#pragma once
// Message boxes without the wait cursor: the wait cursor belongs to the work in progress, not to
// the box that interrupts it. Wraps the boxes the window was given.

#include "app/Seams.h"
#include "app/WaitCursor.h"

namespace patchferry {

class ArrowOverMessageBox final : public MessageBoxSeam {
  public:
    explicit ArrowOverMessageBox(MessageBoxSeam& boxes) : boxes_(boxes) {}

    void Show(QWidget* owner, MessageIcon icon, const QString& text) override {
        const ArrowWhileWaiting arrow;
        boxes_.Show(owner, icon, text);
    }
    bool Ask(QWidget* owner, const QString& text) override {
        const ArrowWhileWaiting arrow;
        return boxes_.Ask(owner, text);
    }
    SaveChoice AskSave(QWidget* owner, const QString& text) override {
        const ArrowWhileWaiting arrow;
        return boxes_.AskSave(owner, text);
    }

  private:
    MessageBoxSeam& boxes_;
};

}  // namespace patchferry
