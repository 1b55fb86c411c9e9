#include "app/ZelvoraApp.h"
#include "sync/PortalSyncSteps.h"

int main(int argc, char** argv) {
    CZelvoraApp app(argc, argv, [](CSatzStore& store, const SyncOptions& options) {
        return std::make_unique<CPortalSync>(store, options);
    });
    app.InitInstance();
    return app.exec();
}
