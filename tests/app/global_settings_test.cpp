#include "app/settings/global_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace sw {
namespace {

// Sets $TMPDIR for one test and puts the previous value back.
class TmpDirVariable {
  public:
    explicit TmpDirVariable(const char* value) {
        if (const char* old = std::getenv("TMPDIR")) {
            previous_ = old;
        }
        if (value != nullptr) {
            setenv("TMPDIR", value, 1);
        } else {
            unsetenv("TMPDIR");
        }
    }
    ~TmpDirVariable() {
        if (previous_) {
            setenv("TMPDIR", previous_->c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

  private:
    std::optional<std::string> previous_;
};

TEST(SystemTempFolder, BlanksAroundTheVariableAreTrimmed) {
    // Temporary index files would otherwise go to a folder named " /scratch " that no one made.
    TmpDirVariable tmp("  /scratch/tmp \t");
    EXPECT_EQ(SystemTempFolder(), "/scratch/tmp");
    EXPECT_EQ(DefaultGlobalSettings().TempFolder, "/scratch/tmp");
}

TEST(SystemTempFolder, UnsetEmptyOrBlankVariableMeansTmp) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "   "}) {
        TmpDirVariable tmp(value);
        EXPECT_EQ(SystemTempFolder(), "/tmp");
    }
}

}  // namespace
}  // namespace sw
