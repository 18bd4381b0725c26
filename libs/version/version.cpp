#include "version.h"

#include "version_text.h"

namespace project_version {

const char* text() {
    return PROJECT_VERSION_TEXT;
}

} // namespace project_version
