#include "support/FrameHarness.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTest>

#include "app/list/ProgramListView.h"
#include "library/SyxFormat.h"

namespace patchferry::testing {

QStringList ScriptedFileDialog::ChooseSyxFiles(QWidget*) {
    ++calls_;
    if (choices_.empty()) {
        return {};
    }
    QStringList files = choices_.front();
    choices_.erase(choices_.begin());
    return files;
}

QString ScriptedFileDialog::ChooseSaveFile(QWidget*, const QString& title,
                                           const QString& suggestedName) {
    ++calls_;
    lastSaveTitle = title;
    lastSuggestedName = suggestedName;
    if (saveChoices_.empty()) {
        return {};
    }
    QString path = saveChoices_.front();
    saveChoices_.erase(saveChoices_.begin());
    return path;
}

bool CapturingMessageBox::Ask(QWidget*, const QString& text) {
    shown.push_back({MessageIcon::Information, text});
    if (answers.empty()) {
        return false;
    }
    const bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

SaveChoice CapturingMessageBox::AskSave(QWidget*, const QString& text) {
    saveQuestions.push_back(text);
    if (saveChoices.empty()) {
        return SaveChoice::Discard;
    }
    const SaveChoice choice = saveChoices.front();
    saveChoices.erase(saveChoices.begin());
    return choice;
}

void CapturingMessageBox::Show(QWidget*, MessageIcon icon, const QString& text) {
    shown.push_back({icon, text});
    if (onShow) {
        onShow();
    }
}

FrameHarness::FrameHarness() : startFolder_(std::filesystem::current_path()) {
    settings_ = Store();
}

FrameHarness::~FrameHarness() {
    frame_.reset();
    settings_.reset();
    std::filesystem::current_path(startFolder_);
}

std::unique_ptr<QSettings> FrameHarness::Store() const {
    const auto path = folder_.Path() / "Patchferry.ini";
    return std::make_unique<QSettings>(QString::fromStdString(path.string()), QSettings::IniFormat);
}

CMainFrame& FrameHarness::Start() {
    settings_ = Store();
    frame_ = std::make_unique<CMainFrame>(*settings_, dialog, boxes, midi);
    frame_->show();
    if (!QTest::qWaitForWindowExposed(frame_.get())) {
        qWarning("window not exposed");
    }
    frame_->RefreshCommandUi();
    return *frame_;
}

void FrameHarness::Close() {
    frame_->close();
    frame_.reset();
    settings_->sync();
}

QString FrameHarness::WriteFile(const std::string& name,
                                const std::vector<std::uint8_t>& bytes) const {
    return QString::fromStdString(folder_.Write(name, bytes));
}

void FrameHarness::Open(const QStringList& paths) {
    dialog.QueueChoice(paths);
    frame_->OpenSyxFiles();
    frame_->RefreshCommandUi();
}

void FrameHarness::SelectRows(std::initializer_list<int> rows) {
    ProgramListView* list = frame_->ProgramList();
    list->selectionModel()->clearSelection();
    for (const int row : rows) {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void FrameHarness::Deliver() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

std::vector<std::uint8_t> NamedBankDump(const std::vector<std::string>& names) {
    std::vector<Ms2kProgramImage> images;
    for (std::size_t p = 0; p < 128; ++p) {
        Ms2kProgramImage image = BankImage(p);
        if (p < names.size()) {
            const Ms2kProgramImage named = MakeImage(names[p]);
            std::copy_n(named.begin(), kMs2kNameLength, image.begin());
        }
        images.push_back(image);
    }
    return MakeDump(static_cast<std::uint8_t>(syx::DumpFunction::ProgramDump), images);
}

}  // namespace patchferry::testing
