// SPDX-License-Identifier: GPL-3.0-or-later
// The save-file and print dialogs, behind seams that tests script so that no real dialog
// opens during a test run.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

class FileDialogSeam {
public:
    // A modal save dialog that asks before overwriting, opened on `folder` (or on a proposed
    // file in it) with the entry `selectedFilter` of `filters` chosen (the first when empty).
    // False when the user cancelled; otherwise the chosen name as typed and the chosen entry.
    static bool getSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QStringList& filters, QString& fileName,
                                QString& selectedFilter);

    // A modal dialog that chooses one or more existing files. False when the user cancelled.
    static bool getOpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
                                 const QStringList& filters, QStringList& fileNames);
    // The same for one existing file.
    static bool getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QStringList& filters, QString& fileName);

    // Test hooks. While answers are queued no dialog is shown: each call takes the next one
    // (an empty name cancels; an open dialog takes the one file) and leaves the dialog's
    // settings in the fields below.
    static void setNextFileName(const QString& fileName, const QString& filter);
    static void setNextCancel();
    static QString lastCaption;
    static QString lastFolder;
    static QStringList lastFilters;

private:
    static bool openFiles(QWidget* parent, const QString& caption, const QString& folder,
                          const QStringList& filters, bool several, QStringList& fileNames);
    struct Answer {
        QString fileName;
        QString filter;
    };
    static QList<Answer> answers;
};

class PrintDialogSeam {
public:
    // The standard print dialog for `printer`. False when the user cancelled.
    static bool exec(QPrinter& printer, QWidget* parent);

    // Test hooks. While answers are queued no dialog is shown: a queued PDF path directs the
    // printer into that file and answers OK; a queued cancel answers cancel.
    static void setNextOutputFile(const QString& pdfPath);
    static void setNextCancel();

private:
    static QStringList answers;
};
