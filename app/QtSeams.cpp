#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QMessageBox>

#include "app/AppTitle.h"
#include "app/Seams.h"

namespace patchferry {
namespace {

const QString kSyxFilter = QStringLiteral("SYX Files (*.syx)");
const QString kAllFilesFilter = QStringLiteral("All Files (*.*)");

// "All Files (*.*)" keeps the text users know, but outside Windows the pattern "*.*" would hide
// every name without a dot; the dialog's file list shows every file for it instead.
void ShowEveryFileForAllFiles(QFileDialog& dialog, const QString& filter) {
    if (filter != kAllFilesFilter) {
        return;
    }
    if (auto* files = dialog.findChild<QFileSystemModel*>()) {
        files->setNameFilters({QStringLiteral("*")});
    }
}

}  // namespace

QStringList QtFileDialog::ChooseSyxFiles(QWidget* owner) {
    QFileDialog dialog(owner);
    // Windows' own dialog reads "*.*" as every file; elsewhere Qt's dialog is used, whose list
    // can be told so.
    if (QGuiApplication::platformName() != QLatin1String("windows")) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    }
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({kSyxFilter, kAllFilesFilter});
    dialog.selectNameFilter(kSyxFilter);
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { ShowEveryFileForAllFiles(dialog, filter); });
    dialog.setDefaultSuffix(QStringLiteral("syx"));
    dialog.setDirectory(QDir::currentPath());
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QString QtFileDialog::ChooseSaveFile(QWidget* owner, const QString& title,
                                     const QString& suggestedName) {
    QFileDialog dialog(owner, title);
    if (QGuiApplication::platformName() != QLatin1String("windows")) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    }
    // The window asks itself, through its own message boxes.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kSyxFilter, kAllFilesFilter});
    dialog.selectNameFilter(kSyxFilter);
    dialog.setDefaultSuffix(QStringLiteral("syx"));
    dialog.setDirectory(QDir::currentPath());
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

void QtMessageBox::Show(QWidget* owner, MessageIcon icon, const QString& text) {
    const QMessageBox::Icon shown = icon == MessageIcon::Error         ? QMessageBox::Critical
                                    : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                                       : QMessageBox::Information;
    QMessageBox box(shown, AppTitle(), text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtMessageBox::Ask(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Question, AppTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SaveChoice QtMessageBox::AskSave(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, AppTitle(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

}  // namespace patchferry
