// Write to Radias and Restore Radias Backup: the dialog that writes programs into the Radias's
// memory, opened beside the window with what the window holds now.

#include <QDir>

#include "app/MainFrame.h"
#include "app/MidiBar.h"
#include "app/QtChild.h"
#include "app/QtText.h"
#include "app/RadiasWriteDialog.h"
#include "app/Seams.h"
#include "app/list/ProgramListView.h"
#include "synth/RadiasWriteItems.h"

namespace patchferry {

RadiasWriteDialog* CMainFrame::RadiasDialog() const {
    return radiasDialog_;
}

bool CMainFrame::WritingToRadias() const {
    return radiasDialog_ != nullptr && radiasDialog_->Busy();
}

void CMainFrame::OnWriteToRadias() {
    if (library_.Empty()) {
        return;
    }
    WriteSource source;
    const int row = programList_->FirstSelectedRow();
    if (row >= 0 && row < library_.Count()) {
        source.selected = library_[static_cast<std::size_t>(row)];
    }
    // The list shows the library in its order.
    for (int n = 0; n < library_.Count(); ++n) {
        source.listed.push_back(library_[static_cast<std::size_t>(n)]);
    }
    OpenRadiasDialog(std::move(source));
}

void CMainFrame::OnRestoreRadias() {
    const QStringList paths = fileDialog_.ChooseSyxFiles(this);
    if (paths.isEmpty()) {
        return;
    }
    if (paths.size() > 1) {
        messageBox_.Show(this, MessageIcon::Exclamation,
                         QStringLiteral("Choose one backup to restore."));
        return;
    }
    const QString shown = QDir::toNativeSeparators(paths.front());
    std::string why;
    auto backup = synth::ReadBackupFile(paths.front().toStdString(), why);
    if (!backup) {
        // The reader names the file as given; the window shows it as the system does.
        messageBox_.Show(this, MessageIcon::Exclamation,
                         Sentence(why).replace(paths.front(), shown) + QStringLiteral("."));
        return;
    }
    WriteSource source;
    source.backup = std::move(*backup);
    source.backupName = paths.front();
    OpenRadiasDialog(std::move(source));
}

void CMainFrame::OpenRadiasDialog(WriteSource source) {
    if (WritingToRadias()) {
        radiasDialog_->raise();
        radiasDialog_->activateWindow();
        return;
    }
    EndAuditionListening();  // its input is free for the run
    if (radiasDialog_ != nullptr) {
        radiasDialog_->close();
    }
    RadiasPlace place;
    place.output = midiBar_->SelectedPort();
    if (!place.output.name.empty()) {
        place.input = midi_.InputBeside(place.output);
    }
    place.channel = SelectedChannel();
    radiasDialog_ = QtChild<RadiasWriteDialog>(midi_, messageBox_, fileDialog_, std::move(place),
                                               std::move(source), this);
    radiasDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(radiasDialog_, &RadiasWriteDialog::Finished, this, [this](const QString& text) {
        ShowStatusMessage(text);
        RefreshCommandUi();
    });
    radiasDialog_->show();
}

}  // namespace patchferry
