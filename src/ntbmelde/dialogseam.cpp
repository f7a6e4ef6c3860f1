// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogseam.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "messages.h"

using namespace Qt::StringLiterals;

namespace {
// A name in a folder that does not exist is refused while the dialog is open, so that the
// user can correct it there.
class SaveFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            if (!chosen.isDir() && !chosen.absoluteDir().exists()) {
                ShowError(u"Der Ordner \"%1\" existiert nicht"_s.arg(
                              QDir::toNativeSeparators(chosen.absolutePath())),
                          0);
                return;
            }
        }
        QFileDialog::accept();
    }
};
} // namespace

QString FileDialogSeam::lastCaption;
QString FileDialogSeam::lastFolder;
QStringList FileDialogSeam::lastFilters;
QList<FileDialogSeam::Answer> FileDialogSeam::answers;
QStringList PrintDialogSeam::answers;

bool FileDialogSeam::getSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                     const QStringList& filters, QString& fileName,
                                     QString& selectedFilter) {
    lastCaption = caption;
    lastFolder = folder;
    lastFilters = filters;
    if (!answers.isEmpty()) {
        const Answer answer = answers.takeFirst();
        fileName = answer.fileName;
        selectedFilter = answer.filter;
        return !fileName.isEmpty();
    }
    SaveFileDialog dialog(parent, caption, folder);
    // The desktop's own dialog would not let the program check the folder.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (!selectedFilter.isEmpty())
        dialog.selectNameFilter(selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().constFirst();
    selectedFilter = dialog.selectedNameFilter();
    return true;
}

bool FileDialogSeam::getOpenFileNames(QWidget* parent, const QString& caption,
                                      const QString& folder, const QStringList& filters,
                                      QStringList& fileNames) {
    return openFiles(parent, caption, folder, filters, true, fileNames);
}

bool FileDialogSeam::getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                     const QStringList& filters, QString& fileName) {
    QStringList fileNames;
    if (!openFiles(parent, caption, folder, filters, false, fileNames))
        return false;
    fileName = fileNames.constFirst();
    return true;
}

bool FileDialogSeam::openFiles(QWidget* parent, const QString& caption, const QString& folder,
                               const QStringList& filters, bool several, QStringList& fileNames) {
    lastCaption = caption;
    lastFolder = folder;
    lastFilters = filters;
    if (!answers.isEmpty()) {
        const Answer answer = answers.takeFirst();
        fileNames = answer.fileName.isEmpty() ? QStringList() : QStringList{answer.fileName};
        return !fileNames.isEmpty();
    }
    QFileDialog dialog(parent, caption, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileNames = dialog.selectedFiles();
    return true;
}

void FileDialogSeam::setNextFileName(const QString& fileName, const QString& filter) {
    answers.append(Answer{fileName, filter});
}

void FileDialogSeam::setNextCancel() {
    answers.append(Answer{});
}

bool PrintDialogSeam::exec(QPrinter& printer, QWidget* parent) {
    if (!answers.isEmpty()) {
        const QString pdfPath = answers.takeFirst();
        if (pdfPath.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void PrintDialogSeam::setNextOutputFile(const QString& pdfPath) {
    answers.append(pdfPath);
}

void PrintDialogSeam::setNextCancel() {
    answers.append(QString());
}
