// SPDX-License-Identifier: GPL-3.0-or-later
// The printout window: a child window of the main window's frame that shows a printout (the
// control printout or the fee overview) as it was when the window opened, and saves or prints
// that text.
#pragma once

#include <QMdiSubWindow>

#include "feereport.h"

#include <string>
#include <vector>

class QPagedPaintDevice;
class QPushButton;
class TMeldeAustausch;
class TPrintoutView;

struct TPrintout {
    QString Title; // the print job's name, the PDF's title, the preview's caption
    QString SaveHint;
    QString PrintHint;
    std::vector<std::string> Lines; // Windows-1252, no line ends
};

// The two printouts of the data as they are now; the hourglass shows while they are composed.
TPrintout ControlPrintout(const TMeldeAustausch& data,
                          const std::optional<TDeadline>& deadline = {});
TPrintout FeeOverview(const TMeldeAustausch& data, const TMeetFees& meetFees = {},
                      const std::optional<std::vector<int>>& staffedSections = std::nullopt);

class TPrintoutWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // Shows `printout`; the window frees itself when it is closed.
    explicit TPrintoutWindow(TPrintout shown, QWidget* parent = nullptr);

    // The snapshot the window shows, saves and prints (Windows-1252 lines).
    const std::vector<std::string>& lines() const { return printout.Lines; }
    // The entries of the save dialog's file-type list; the chosen one decides the content.
    static QStringList saveFilters();

private slots:
    void ButtonCloseClick();
    void ButtonSaveClick();
    void ButtonPrintClick();
    void ButtonPreviewClick();

private:
    enum class FileType { RichText, PlainText, Pdf };
    void BuildText();
    void saveAs(QString fileName, FileType type) const;
    void paintReport(QPagedPaintDevice& device) const;

    TPrintoutView* TextFeld;
    QPushButton* ButtonClose;
    QPushButton* ButtonSave;
    QPushButton* ButtonPrint;
    QPushButton* ButtonPreview;
    TPrintout printout;
};
