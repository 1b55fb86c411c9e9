#include "app/ZelvoraApp.h"
#include "sync/PortalSync.h"

namespace {
// TODO: pass the real portal sync (CPortalSync) once it exists in src/sync. Until then the
// show runs on what the cache folders hold and never contacts the portal.
class CCacheOnlySync final : public IPortalSync {
public:
    void UpdatePictureList() override {}
    void UpdateNeuFzPictureList() override {}
};
} // namespace

int main(int argc, char** argv) {
    CZelvoraApp app(argc, argv, [](CSatzStore&) { return std::make_unique<CCacheOnlySync>(); });
    app.InitInstance();
    return app.exec();
}
