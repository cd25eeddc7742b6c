#include "app/PatchferryApp.h"

int main(int argc, char** argv) {
    patchferry::PatchferryApp app(argc, argv);
    if (!app.InitInstance()) {
        return 1;
    }
    return patchferry::PatchferryApp::exec();
}
