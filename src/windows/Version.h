// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVersionNumber>

// The application's version block, from project(VERSION) in the top-level CMakeLists.txt. The
// Windows resource script (src/platform/win/krambol.rc.in) writes the same values into the
// executable's file version information.
namespace krambol::windows {

QString productName();   // "Крамбол"
QString companyName();   // "Kermil sift"
QVersionNumber version(); // 2.4.0.9
// The version as the file's version block writes it: "2.04.0009".
QString versionText();
// The version as the splash and about windows show it: "Version 2.4.9".
QString versionLabelText();

// Gives the running application its product name, company and version as Qt metadata. Call it
// once, after the application object exists.
void applyApplicationMetadata();

} // namespace krambol::windows
