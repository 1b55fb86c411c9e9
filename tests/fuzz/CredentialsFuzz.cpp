// A stored "code" as the settings store may hold it: loaded as the credentials and as the
// digest of a list request, and deciphered directly whatever its length.

#include "FuzzWorkDir.h"
#include "catalogue/SatzStore.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/BlowfishCipher.h"
#include "sync/CredentialStore.h"
#include "sync/SyncConstants.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterFuzzWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CSatzStore store;
    const QString code =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Only a code of the stored length reaches the cipher through the store.
    const BlowfishCipher cipher(QByteArrayView(credential::kPasswordKey.data(),
                                               qsizetype(credential::kPasswordKey.size())));
    cipher.DecryptHexText(code, credential::kPasswordFieldSize);
    cipher.DecryptHexText(code, credential::kKundenNrFieldSize);

    WriteProfileString(setting::kSection, setting::kCode, code);
    LoadCredentials();
    FormPasswordDigest(store);
    return 0;
}
