#include "project/ui/command_guard.h"

#include <exception>

#include "project/document_texts.h"

namespace sw {

void RunCommand(Prompts& prompts, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        prompts.Error(texts::kErrorCaption, "Out of memory");
    } catch (const std::exception& error) {
        prompts.Error(texts::kErrorCaption, error.what());
    }
}

}  // namespace sw
