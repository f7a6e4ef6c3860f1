#include "dialogseam.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

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
    QFileDialog dialog(parent, caption, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().constFirst();
    selectedFilter = dialog.selectedNameFilter();
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
