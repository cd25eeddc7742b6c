// Audition: the selected program, converted and sent to the Radias as one program dump.

#include <QComboBox>

#include "app/MainFrame.h"
#include "app/Seams.h"
#include "app/WaitCursor.h"
#include "app/list/ProgramListView.h"
#include "convert/ProgramConverter.h"
#include "synth/ProgramDump.h"
#include "midi/SendLongMessage.h"

namespace patchferry {

void CMainFrame::OnAudition() {
    const WaitCursor wait;
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
    ProgramConverter converter(library_[static_cast<std::size_t>(row)].Image());
    converter.Convert();
    const ProgramDump dump = BuildProgramDump(converter.Image(), channel);
    const midi::SendOutcome outcome = midi::SendLongMessage(midi_.Output(), dump, sendTimeout_);
    // A refused message, a device that never finished (its port was reset) and a device that
    // went away meanwhile all mean the Radias may not have the program.
    if (!outcome.Succeeded()) {
        messageBox_.Show(this, MessageIcon::Error,
                         QStringLiteral("Error: Failed to send Midi SysEx message to MS2K. ") +
                             QString::fromStdString(outcome.errorText));
    }
}

}  // namespace patchferry
