// The version of this build: the project's version and the commit it was built from, as
// programs print it for --version and show it in their windows.
#pragma once

namespace project_version {

// "1.0.0 (commit 0123456789)", with ", modified" inside the brackets when the build had
// changes not yet committed.
const char* text();

} // namespace project_version
