#include "cli/verify.h"

#include "check/rowdecode.h"

namespace cli {

QString verify(const surface::Bitmap& picture, const QString& data, const QString& addon) {
    const QStringList read = check::readPicture(picture);
    const auto found = [&read](const QString& wanted) {
        for (const QString& r : read)
            if (r.mid(r.indexOf(QLatin1Char(':')) + 1) == wanted) return true;
        return false;
    };
    // The decoder reads a symbol and its add-on either as two symbols or as one composite.
    const bool ok =
        addon.isEmpty() ? found(data) : (found(data + addon) || (found(data) && found(addon)));
    if (ok) return {};
    return QStringLiteral("verification failed: expected '%1'%2, the decoder read %3")
        .arg(data, addon.isEmpty() ? QString() : QStringLiteral(" with add-on '%1'").arg(addon),
             read.isEmpty() ? QStringLiteral("nothing") : read.join(QStringLiteral(", ")));
}

}  // namespace cli
