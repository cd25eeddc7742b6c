#pragma once
// The main window. It owns, for its whole life, the program library, the program list, the MIDI
// bar and the MIDI output port, and it carries the menus, keys, toolbar, status panes and the
// settings kept between runs.

#include <QMainWindow>
#include <QRect>
#include <array>
#include <chrono>
#include <string>

#include "app/Commands.h"
#include "app/Settings.h"
#include "library/ProgramLibrary.h"
#include "midi/MidiOutPort.h"
#include "midi/SendLongMessage.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QSettings;
class QStatusBar;
class QToolBar;

namespace patchferry {

class FileDialogSeam;
class MessageBoxSeam;
class MidiBar;
class ProgramListView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    // The settings store, the seams and the MIDI service are owned by the caller and outlive the
    // window.
    CMainFrame(QSettings& settings, FileDialogSeam& fileDialog, MessageBoxSeam& messageBox,
               midi::MidiOutputService& midiService, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Command handlers.
    void OpenSyxFiles();
    // Opens `paths` exactly as if they had been chosen in the Open dialog: files given on the
    // command line by the desktop, and files dropped on the window. An empty list does nothing.
    void OpenFiles(const QStringList& paths);
    void OnFind();
    void OnAudition();
    void OnAbout();
    void OnMidiActive();

    void FillProgramList();
    void ShowFileInTitle(const QString& fileName);

    // Brings command enabling, checked states and the status panes up to date. Runs whenever the
    // event loop is about to wait; callable directly.
    void RefreshCommandUi();

    // The time an audition waits for the MIDI service to finish with the message.
    void SetSendTimeout(std::chrono::milliseconds timeout) { sendTimeout_ = timeout; }

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
    QLabel* CountPane() const { return countPane_; }
    QLabel* MidiStatePane() const { return midiStatePane_; }
    const midi::MidiOutPort& Port() const { return port_; }
    const std::string& FindText() const { return findText_; }
    int FilesReadCount() const { return filesReadCount_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void RestoreRect();
    void PlaceOuterRect();
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

    QSettings& settingsStore_;
    SettingsStore settings_;
    FileDialogSeam& fileDialog_;
    MessageBoxSeam& messageBox_;

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
    midi::MidiOutPort port_;
    std::string findText_;  // lower case
    int filesReadCount_ = 0;

    std::array<QAction*, kCommands.size()> actions_{};
    std::chrono::milliseconds sendTimeout_ = midi::kSendTimeout;
    bool shutDown_ = false;
    QRect restoredOuter_;  // the stored rectangle until the window is first shown
};

}  // namespace patchferry
