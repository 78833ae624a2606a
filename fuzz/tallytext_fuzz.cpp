// tallytext_fuzz.cpp: arbitrary text as the update server's answers and the addresses the
// folder-size browser splits: the version text, the check result built from it, server text
// decoding, URL splitting and the stored password's scrambling.
#include "foldersize/services/Internet.h"
#include "foldersize/services/UpdateCheck.h"

#include <QString>
#include <QUrl>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace foldersize;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = decodeServerText(bytes);

    const ServerVersion version = parseServerVersion(text);
    if (!version.valid && version.error.isEmpty())
        std::abort(); // a refusal always says why
    const ProgramVersion running{1, 2, 3};
    const QString result = checkForUpdateResult(false, text, running);
    const CheckOutcome outcome = classifyCheckResult(result);
    if (version.valid && outcome == CheckOutcome::Failed)
        std::abort();
    if (!version.valid && outcome != CheckOutcome::Failed)
        std::abort();
    if (outcome == CheckOutcome::Newer && !isNewer(version, running))
        std::abort();

    QString address = text;
    QString path;
    SplitURL(address, path);
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/')))
        std::abort();
    (void)requestUrl(text);

    bool ok = true;
    const QString scrambled = CryptIt(text, true, kCryptKey, &ok);
    if (ok) {
        bool back = false;
        if (CryptIt(scrambled, false, kCryptKey, &back) != text || !back)
            std::abort();
    }
    (void)CryptIt(text, false, kCryptKey, &ok);
    return 0;
}
