#include "app/ReceiveDialog.h"
#include "app/QtText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/QtChild.h"
#include "app/Settings.h"
#include "midi/MidiMessages.h"
#include "synth/Conversation.h"

namespace patchferry {
namespace {

const QString kNoInputText = QStringLiteral(
    "No MIDI input port was found. Connect the MIDI interface, run a MIDI cable from the "
    "MS2000's MIDI OUT to the interface's MIDI IN, and open this dialog again.");

}  // namespace

ReceiveDialog::ReceiveDialog(MidiState& midi, MessageBoxSeam& boxes, SettingsStore& settings,
                             const ReceiveStart& start, QWidget* parent)
    : QDialog(parent),
      midi_(midi),
      boxes_(boxes),
      settings_(settings),
      inputList_(QtChild<QComboBox>(this)),
      currentButton_(QtChild<QRadioButton>(QStringLiteral("&Current program"), this)),
      allButton_(QtChild<QRadioButton>(QStringLiteral("A&ll 128 programs"), this)),
      channelList_(QtChild<QComboBox>(this)),
      findButton_(QtChild<QPushButton>(QStringLiteral("&Find"), this)),
      progress_(QtChild<QProgressBar>(this)),
      status_(QtChild<QLabel>(this)),
      receiveButton_(QtChild<QPushButton>(QStringLiteral("&Receive"), this)),
      cancelButton_(QtChild<QPushButton>(QStringLiteral("Cancel"), this)),
      poll_(QtChild<QTimer>(this)) {
    setWindowTitle(QStringLiteral("Receive from MS2000"));

    auto* inputLabel = QtChild<QLabel>(QStringLiteral("&Input port"), this);
    inputLabel->setBuddy(inputList_);
    inputList_->setMinimumContentsLength(24);
    inputList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* channelLabel = QtChild<QLabel>(QStringLiteral("C&hannel"), this);
    channelLabel->setBuddy(channelList_);
    for (int channel = synth::kFirstChannel; channel <= synth::kLastChannel; ++channel) {
        channelList_->addItem(QString::asprintf("%02d", channel), channel);
    }
    findButton_->setToolTip(
        QStringLiteral("Ask who answers on the input, and take the channel an MS2000 answers on"));
    progress_->setTextVisible(true);
    progress_->setFormat(QStringLiteral("%v of %m bytes"));
    status_->setWordWrap(true);
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 50);

    auto* whatRow = QtChild<QHBoxLayout>();  // owned by the grid once added
    whatRow->addWidget(allButton_);
    whatRow->addWidget(currentButton_);
    whatRow->addStretch();
    auto* channelRow = QtChild<QHBoxLayout>();  // owned by the grid once added
    channelRow->addWidget(channelList_);
    channelRow->addWidget(findButton_);
    channelRow->addStretch();

    auto* buttons = QtChild<QDialogButtonBox>(this);
    buttons->addButton(receiveButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);
    receiveButton_->setDefault(true);
    receiveButton_->setAutoDefault(true);
    findButton_->setAutoDefault(false);
    connect(receiveButton_, &QPushButton::clicked, this, &ReceiveDialog::OnReceive);
    connect(cancelButton_, &QPushButton::clicked, this, &ReceiveDialog::reject);
    connect(findButton_, &QPushButton::clicked, this, &ReceiveDialog::OnFind);
    connect(poll_, &QTimer::timeout, this, &ReceiveDialog::OnPoll);
    connect(allButton_, &QRadioButton::toggled, this, &ReceiveDialog::ShowIdleProgress);
    // Another input: the one open so far is let go.
    connect(inputList_, &QComboBox::currentIndexChanged, this, [this] { conversation_.reset(); });
    poll_->setInterval(kPollMilliseconds);

    auto* layout = QtChild<QGridLayout>(this);
    layout->addWidget(inputLabel, 0, 0);
    layout->addWidget(inputList_, 0, 1);
    layout->addWidget(QtChild<QLabel>(QStringLiteral("Receive"), this), 1, 0);
    layout->addLayout(whatRow, 1, 1);
    layout->addWidget(channelLabel, 2, 0);
    layout->addLayout(channelRow, 2, 1);
    layout->addWidget(progress_, 3, 0, 1, 2);
    layout->addWidget(status_, 4, 0, 1, 2);
    layout->addWidget(buttons, 5, 0, 1, 2);

    FillInputs(start);
    RestoreChoices(start);
    ShowIdleProgress();
    receiveButton_->setFocus();
}

ReceiveDialog::~ReceiveDialog() = default;

void ReceiveDialog::FillInputs(const ReceiveStart& start) {
    std::string error;
    inputs_ = midi_.HardwareInputs(error);
    listingError_ = Utf8(error);
    for (const midi::MidiPortInfo& input : inputs_) {
        inputList_->addItem(Utf8(input.name));
    }
    status_->setText(inputs_.empty() ? kNoInputText : QString());
    // Without a saved choice, the input beside the MIDI bar's port.
    if (const auto beside = midi_.InputBeside(start.barPort)) {
        for (std::size_t i = 0; i < inputs_.size(); ++i) {
            if (inputs_[i].address == beside->address && inputs_[i].name == beside->name) {
                inputList_->setCurrentIndex(static_cast<int>(i));
            }
        }
    }
}

// A saved input is found by name without regard to case, as the MIDI bar finds its port.
void ReceiveDialog::RestoreChoices(const ReceiveStart& start) {
    const QString savedInput = settings_.ReadText(Setting::ReceivePort);
    for (int i = 0; i < inputList_->count() && !savedInput.isEmpty(); ++i) {
        if (inputList_->itemText(i).compare(savedInput, Qt::CaseInsensitive) == 0) {
            inputList_->setCurrentIndex(i);
            break;
        }
    }
    const bool current = settings_.ReadInteger(Setting::ReceiveWhat) == 0;
    (current ? currentButton_ : allButton_)->setChecked(true);
    const int savedChannel = settings_.ReadInteger(Setting::ReceiveChannel);
    const int channel = synth::IsChannel(savedChannel + 1) ? savedChannel + 1 : start.barChannel;
    channelList_->setCurrentIndex(synth::IsChannel(channel) ? channel - 1 : 0);
}

void ReceiveDialog::SaveChoices() {
    if (inputList_->currentIndex() >= 0) {
        settings_.Write(Setting::ReceivePort, inputList_->currentText());
    }
    settings_.Write(Setting::ReceiveWhat, ChosenWhat() == synth::ReceiveWhat::AllPrograms ? 1 : 0);
    settings_.Write(Setting::ReceiveChannel, ChosenChannel() - 1);
}

// Before a transfer the bar stands at nothing of what the choice will bring.
void ReceiveDialog::ShowIdleProgress() {
    progress_->setRange(0, static_cast<int>(synth::AnswerSize(ChosenWhat())));
    progress_->setValue(0);
}

synth::ReceiveWhat ReceiveDialog::ChosenWhat() const {
    return currentButton_->isChecked() ? synth::ReceiveWhat::CurrentProgram
                                       : synth::ReceiveWhat::AllPrograms;
}

int ReceiveDialog::ChosenChannel() const {
    return channelList_->currentIndex() + 1;
}

void ReceiveDialog::ShowMessage(MessageIcon icon, const QString& text) {
    boxes_.Show(this, icon, text);
}

bool ReceiveDialog::Connect() {
    const int index = inputList_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= inputs_.size()) {
        ShowMessage(MessageIcon::Exclamation,
                    listingError_.isEmpty() ? kNoInputText
                                            : listingError_ + QLatin1Char('\n') + kNoInputText);
        return false;
    }
    const midi::MidiPortInfo& input = inputs_[static_cast<std::size_t>(index)];
    if (conversation_ && conversation_->Connection().Input().address == input.address &&
        conversation_->Connection().Input().name == input.name) {
        return true;
    }
    conversation_.reset();
    std::string error;
    auto connection = midi_.Connect(input, error);
    if (!connection) {
        ShowMessage(MessageIcon::Error, Sentence(error));
        return false;
    }
    connection->SetSendTimeout(sendTimeout_);
    conversation_ = std::make_unique<synth::Conversation>(std::move(connection), timeouts_);
    return true;
}

void ReceiveDialog::OnReceive() {
    if (Busy() || !Connect()) {
        return;
    }
    SaveChoices();
    std::string error;
    if (!conversation_->StartReceive(ChosenWhat(), ChosenChannel(), error)) {
        conversation_.reset();
        ShowMessage(MessageIcon::Error, Utf8(midi::SendFailureMessage(error)));
        return;
    }
    progress_->setRange(0, static_cast<int>(synth::AnswerSize(ChosenWhat())));
    progress_->setValue(0);
    status_->setText(QStringLiteral("Asking the MS2000 on channel %1 for %2...")
                         .arg(ChosenChannel())
                         .arg(ChosenWhat() == synth::ReceiveWhat::AllPrograms
                                  ? QStringLiteral("all 128 programs")
                                  : QStringLiteral("its current program")));
    SetBusy(true);
    poll_->start();
}

void ReceiveDialog::OnFind() {
    if (Busy() || !Connect()) {
        return;
    }
    std::string error;
    if (!conversation_->StartFind(error)) {
        conversation_.reset();
        ShowMessage(MessageIcon::Error, Utf8(midi::SendFailureMessage(error)));
        return;
    }
    progress_->setRange(0, 0);  // no length to count against: a moving bar
    status_->setText(QStringLiteral("Asking who answers on %1...").arg(inputList_->currentText()));
    SetBusy(true);
    poll_->start();
}

void ReceiveDialog::OnPoll() {
    if (!conversation_) {
        return;
    }
    std::string error;
    if (!conversation_->Step(std::chrono::milliseconds(0), error)) {
        StopTask(QString());
        conversation_.reset();
        ShowMessage(MessageIcon::Error, Utf8(midi::SendFailureMessage(error)));
        return;
    }
    const synth::ProgramReceiver& receiver = conversation_->Receiver();
    if (conversation_->Current() == synth::Task::Receive) {
        progress_->setValue(static_cast<int>(receiver.Received()));
        if (receiver.State() == synth::ReceiveState::Receiving) {
            status_->setText(QStringLiteral("Receiving from the MS2000 on channel %1...")
                                 .arg(receiver.Channel()));
        }
        if (!conversation_->Running()) {
            FinishReceive();
        }
    } else if (conversation_->Current() == synth::Task::Find && !conversation_->Running()) {
        FinishFind();
    }
}

void ReceiveDialog::FinishReceive() {
    const synth::ProgramReceiver& receiver = conversation_->Receiver();
    if (receiver.State() == synth::ReceiveState::Done) {
        answer_ = receiver.Answer();
        StopTask(QStringLiteral("Received."));
        accept();
        return;
    }
    const QString failure = Utf8(conversation_->ReceiveFailureText());
    StopTask(failure);
    ShowMessage(MessageIcon::Exclamation, failure);
}

void ReceiveDialog::FinishFind() {
    const std::vector<synth::DeviceIdentity> answers = conversation_->Finder().Answers();
    const QString inputName = inputList_->currentText();
    StopTask(QString());
    ShowIdleProgress();
    if (const auto channel = synth::Ms2kChannel(answers)) {
        channelList_->setCurrentIndex(*channel - 1);
        status_->setText(QStringLiteral("The MS2000 answered on channel %1.").arg(*channel));
        return;
    }
    const QString text = Sentence(synth::NoMs2kText(answers, inputName.toStdString()));
    if (answers.empty()) {
        status_->setText(QStringLiteral("No answer."));
        ShowMessage(MessageIcon::Exclamation, text);
        return;
    }
    status_->setText(QStringLiteral("No MS2000 answered."));
    ShowMessage(MessageIcon::Information,
                text + QStringLiteral("\nChoose the MS2000's global MIDI channel by hand."));
}

// The task ends; the input stays open while the dialog is. The rest of an answer still arriving
// after a cancel goes on into it, so that the next request's wait sees the MS2000 still busy and
// skips what it sends, where a freshly opened input might come in silently in the middle.
void ReceiveDialog::StopTask(const QString& status) {
    poll_->stop();
    if (conversation_) {
        conversation_->Cancel();
    }
    status_->setText(status);
    SetBusy(false);
}

void ReceiveDialog::SetBusy(bool busy) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             inputList_, currentButton_, allButton_, channelList_, findButton_, receiveButton_}) {
        control->setEnabled(!busy);
    }
    if (!busy) {
        receiveButton_->setDefault(true);
        receiveButton_->setFocus();
    }
}

// Cancel and Escape stop a transfer at once and keep the dialog open; with nothing running they
// close it.
void ReceiveDialog::reject() {
    if (Busy()) {
        StopTask(QStringLiteral("Cancelled."));
        ShowIdleProgress();
        return;
    }
    QDialog::reject();
}

void ReceiveDialog::done(int result) {
    if (Busy()) {
        StopTask(QString());
    }
    conversation_.reset();
    SaveChoices();
    QDialog::done(result);
}

}  // namespace patchferry
