#pragma once

// The user's signs file (its form: signlist.h): where it is, and its devices checked as the link
// layer takes them, so that a port outside 1..16 or a malformed network link is refused with its
// line before anything is sent.

#include "linktarget.h"
#include "signlist.h"

namespace orvane {

// ORVANE_SIGNS when set, else signs.conf in the user's configuration folder
// ($XDG_CONFIG_HOME/orvane,
// ~/.config/orvane; on Windows %APPDATA%\orvane).
QString signsFilePath();

// Reads and checks the named file. A refusal names the file and, for a bad line, starts its
// reason with the line: "line 3: ...".
Result<SignList> readSignsFile(const QString& fileName);

// The link a sign of a file readSignsFile() accepted names.
LinkTarget signLink(const SignDevice& sign);

// What a --device argument names: a network link or a device as it stands, or, when it has the
// form of a sign's name and is no file here, that one sign of the signs file. Nothing when the
// link is malformed, or the file is refused or has no such sign: refused.
Result<LinkTarget> deviceOrSign(const QString& argument);

} // namespace orvane
