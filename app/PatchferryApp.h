#pragma once
// The application object: names the settings store, builds the main window with the real dialogs
// and MIDI service, and shows it.

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <memory>

#include "app/Seams.h"
#include "midi/MidiService.h"

namespace patchferry {

class CMainFrame;

// The files named on a command line (`arguments` as the application has them, the program first),
// relative names made absolute against `startFolder`.
QStringList FilesFromArguments(const QStringList& arguments, const QDir& startFolder);

class PatchferryApp : public QApplication {
    Q_OBJECT
  public:
    PatchferryApp(int& argc, char** argv);
    ~PatchferryApp() override;

    // Creates and shows the main window; the event loop then runs until it is closed.
    bool InitInstance();
    CMainFrame* MainFrame() const { return mainFrame_.get(); }

  private:
    std::unique_ptr<QSettings> settings_;
    QtFileDialog fileDialog_;
    QtMessageBox messageBox_;
    std::unique_ptr<midi::MidiService> midiService_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace patchferry
