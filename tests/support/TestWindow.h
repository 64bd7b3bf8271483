#pragma once

#include <QSize>
#include <memory>

#include "frame/MainFrame.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "view/QuorvaleView.h"

// The window the window tests drive: the main window over a new document, with the fake
// clock and dialogs, at the given size and laid out, not yet shown.
inline std::unique_ptr<CMainFrame> MakeTestWindow(CQuorvaleDoc& doc, CFakeClock& clock,
                                                  CFakeDialogs& dialogs,
                                                  const QSize& size = QSize(820, 560)) {
    auto frame = std::make_unique<CMainFrame>(&doc);
    frame->SetDialogs(&dialogs);
    frame->View()->SetClock(&clock);
    doc.OnNewDocument();
    frame->resize(size);
    frame->View()->OnInitialUpdate();
    return frame;
}
