#pragma once

#include <QString>
#include <memory>

class CBioMorph;
class CQuorvaleView;
class IFrameDialogs;
class QPrinter;

// Printing and pictures out: File > Print with its dialog, Print setup, the pages drawn on a
// printer, and Export picture. The command line uses it with no window: then it asks nothing
// and touches no settings.
class CPrintJob {
public:
    CPrintJob(CQuorvaleView& view, IFrameDialogs*& dialogs);
    ~CPrintJob();

    // File > Print: the print dialog, then the chosen pages; a failure says so.
    void Print();
    // File > Print setup: the page set-up dialog, whose choices the next print keeps.
    void PrintSetup();
    // Prints the view's pages from to to (1-based) on a printer; false if the printer could
    // not start.
    bool PrintOn(QPrinter& printer, int from, int to);
    // Export picture: of a morph alone when one is given, else of the whole view.
    void Export(CBioMorph* morph);

private:
    QPrinter& Printer();

    CQuorvaleView& m_view;
    IFrameDialogs*& m_rDialogs;
    std::unique_ptr<QPrinter> m_pPrinter;
};
