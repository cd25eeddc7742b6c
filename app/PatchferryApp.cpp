#include "app/PatchferryApp.h"

#include <QFileInfo>

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

QStringList FilesFromArguments(const QStringList& arguments) {
    QStringList files;
    for (const QString& argument : arguments.mid(1)) {
        // Options the toolkit did not take (they start with "-") are not files, unless one is.
        if (!argument.startsWith(QLatin1Char('-')) || QFileInfo::exists(argument)) {
            files.push_back(argument);
        }
    }
    return files;
}

bool PatchferryApp::InitInstance() {
    settings_ = std::make_unique<QSettings>(Latin1(kOrganisationName), Latin1(kApplicationName));
    midiService_ = midi::CreateSystemMidiOutputService();
    mainFrame_ = std::make_unique<CMainFrame>(*settings_, fileDialog_, messageBox_, *midiService_);
    // Closing the window ends the event loop; the window object goes with the application.
    setQuitOnLastWindowClosed(true);
    // Always a normal window, whatever the state the program was started in.
    mainFrame_->showNormal();
    // Files named on the command line (a ".syx" opened from the file manager) are opened as if
    // they had been chosen in the Open dialog.
    mainFrame_->OpenFiles(FilesFromArguments(arguments()));
    return true;
}

}  // namespace patchferry
