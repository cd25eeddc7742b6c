#pragma once
// The main window. It owns, for its whole life, the program library, the program list, the MIDI
// bar and the window's MIDI state, and it carries the menus, keys, toolbar, status panes and the
// settings kept between runs.

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <array>
#include <chrono>
#include <string>

#include "app/ArrowOverMessageBox.h"
#include "app/Commands.h"
#include "app/MidiState.h"
#include "app/Settings.h"
#include "library/ProgramLibrary.h"
#include "midi/MidiService.h"
#include "midi/SendLongMessage.h"
#include "synth/Conversation.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSettings;
class QStatusBar;
class QTimer;
class QToolBar;

namespace patchferry {

class FileDialogSeam;
class MessageBoxSeam;
class MidiBar;
class ProgramListView;
class RadiasWriteDialog;
struct WriteSource;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    // The settings store, the seams and the MIDI service are owned by the caller and outlive the
    // window.
    CMainFrame(QSettings& settings, FileDialogSeam& fileDialog, MessageBoxSeam& messageBox,
               midi::MidiService& midiService, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Command handlers.
    void OpenSyxFiles();
    // Opens `paths` exactly as if they had been chosen in the Open dialog: files given on the
    // command line by the desktop, and files dropped on the window. An empty list does nothing.
    void OpenFiles(const QStringList& paths);
    void OnFind();
    void OnAudition();
    // Stops listening for the Radias's answer to the last Audition, if the window still is.
    void EndAuditionListening();
    void OnAbout();
    void OnMidiActive();
    void OnReceive();
    void OnSaveReceived();
    void OnIdentify();
    void OnWriteToRadias();
    void OnRestoreRadias();
    // The Write to Radias or Restore Radias Backup dialog, while it is open.
    RadiasWriteDialog* RadiasDialog() const;
    bool WritingToRadias() const;
    // Lists a whole answer received from an MS2000 as an Open of one file lists the file: the
    // list replaced, titled with the time it came. A dump the reader refuses changes nothing.
    void ShowReceived(std::vector<std::uint8_t> answer);

    void FillProgramList();
    void ShowFileInTitle(const QString& fileName);

    // Brings command enabling, checked states and the status panes up to date. Runs whenever the
    // event loop is about to wait; callable directly.
    void RefreshCommandUi();

    // The time an audition waits for the MIDI service to finish with the message.
    void SetSendTimeout(std::chrono::milliseconds timeout) { sendTimeout_ = timeout; }
    // How long Receive waits for the MS2000's answer.
    void SetReceiveTimeouts(const synth::ReceiveTimeouts& timeouts) { receiveTimeouts_ = timeouts; }

    // For the handlers' helpers and for tests.
    QAction* Action(CommandId id) const;
    ProgramListView* ProgramList() const { return programList_; }
    const ProgramLibrary& Library() const { return library_; }
    QComboBox* PortList() const { return portList_; }
    QComboBox* ChannelList() const { return channelList_; }
    QCheckBox* ActiveBox() const { return activeBox_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QToolBar* MidiBarBand() const { return midiBand_; }
    QLabel* MessagePane() const { return messagePane_; }
    // Whether the window is listening for the Radias's answer to an Audition.
    bool ListeningForAudition() const { return audition_ != nullptr; }
    QLabel* CountPane() const { return countPane_; }
    QLabel* MidiStatePane() const { return midiStatePane_; }
    const midi::MidiOutPort& Port() const { return midi_.Output(); }
    const std::vector<std::uint8_t>& Received() const { return received_; }
    const std::string& FindText() const { return findText_; }
    int FilesReadCount() const { return filesReadCount_; }

    // No context menu over the bars: Qt's would hide the MIDI bar with no command to show it again.
    QMenu* createPopupMenu() override { return nullptr; }

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RestoreRect();
    void OnNativeWindowEvent(const QEvent& event);
    void SaveRect();
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void FillMidiBar();
    void RestoreCurrentFolder();
    void SetUpProgramList();
    void SaveSettings();
    void OnListNotify(int code, int param);
    void SortListByColumn(int column);
    int SelectedChannel() const;
    // Save Received As; true when the programs were written.
    bool SaveReceived();
    // Received programs exist nowhere else until saved: before they leave the window (a quit,
    // another Open, a new receive), the user may save them. False when the user chose to keep
    // everything as it is.
    bool MayLetReceivedGo();
    void OpenRadiasDialog(WriteSource source);
    void OnAuditionPoll();
    void FinishAudition();
    // Shows `text` in the status bar's message pane, and says it on standard error too, where a
    // log of the session keeps it.
    void ShowStatusMessage(const QString& text);

    QSettings& settingsStore_;
    SettingsStore settings_;
    FileDialogSeam& fileDialog_;
    ArrowOverMessageBox messageBox_;  // the caller's boxes, shown with the normal cursor

    // In the order the window builds them.
    QStatusBar* statusBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* countPane_ = nullptr;
    QLabel* midiStatePane_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolBar* midiBand_ = nullptr;
    MidiBar* midiBar_ = nullptr;
    ProgramListView* programList_ = nullptr;
    ProgramLibrary library_;
    QComboBox* portList_ = nullptr;
    QComboBox* channelList_ = nullptr;
    QCheckBox* activeBox_ = nullptr;
    MidiState midi_;
    // The talk that awaits the Radias's answer to the last Audition; after midi_, so it goes
    // first. Its input is open only while it lives.
    std::unique_ptr<synth::Conversation> audition_;
    QString auditionLabel_;  // "A001 Stab Saw"
    QTimer* auditionPoll_ = nullptr;
    QPointer<RadiasWriteDialog> radiasDialog_;
    std::vector<std::uint8_t> received_;  // the last whole answer, exactly as it came
    QString receivedName_;                // "MS2000 <date> <time>", its name in the title
    bool receivedUnsaved_ = false;        // received_ was never saved nor given up
    std::string findText_;                // lower case
    int filesReadCount_ = 0;

    std::array<QAction*, kCommands.size()> actions_{};
    std::chrono::milliseconds sendTimeout_ = midi::kSendTimeout;
    synth::ReceiveTimeouts receiveTimeouts_;
    bool shutDown_ = false;
    QRect restoredOuter_;            // the stored outer rectangle; invalid when none was stored
    QRect requestedClient_;          // the client area last asked for when placing the window
    bool placementPending_ = false;  // until the window is first exposed
};

}  // namespace patchferry
