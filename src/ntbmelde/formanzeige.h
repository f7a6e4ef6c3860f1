// The printout window: a child window of the main window's frame that shows the control
// printout as it was when the window opened, and saves or prints that text.
#pragma once

#include <QMdiSubWindow>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPlainTextEdit;
class QPushButton;
class TMeldeAustausch;

class TFormAnzeige : public QMdiSubWindow {
    Q_OBJECT
public:
    // Composes the printout of `data` at once and keeps it; the window frees itself when it
    // is closed.
    explicit TFormAnzeige(const TMeldeAustausch& data, QWidget* parent = nullptr);

    // The snapshot the window shows, saves and prints (Windows-1252 lines).
    const std::vector<std::string>& lines() const { return reportLines; }
    // The entries of the save dialog's file-type list; the chosen one decides the content.
    static QStringList saveFilters();

private slots:
    void ButtonCloseClick();
    void ButtonSaveClick();
    void ButtonPrintClick();
    void ButtonPreviewClick();

private:
    enum class FileType { RichText, PlainText, Pdf };
    void BuildText(const TMeldeAustausch& data);
    void saveAs(QString fileName, FileType type) const;
    void paintReport(QPagedPaintDevice& device) const;

    QPlainTextEdit* TextFeld;
    QPushButton* ButtonClose;
    QPushButton* ButtonSave;
    QPushButton* ButtonPrint;
    QPushButton* ButtonPreview;
    std::vector<std::string> reportLines;
};
