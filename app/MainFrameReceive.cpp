// Receive from MS2000, Save Received As and Identify Synth: the window's talks with the
// instrument on the other end of a MIDI cable, and the one file the window writes.

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "app/IdentifyDialog.h"
#include "app/MainFrame.h"
#include "app/MidiBar.h"
#include "app/QtText.h"
#include "app/ReceiveDialog.h"
#include "app/Seams.h"
#include "library/OpenFiles.h"
#include "library/SafeFile.h"
#include "library/Utf8Path.h"
#include "midi/MidiMessages.h"
#include "synth/DeviceInquiry.h"

namespace patchferry {
namespace {

// Received programs are named after the time they came, as a file would be named: the title
// shows it and Save Received As suggests it.
QString ReceivedName(const QDateTime& when) {
    return QStringLiteral("MS2000 ") + when.toString(QStringLiteral("yyyy-MM-dd HH-mm"));
}

// Why nothing is written at `shown`, where something other than a plain file is.
QString NotAFileText(const QString& shown, EntryKind there) {
    switch (there) {
        case EntryKind::Folder:
            return QStringLiteral("%1 is a folder.\nChoose a name for a file.").arg(shown);
        case EntryKind::Link:
            return QStringLiteral(
                       "%1 is a link; nothing is written through a link.\nChoose "
                       "another name.")
                .arg(shown);
        case EntryKind::File:
            return QStringLiteral(
                       "%1 was made while the programs were written; it was left as "
                       "it is.\nChoose another name.")
                .arg(shown);
        case EntryKind::None:
        case EntryKind::Other:
            break;
    }
    return QStringLiteral("%1 is not a plain file; it was left as it is.\nChoose another name.")
        .arg(shown);
}

}  // namespace

void CMainFrame::OnReceive() {
    EndAuditionListening();  // its input is free for what comes
    // A new answer would take the place of the one not yet saved.
    if (!MayLetReceivedGo()) {
        return;
    }
    ReceiveDialog dialog(midi_, messageBox_, settings_,
                         {midiBar_->SelectedPort(), SelectedChannel() + 1}, this);
    dialog.SetTimeouts(receiveTimeouts_);
    dialog.SetSendTimeout(sendTimeout_);
    if (dialog.exec() == QDialog::Accepted) {
        ShowReceived(dialog.Answer());
    }
    RefreshCommandUi();
}

void CMainFrame::ShowReceived(std::vector<std::uint8_t> answer) {
    const QString name = ReceivedName(QDateTime::currentDateTime());
    // Read aside first: a dump the reader refuses leaves the list as it was.
    ProgramLibrary received;
    std::string error;
    if (!received.ReadSyxBytes(answer, error, name.toStdString())) {
        messageBox_.Show(this, MessageIcon::Exclamation,
                         Utf8(ParseFailureMessage(name.toStdString(), error)));
        return;
    }
    library_ = std::move(received);
    filesReadCount_ = 1;
    received_ = std::move(answer);
    receivedName_ = name;
    receivedUnsaved_ = true;
    ShowFileInTitle(name);
    FillProgramList();
    RefreshCommandUi();
}

void CMainFrame::OnSaveReceived() {
    SaveReceived();
}

// Writes exactly the bytes received, to a name the user chose: a new file, or a plain file the
// user agreed to replace, only once the new one is whole on disk. Nothing is written through a
// link, or over a folder or a device.
bool CMainFrame::SaveReceived() {
    if (received_.empty()) {
        return false;
    }
    const QString path = fileDialog_.ChooseSaveFile(this, QStringLiteral("Save Received As"),
                                                    receivedName_ + QStringLiteral(".syx"));
    if (path.isEmpty()) {
        return false;
    }
    const QString shown = QDir::toNativeSeparators(path);
    const auto file = PathFromUtf8(path.toStdString());
    const EntryKind there = file ? EntryAt(*file) : EntryKind::None;
    if (there != EntryKind::None && there != EntryKind::File) {
        messageBox_.Show(this, MessageIcon::Exclamation, NotAFileText(shown, there));
        return false;
    }
    if (there == EntryKind::File &&
        !messageBox_.Ask(
            this, QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(shown))) {
        return false;
    }
    const WriteResult result =
        file ? WriteNewFile(
                   *file, received_,
                   there == EntryKind::File ? ExistingEntry::ReplaceFile : ExistingEntry::Keep)
             : WriteResult{WriteStatus::Failed, EntryKind::None, "The name is not valid here."};
    if (result.status == WriteStatus::AlreadyThere) {
        // Something took the name while the file was written.
        messageBox_.Show(this, MessageIcon::Exclamation, NotAFileText(shown, result.existing));
        return false;
    }
    if (result.status == WriteStatus::Failed) {
        messageBox_.Show(this, MessageIcon::Error,
                         QStringLiteral("Failed to save %1. %2").arg(shown, Utf8(result.reason)));
        return false;
    }
    receivedUnsaved_ = false;
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return true;
}

bool CMainFrame::MayLetReceivedGo() {
    if (!receivedUnsaved_) {
        return true;
    }
    switch (
        messageBox_.AskSave(this, QStringLiteral("Save the programs received from the MS2000?"))) {
        case SaveChoice::Save:
            return SaveReceived();
        case SaveChoice::Discard:
            receivedUnsaved_ = false;
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

void CMainFrame::OnIdentify() {
    EndAuditionListening();  // its input is free for what comes
    const midi::MidiPortInfo port = midiBar_->SelectedPort();
    if (port.name.empty()) {
        return;
    }
    const auto input = midi_.InputBeside(port);
    if (!input) {
        messageBox_.Show(this, MessageIcon::Exclamation,
                         QStringLiteral("The MIDI port %1 has no MIDI input beside it to hear an "
                                        "answer on. Choose the port of an interface that has "
                                        "both a MIDI OUT and a MIDI IN.")
                             .arg(Utf8(port.name)));
        return;
    }
    std::string error;
    auto connection = midi_.Connect(*input, error);
    if (!connection) {
        messageBox_.Show(this, MessageIcon::Error, Utf8(error));
        return;
    }
    connection->SetSendTimeout(sendTimeout_);
    synth::Conversation conversation(std::move(connection));
    IdentifyDialog dialog(conversation, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!dialog.Error().empty()) {
        messageBox_.Show(this, MessageIcon::Error, Utf8(midi::SendFailureMessage(dialog.Error())));
        return;
    }
    if (dialog.Answers().empty()) {
        messageBox_.Show(this, MessageIcon::Exclamation,
                         Sentence(synth::NoInquiryAnswerText(input->name)));
        return;
    }
    QString text = QStringLiteral("Answered on %1:").arg(Utf8(input->name));
    const int barChannel = SelectedChannel() + 1;
    for (const synth::DeviceIdentity& answer : dialog.Answers()) {
        text += QStringLiteral("\n") + Utf8(synth::DescribeIdentity(answer));
        const auto channel = synth::ReplyChannel(answer);
        if (channel && *channel != barChannel) {
            text += QStringLiteral("\nIt answered on MIDI channel %1, but Midi Chan is %2.")
                        .arg(*channel)
                        .arg(barChannel, 2, 10, QLatin1Char('0'));
        }
    }
    messageBox_.Show(this, MessageIcon::Information, text);
}

}  // namespace patchferry
