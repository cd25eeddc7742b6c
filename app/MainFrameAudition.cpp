// Audition: the selected program, converted and sent to the Radias as one program dump. When the
// interface has a MIDI input beside the port, the window then listens for the Radias's answer on
// a timer, never waiting for it, and shows what it said.

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#include "app/MainFrame.h"
#include "app/QtChild.h"
#include "app/QtText.h"
#include "app/Seams.h"
#include "app/WaitCursor.h"
#include "app/list/ProgramListView.h"
#include "convert/ProgramConverter.h"
#include "midi/MidiMessages.h"
#include "synth/ProgramDump.h"

namespace patchferry {
namespace {

// How often the input is looked at while listening: the answer shows within this of its last
// byte.
constexpr int kListenPollMilliseconds = 10;

}  // namespace

void CMainFrame::OnAudition() {
    const WaitCursor wait;
    // A new Audition ends the listening for the one before: the Radias's answers name no
    // program, so an answer from now on could be either's.
    EndAuditionListening();
    const int row = programList_->FirstSelectedRow();
    if (row < 0 || row >= library_.Count()) {
        return;
    }
    if (!midi_.Output().IsOpen()) {
        return;
    }
    // With no channel chosen there is no valid format byte to send.
    const int channel = SelectedChannel();
    if (channel < 0) {
        return;
    }
    const ProgramEntry& entry = library_[static_cast<std::size_t>(row)];
    ProgramConverter converter(entry.Image());
    converter.Convert();
    const ProgramDump dump = BuildProgramDump(converter.Image(), channel);

    // The input beside the port, open only while listening, so that Receive, Identify and other
    // programs find it free the rest of the time. None, or one that cannot be opened: the
    // Audition is what it always was.
    std::unique_ptr<synth::Conversation> talk;
    if (const auto input = midi_.InputBeside(midi_.Output().OpenedPort())) {
        std::string ignored;
        if (auto connection = midi_.Connect(*input, ignored)) {
            connection->SetSendTimeout(sendTimeout_);
            talk = std::make_unique<synth::Conversation>(std::move(connection));
        }
    }
    std::string sendError;
    bool sent = false;
    if (talk) {
        sent = talk->StartConfirm(dump, channel, sendError);
    } else {
        const midi::SendOutcome outcome = midi::SendLongMessage(midi_.Output(), dump, sendTimeout_);
        sent = outcome.Succeeded();
        sendError = outcome.errorText;
    }
    // A refused message, a device that never finished (its port was reset) and a device that
    // went away meanwhile all mean the Radias may not have the program.
    if (!sent) {
        messageBox_.Show(this, MessageIcon::Error, Utf8(midi::SendFailureMessage(sendError)));
        return;
    }
    if (!talk) {
        return;
    }
    audition_ = std::move(talk);
    auditionLabel_ = Utf8(entry.BankLabel() + entry.NumberLabel() + " " + entry.Name());
    if (auditionPoll_ == nullptr) {
        auditionPoll_ = QtChild<QTimer>(this);
        auditionPoll_->setInterval(kListenPollMilliseconds);
        connect(auditionPoll_, &QTimer::timeout, this, &CMainFrame::OnAuditionPoll);
    }
    auditionPoll_->start();
}

void CMainFrame::EndAuditionListening() {
    if (auditionPoll_ != nullptr) {
        auditionPoll_->stop();
    }
    audition_.reset();
}

void CMainFrame::OnAuditionPoll() {
    if (!audition_) {
        EndAuditionListening();
        return;
    }
    std::string ignored;  // nothing is sent while listening
    audition_->Step(std::chrono::milliseconds(0), ignored);
    if (!audition_->Running()) {
        FinishAudition();
    }
}

void CMainFrame::FinishAudition() {
    const synth::DumpConfirmation confirmation = audition_->Confirmation();
    const QString label = auditionLabel_;
    EndAuditionListening();
    if (confirmation.State() != synth::ConfirmState::Answered) {
        ShowStatusMessage(label + QStringLiteral(": sent; no answer from the Radias"));
        return;
    }
    if (confirmation.Answer() == synth::RadiasAnswer::DataLoadCompleted) {
        ShowStatusMessage(label + QStringLiteral(": the Radias took it"));
        return;
    }
    ShowStatusMessage(label + QStringLiteral(": the Radias refused it"));
    messageBox_.Show(this, MessageIcon::Error,
                     QStringLiteral("The Radias refused %1 with %2. %3")
                         .arg(label, Utf8(std::string(synth::AnswerName(confirmation.Answer()))),
                              Utf8(synth::RefusalAdvice(confirmation.Answer()))));
}

void CMainFrame::ShowStatusMessage(const QString& text) {
    messagePane_->setText(text);
    std::fprintf(stderr, "status: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace patchferry
