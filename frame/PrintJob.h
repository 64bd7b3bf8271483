#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class CBioMorph;
class CQuorvaleView;
class IFrameDialogs;
class QPrinter;

// The printers the print system offers, as it answered in time.
struct SPrinterList {
    bool bRunning = false;  // false: no print system answers on this machine
    QStringList names;
    QString strDefault;  // empty: none is the default
};

// Printing and pictures out: File > Print with its dialog, Print setup, the pages drawn on a
// printer, and Export picture. The command line uses it with no window: then it asks nothing
// and touches no settings.
class CPrintJob {
public:
    // How long the print system is given to say which printers it has.
    static constexpr int kLookupMsecs = 5000;

    CPrintJob(CQuorvaleView& view, IFrameDialogs*& dialogs);
    ~CPrintJob();

    // File > Print: the print dialog, then the chosen pages; a failure says so.
    void Print();
    // File > Print setup: the page set-up dialog, whose choices the next print keeps.
    void PrintSetup();
    // Prints the view's pages from to to (1-based) on a printer as it is set up, under the
    // document's name; false if the job could not start or the print system refused it
    // (Problem() then says why, where it is known).
    bool PrintOn(QPrinter& printer, int from, int to);
    // The same for the pages listed, in their order.
    bool PrintPages(QPrinter& printer, const QList<int>& pages);
    // Every page, on a page turned to the picture's shape: the command line's print.
    bool PrintDocument(QPrinter& printer);
    // The print system's own words on why the last print failed; empty when it gave none.
    const QString& Problem() const { return m_strProblem; }
    // The way round the page fits the view's picture best: landscape for a wide view.
    QPageLayout::Orientation PictureOrientation() const;
    // Export picture: of a morph alone when one is given, else of the whole view.
    void Export(CBioMorph* morph);

    // Asks the print system for its printers through its lpstat, giving up after msecs: a
    // print system that stops answering would otherwise hold the caller for a minute or more.
    // Nothing when it did not answer in time; SPrinterList::bRunning false when no print
    // system runs. Without lpstat, Qt's own lookup answers, with no limit.
    static std::optional<SPrinterList> FindPrinters(int msecs);

private:
    QPrinter& Printer();
    // Asks the print system whether it answers, saying so in the window meanwhile; false
    // (and the user told) when it does not answer in time.
    bool PrintSystemAnswers();
    // The pages chosen in the print dialog, in order and within the printout; the choice is
    // then taken off the printer, so that nothing downstream picks pages from them again.
    QList<int> TakeChosenPages(QPrinter& printer, int pages);

    CQuorvaleView& m_view;
    IFrameDialogs*& m_rDialogs;
    std::unique_ptr<QPrinter> m_pPrinter;
    // The orientation chosen in Print setup where it is not the picture's own.
    std::optional<QPageLayout::Orientation> m_optChosenOrientation;
    QString m_strProblem;
};
