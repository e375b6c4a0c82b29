#pragma once
// The program's version information: what the splash and the about box show.

#include <QString>

namespace tessivar::ui {

#ifndef TESSIVAR_VERSION
#define TESSIVAR_VERSION "0.0.0"
#endif

inline QString productName() {
    return QStringLiteral("Tessivar");
}
inline QString versionText() {
    return QStringLiteral("Version " TESSIVAR_VERSION);
}
inline QString legalNotice() {
    return QStringLiteral("Copyright \u00A9 Quorvel. This console monitors and controls one "
                          "frame of a Quorvel video routing switcher. Use it only on equipment "
                          "you are authorised to operate.");
}
inline QString trademarkNotice() {
    return QStringLiteral("Quorvel and Tessivar are trademarks of Quorvel.");
}

} // namespace tessivar::ui
