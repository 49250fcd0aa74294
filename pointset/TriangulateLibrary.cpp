#include "TriangulateLibrary.h"

#include <utility>

namespace pointset {

TriangulateLibrary::TriangulateLibrary(LibraryLoader& loader, std::string fileName)
    : loader_(loader), fileName_(std::move(fileName)) {}

TriangulateLibrary::Entry TriangulateLibrary::entry() {
    if (function_ != nullptr) {
        return {function_, {}};
    }
    LibraryLoader::Loaded loaded = loader_.load(fileName_, VANTREL_ENTRY_NAME);
    const std::string reason = loaded.error.empty() ? "unknown reason" : loaded.error;
    if (!loaded.module) {
        const std::string searched =
            loaded.searched.empty() ? std::string() : " (looked in " + loaded.searched + ")";
        return {nullptr,
                "Cannot load the triangulation library " + fileName_ + searched + ": " + reason};
    }
    if (loaded.function == nullptr) {
        return {nullptr, "The triangulation library " + fileName_ + " has no function " +
                             VANTREL_ENTRY_NAME + ": " + reason};
    }
    module_ = std::move(loaded.module);
    function_ = reinterpret_cast<TriangulateFn>(loaded.function);
    return {function_, {}};
}

}  // namespace pointset
