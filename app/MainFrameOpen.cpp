// Opening SysEx files and writing the program list from the library.

#include <algorithm>
#include <vector>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/ListColours.h"
#include "app/MainFrame.h"
#include "app/QtText.h"
#include "app/Seams.h"
#include "app/WaitCursor.h"
#include "app/list/ProgramListView.h"
#include "convert/ConversionReport.h"
#include "convert/ProgramConverter.h"
#include "library/DisplayName.h"
#include "library/NameMatch.h"
#include "library/OpenFiles.h"
#include "synth/RadiasBackupFile.h"

namespace patchferry {
namespace {

// Alignment codes of the list's cells.
constexpr int kAlignLeft = 0;
constexpr int kAlignCentre = 1;

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int Column(ListColumn column) {
    return static_cast<int>(column);
}

// Suspends the list's redrawing while it is filled.
class RedrawSuspended {
  public:
    explicit RedrawSuspended(GridListCtrl& list) : list_(list) { list_.SetRedraw(false); }
    ~RedrawSuspended() { list_.SetRedraw(true); }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

  private:
    GridListCtrl& list_;
};

// The local files among dropped URLs; anything else (web addresses, text) is not a file to open.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
            files.push_back(url.toLocalFile());
        }
    }
    return files;
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    OpenFiles(files);
}

void CMainFrame::OpenSyxFiles() {
    OpenFiles(fileDialog_.ChooseSyxFiles(this));
}

void CMainFrame::OpenFiles(const QStringList& files) {
    if (files.isEmpty() || !MayLetReceivedGo()) {
        return;
    }
    // The next Open starts in the folder of the files chosen now.
    QDir::setCurrent(QFileInfo(files.front()).absolutePath());

    const WaitCursor wait;
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(files.size()));
    for (const QString& path : files) {
        paths.push_back(path.toStdString());
    }
    // Each failing file is reported at once, before the next one is read.
    std::vector<std::string> failed;
    filesReadCount_ = patchferry::OpenSyxFiles(library_, paths, [&](const OpenFailure& failure) {
        failed.push_back(failure.path);
        messageBox_.Show(this, MessageIcon::Exclamation, Utf8(synth::OpenFailureText(failure)));
    });
    QString fileRead;
    for (const auto& path : paths) {
        if (std::find(failed.begin(), failed.end(), path) == failed.end()) {
            fileRead = Utf8(FileNameOf(path));
        }
    }
    // With one file read the title names it, with its extension.
    ShowFileInTitle(filesReadCount_ == 1 ? fileRead : QString());
    FillProgramList();
}

void CMainFrame::FillProgramList() {
    programList_->RemoveAllRows();
    if (library_.Empty()) {
        return;
    }
    const RedrawSuspended suspended(*programList_);
    programList_->AddRows(library_.Count());

    const QColor text = ListTextColour();
    const bool showFiles = filesReadCount_ > 1;
    for (int row = 0; row < library_.Count(); ++row) {
        const ProgramEntry& entry = library_[static_cast<std::size_t>(row)];
        const std::string name = entry.Name();
        const QColor background =
            NameMatches(name, findText_) ? ListFoundBackgroundColour() : ListBackgroundColour();
        auto set = [&](ListColumn column, int alignment, const QString& cell) {
            programList_->SetCell(row, Column(column), alignment, text, background, cell);
        };
        set(ListColumn::Bank, kAlignCentre, Utf8(entry.BankLabel()));
        set(ListColumn::Number, kAlignCentre, Utf8(entry.NumberLabel()));
        set(ListColumn::Program, kAlignLeft, QLatin1Char(' ') + Latin1(name));
        set(ListColumn::Category, kAlignLeft, QLatin1Char(' ') + Latin1(entry.CategoryLabel()));
        if (showFiles) {
            set(ListColumn::File, kAlignLeft, QLatin1Char(' ') + Utf8(entry.FileLabel()));
        }
        ProgramConverter converter(entry.Image());
        converter.Convert();
        set(ListColumn::ConversionInfo, kAlignLeft,
            QLatin1Char(' ') + Latin1(VerdictText(converter.Report())));
    }
    programList_->SetColumnWidth(
        Column(ListColumn::File),
        showFiles ? programList_->TextWidth(QString(16, QLatin1Char('X'))) : 0);
}

}  // namespace patchferry
