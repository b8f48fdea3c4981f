#include "operations/model_names.h"

#include <cstring>

namespace vimbrel {

const char* MatchModelName(const protocol::CellBuffer& name) {
    for (const char* model : kModelNames) {
        // The name and its terminating zero; every model name is far shorter
        // than the buffer.
        if (std::memcmp(name.data(), model, std::strlen(model) + 1) == 0) return model;
    }
    return nullptr;
}

}  // namespace vimbrel
