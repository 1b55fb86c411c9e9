#include "sync/CredentialStore.h"

#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/BlowfishCipher.h"
#include "sync/Md5Digest.h"
#include "sync/SyncConstants.h"

namespace {
template <std::size_t N> QByteArrayView KeyView(const std::array<unsigned char, N>& key) {
    return QByteArrayView(key.data(), qsizetype(N));
}
} // namespace

CredentialBytes LoadCredentialBytes() {
    using namespace credential;
    const QString code = GetProfileString(setting::kSection, setting::kCode);
    if (code.size() != kCodeLength)
        return {};
    const QStringView view(code);
    const int passwordHex = 2 * kPasswordFieldSize;
    return {BlowfishCipher(KeyView(kKundenNrKey))
                .DecryptHexText(view.mid(passwordHex), kKundenNrFieldSize),
            BlowfishCipher(KeyView(kPasswordKey))
                .DecryptHexText(view.left(passwordHex), kPasswordFieldSize)};
}

Credentials LoadCredentials() {
    const CredentialBytes bytes = LoadCredentialBytes();
    return {cache::FromCp1252(bytes.kundenNr), cache::FromCp1252(bytes.password)};
}

void SaveCredentials(const QString& kundenNr, const QString& password) {
    using namespace credential;
    const QString code = BlowfishCipher(KeyView(kPasswordKey))
                             .EncryptToHex(cache::ToCp1252(password), kPasswordFieldSize) +
                         BlowfishCipher(KeyView(kKundenNrKey))
                             .EncryptToHex(cache::ToCp1252(kundenNr), kKundenNrFieldSize);
    WriteProfileString(setting::kSection, setting::kCode, code);
}

bool FormPasswordDigest(CSatzStore& store) {
    return FormPasswordDigest(store, LoadCredentialBytes());
}

bool FormPasswordDigest(CSatzStore& store, const CredentialBytes& bytes) {
    store.m_strPasswordDigest = Md5Digest(bytes.password).toHex().toUpper();
    store.m_strKundenNr = cache::FromCp1252(bytes.kundenNr);
    if (bytes.kundenNr.isEmpty())
        return false;
    store.m_nKundenNr = cache::ParseInt(QByteArrayView(bytes.kundenNr));
    return true;
}
