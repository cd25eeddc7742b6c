// Receive from MS2000, Save Received As and Identify Synth: the window's talks with the
// instrument on the other end of a MIDI cable, and the one file the window writes.

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "app/IdentifyDialog.h"
#include "app/MainFrame.h"
#include "app/MidiBar.h"
#include "app/ReceiveDialog.h"
#include "app/Seams.h"
#include "library/OpenFiles.h"
#include "midi/MidiMessages.h"
#include "midi/receive/DeviceInquiry.h"

namespace patchferry {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Received programs are named after the time they came, as a file would be named: the title
// shows it and Save Received As suggests it.
QString ReceivedName(const QDateTime& when) {
    return QStringLiteral("MS2000 ") + when.toString(QStringLiteral("yyyy-MM-dd HH-mm"));
}

}  // namespace

void CMainFrame::OnReceive() {
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
    ShowFileInTitle(name);
    FillProgramList();
    RefreshCommandUi();
}

// Writes exactly the bytes received, to a name the user chose. An existing file is replaced only
// when the user says so, and only once the new one is whole (written aside, then put in place).
void CMainFrame::OnSaveReceived() {
    if (received_.empty()) {
        return;
    }
    const QString path = fileDialog_.ChooseSaveFile(this, QStringLiteral("Save Received As"),
                                                    receivedName_ + QStringLiteral(".syx"));
    if (path.isEmpty()) {
        return;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo::exists(path) &&
        !messageBox_.Ask(
            this, QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(shown))) {
        return;
    }
    QSaveFile file(path);
    const auto size = static_cast<qint64>(received_.size());
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       file.write(reinterpret_cast<const char*>(received_.data()), size) == size &&
                       file.commit();
    if (!saved) {
        messageBox_.Show(this, MessageIcon::Error,
                         QStringLiteral("Failed to save %1. %2").arg(shown, file.errorString()));
        return;
    }
    QDir::setCurrent(QFileInfo(path).absolutePath());
}

void CMainFrame::OnIdentify() {
    const midi::MidiOutPortInfo port = midiBar_->SelectedPort();
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
    const auto connection = midi_.Connect(*input, error);
    if (!connection) {
        messageBox_.Show(this, MessageIcon::Error, Utf8(error));
        return;
    }
    connection->SetSendTimeout(sendTimeout_);
    IdentifyDialog dialog(*connection, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!dialog.Error().empty()) {
        messageBox_.Show(this, MessageIcon::Error, Utf8(midi::SendFailureMessage(dialog.Error())));
        return;
    }
    if (dialog.Answers().empty()) {
        QString text = Utf8(midi::NoInquiryAnswerText(input->name));
        text[0] = text[0].toUpper();
        messageBox_.Show(this, MessageIcon::Exclamation, text);
        return;
    }
    QString text = QStringLiteral("Answered on %1:").arg(Utf8(input->name));
    const int barChannel = SelectedChannel() + 1;
    for (const midi::DeviceIdentity& answer : dialog.Answers()) {
        text += QStringLiteral("\n") + Utf8(midi::DescribeIdentity(answer));
        const auto channel = midi::ReplyChannel(answer);
        if (channel && *channel != barChannel) {
            text += QStringLiteral("\nIt answered on MIDI channel %1, but Midi Chan is %2.")
                        .arg(*channel)
                        .arg(barChannel, 2, 10, QLatin1Char('0'));
        }
    }
    messageBox_.Show(this, MessageIcon::Information, text);
}

}  // namespace patchferry
