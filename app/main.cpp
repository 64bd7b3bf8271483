#include "app/QuorvaleApp.h"

int main(int argc, char** argv) {
    CQuorvaleApp app(argc, argv);
    if (!app.InitInstance()) {
        return app.ExitCode();
    }
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
