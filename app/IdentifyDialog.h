#pragma once
// "Identify Synth" while it asks: the device inquiry runs on a timer, so the window never waits
// on the wire, and Cancel stops it at once. Accepted when the inquiry has ended, with whatever
// answered (maybe nothing), or when a request could not be sent (Error() says why).

#include <QDialog>
#include <string>

#include "synth/Conversation.h"

class QTimer;

namespace patchferry {

class IdentifyDialog : public QDialog {
    Q_OBJECT
  public:
    IdentifyDialog(synth::Conversation& conversation, QWidget* parent = nullptr);

    const std::vector<synth::DeviceIdentity>& Answers() const {
        return conversation_.Finder().Answers();
    }
    const std::string& Error() const { return error_; }

    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    void OnPoll();

    synth::Conversation& conversation_;
    bool started_ = false;
    std::string error_;
    QTimer* poll_;
};

}  // namespace patchferry
