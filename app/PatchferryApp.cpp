#include "app/PatchferryApp.h"

#include "app/AppTitle.h"
#include "app/Icons.h"
#include "app/MainFrame.h"
#include "app/Settings.h"

namespace patchferry {
namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PatchferryApp::PatchferryApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(Latin1(kOrganisationName));
    setApplicationName(Latin1(kApplicationName));
    setApplicationDisplayName(AppTitle());
    setWindowIcon(ProgramIcon());
}

PatchferryApp::~PatchferryApp() = default;

bool PatchferryApp::InitInstance() {
    settings_ = std::make_unique<QSettings>(Latin1(kOrganisationName), Latin1(kApplicationName));
    midiService_ = midi::CreateSystemMidiOutputService();
    mainFrame_ = std::make_unique<CMainFrame>(*settings_, fileDialog_, messageBox_, *midiService_);
    // Closing the window ends the event loop; the window object goes with the application.
    setQuitOnLastWindowClosed(true);
    // Always a normal window, whatever the state the program was started in.
    mainFrame_->showNormal();
    return true;
}

}  // namespace patchferry
