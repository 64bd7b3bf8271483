#include "frame/PrintJob.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "frame/FrameDialogs.h"
#include "view/QuorvaleView.h"

CPrintJob::CPrintJob(CQuorvaleView& view, IFrameDialogs*& dialogs)
    : m_view(view), m_rDialogs(dialogs) {}

CPrintJob::~CPrintJob() = default;

QPrinter& CPrintJob::Printer() {
    if (!m_pPrinter) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_pPrinter;
}

void CPrintJob::Print() {
    QPrinter& printer = Printer();
    const int pages = m_view.PrintPageCount();
    if (!m_rDialogs->AskPrint(printer, pages)) {
        return;
    }
    int from = 1;
    int to = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        to = printer.toPage() > 0 ? printer.toPage() : pages;
    }
    if (!PrintOn(printer, from, to)) {
        m_rDialogs->ShowMessage(QObject::tr("Could not start print job."));
    }
}

void CPrintJob::PrintSetup() {
    m_rDialogs->AskPageSetup(Printer());
}

bool CPrintJob::PrintOn(QPrinter& printer, int from, int to) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect page(QPoint(0, 0), printable.size());
    // A printer that makes copies itself is asked for them with the job; for one that cannot
    // (a PDF file) the pages are drawn once per copy, all pages of a copy together when the
    // copies are collated, else each page as many times in a row.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    bool bFirst = true;
    auto newPage = [&] {
        if (bFirst) {
            bFirst = false;
            return true;
        }
        return printer.newPage();
    };
    if (copies == 1 || printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy) {
            if (!newPage()) {
                break;
            }
            m_view.PrintPages(painter, page, from, to, [&printer] { return printer.newPage(); });
        }
    } else {
        for (int n = from; n <= std::min(to, m_view.PrintPageCount()); ++n) {
            for (int copy = 0; copy < copies; ++copy) {
                if (!newPage()) {
                    break;
                }
                m_view.PrintPages(painter, page, n, n, nullptr);
            }
        }
    }
    painter.end();
    return true;
}

void CPrintJob::Export(CBioMorph* morph) {
    QString path;
    int scale = 1;
    if (!m_rDialogs->AskExportPicture(path, scale)) {
        return;
    }
    const QString error = m_view.ExportPicture(path, scale, morph);
    if (!error.isEmpty()) {
        m_rDialogs->ShowMessage(QObject::tr("Could not export the picture to %1.\n\n%2")
                                    .arg(QFileInfo(path).fileName(), error));
    }
}
