#include "app/PatchferryApp.h"

#include <QDir>
#include <QFileInfo>

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
    // No display name: Qt would append it to every window title ("Find — Patchferry").
    setWindowIcon(ProgramIcon());
}

PatchferryApp::~PatchferryApp() = default;

QStringList FilesFromArguments(const QStringList& arguments, const QDir& startFolder) {
    QStringList files;
    for (const QString& argument : arguments.mid(1)) {
        const QString path = startFolder.absoluteFilePath(argument);
        // Options the toolkit did not take (they start with "-") are not files, unless one is.
        if (!argument.startsWith(QLatin1Char('-')) || QFileInfo::exists(path)) {
            files.push_back(path);
        }
    }
    return files;
}

bool PatchferryApp::InitInstance() {
    // Names on the command line are relative to the folder the program was started in, which the
    // window replaces with the saved working folder as it is created.
    const QStringList files = FilesFromArguments(arguments(), QDir::current());
    settings_ = std::make_unique<QSettings>(Latin1(kOrganisationName), Latin1(kApplicationName));
    midiService_ = midi::CreateSystemMidiService();
    mainFrame_ = std::make_unique<CMainFrame>(*settings_, fileDialog_, messageBox_, *midiService_);
    // Closing the window ends the event loop; the window object goes with the application.
    setQuitOnLastWindowClosed(true);
    // Always a normal window, whatever the state the program was started in.
    mainFrame_->showNormal();
    // Files named on the command line (a ".syx" opened from the file manager) are opened as if
    // they had been chosen in the Open dialog.
    mainFrame_->OpenFiles(files);
    return true;
}

}  // namespace patchferry
