#include "app/ZelvoraApp.h"
#include "sync/PortalSyncSteps.h"

int main(int argc, char** argv) {
    CZelvoraApp app(argc, argv,
                    [](CSatzStore& store) { return std::make_unique<CPortalSync>(store); });
    app.InitInstance();
    return app.exec();
}
