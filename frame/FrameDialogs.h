#pragma once

#include <QPoint>
#include <QString>
#include <optional>

#include "document/QuorvaleDoc.h"

class QAction;
class QMenu;
class QPrinter;

// Everything the main window asks the user through a dialog, a menu or a message box, and the
// help it shows. The program uses the Qt dialogs; tests put a fake in their place.
class IFrameDialogs {
public:
    enum class ESaveChanges { Save, Discard, Cancel };

    virtual ~IFrameDialogs() = default;
    // A file to open or a name to save under; empty on Cancel.
    virtual QString AskOpenPath(const QString& title, const QString& filter) = 0;
    virtual QString AskSavePath(const QString& title, const QString& filter,
                                const QString& proposed) = 0;
    // "Save changes to NAME?" before unsaved changes would be lost.
    virtual ESaveChanges AskSaveChanges(const QString& name) = 0;
    // Whether an existing file may be replaced by a save.
    virtual bool AskReplace(const QString& name) = 0;
    // An error, under the program's title with the stop icon.
    virtual void ShowMessage(const QString& text) = 0;
    virtual void ShowHelp(int topic) = 0;
    virtual void ShowAbout() = 0;
    // Shows the context menu at a screen point; the command chosen runs. True if the menu was
    // dismissed by a press outside it (a click the window may then receive as well), false if
    // a command was chosen or the menu closed by the keyboard (Esc).
    virtual bool ExecContextMenu(QMenu* menu, const QPoint& globalPos) = 0;
    // The settings dialogs: their choice on OK, nothing on Cancel.
    virtual std::optional<CSpecialGeneChoices> RunSpecialGenes() = 0;
    virtual std::optional<float> RunMutationRate(float rate) = 0;
    // The print dialog for a printout of the given number of pages; false on Cancel.
    virtual bool AskPrint(QPrinter& printer, int pages) = 0;
    // Where to export a picture (a .png or .svg name) and, for PNG, its scale (1 to 4); false
    // on Cancel.
    virtual bool AskExportPicture(QString& path, int& scale) = 0;
    // File > Print setup: the page set-up dialog for the printer the next print uses.
    virtual void AskPageSetup(QPrinter& printer) = 0;
};
