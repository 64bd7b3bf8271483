// Takes the README's and the software centre's screenshot from the real program: the
// application object starts as at any launch, opening a morph file given on the command
// line, and the main window is grabbed once it has drawn. Run under the offscreen platform
// by scripts/screenshot.sh.
//
//   quorvale-screenshot OUT.png FILE.bio [WIDTH HEIGHT]

#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/QuorvaleApp.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "view/QuorvaleView.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fputs("usage: quorvale-screenshot OUT.png FILE.bio [WIDTH HEIGHT]\n", stderr);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int width = argc == 5 ? std::stoi(argv[3]) : 960;
    const int height = argc == 5 ? std::stoi(argv[4]) : 640;
    std::vector<char*> args = {argv[0], argv[2]};
    int count = static_cast<int>(args.size());
    CQuorvaleApp app(count, args.data());
    if (!app.InitInstance()) {
        return 1;
    }
    // The same offspring on every run, so the picture in the repository only changes when
    // the program's drawing does.
    SeedRandom(11);
    app.Document()->RespawnOffspring();
    CMainFrame* frame = app.Frame();
    frame->showNormal();
    frame->resize(width, height);
    frame->View()->Invalidate();
    int code = 1;
    QTimer::singleShot(500, &app, [&] {
        code = frame->grab().save(out) ? 0 : 1;
        app.quit();
    });
    app.exec();
    app.ExitInstance();
    if (code != 0) {
        std::fprintf(stderr, "quorvale-screenshot: could not write %s\n", argv[1]);
    }
    return code;
}
