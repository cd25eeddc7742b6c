#pragma once
// "Receive from MS2000": asks an MS2000 for its current program or all 128 programs and waits for
// the answer without ever holding up the window. A timer polls the input, so the progress bar
// moves and Cancel works at any time.
//
// The request goes out on the output beside the chosen input (see MidiState::Connect); both are
// opened at the first Receive or Find and kept until the dialog closes. "Find"
// asks who answers with the device inquiry and takes the channel an MS2000 answered on. The
// dialog is accepted only with a whole answer; a failure is explained in a message box and the
// dialog stays open to try again. Its choices are kept in the settings.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/MidiState.h"
#include "app/Seams.h"
#include "synth/Conversation.h"
#include "synth/DeviceInquiry.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace patchferry {

class SettingsStore;

// What the window knows when the dialog opens: the MIDI bar's port and channel (1..16, or 0 when
// none is chosen).
struct ReceiveStart {
    midi::MidiPortInfo barPort;
    int barChannel = 0;
};

class ReceiveDialog : public QDialog {
    Q_OBJECT
  public:
    // How often the input is looked at: the progress bar moves at least this often.
    static constexpr int kPollMilliseconds = 50;

    ReceiveDialog(MidiState& midi, MessageBoxSeam& boxes, SettingsStore& settings,
                  const ReceiveStart& start, QWidget* parent = nullptr);
    ~ReceiveDialog() override;

    void SetTimeouts(const synth::ReceiveTimeouts& timeouts) { timeouts_ = timeouts; }
    void SetSendTimeout(std::chrono::milliseconds timeout) { sendTimeout_ = timeout; }

    // The whole answer, F0 to F7, once the dialog was accepted.
    const std::vector<std::uint8_t>& Answer() const { return answer_; }
    bool Busy() const { return conversation_ && conversation_->Current() != synth::Task::None; }

    // The controls, for tests.
    QComboBox* InputList() const { return inputList_; }
    QRadioButton* CurrentButton() const { return currentButton_; }
    QRadioButton* AllButton() const { return allButton_; }
    QComboBox* ChannelList() const { return channelList_; }
    QPushButton* FindButton() const { return findButton_; }
    QPushButton* ReceiveButton() const { return receiveButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    QProgressBar* Progress() const { return progress_; }
    QLabel* Status() const { return status_; }

    void reject() override;
    void done(int result) override;

  private:
    void FillInputs(const ReceiveStart& start);
    void RestoreChoices(const ReceiveStart& start);
    void SaveChoices();
    bool Connect();
    void OnReceive();
    void OnFind();
    void OnPoll();
    void FinishReceive();
    void FinishFind();
    void StopTask(const QString& status);
    void SetBusy(bool busy);
    void ShowIdleProgress();
    synth::ReceiveWhat ChosenWhat() const;
    int ChosenChannel() const;  // 1..16
    void ShowMessage(MessageIcon icon, const QString& text);

    MidiState& midi_;
    MessageBoxSeam& boxes_;
    SettingsStore& settings_;
    std::vector<midi::MidiPortInfo> inputs_;
    QString listingError_;
    synth::ReceiveTimeouts timeouts_;
    std::chrono::milliseconds sendTimeout_ = midi::kSendTimeout;

    std::unique_ptr<synth::Conversation> conversation_;
    std::vector<std::uint8_t> answer_;

    QComboBox* inputList_;
    QRadioButton* currentButton_;
    QRadioButton* allButton_;
    QComboBox* channelList_;
    QPushButton* findButton_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* receiveButton_;
    QPushButton* cancelButton_;
    QTimer* poll_;
};

}  // namespace patchferry
