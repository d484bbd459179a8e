#include "common/app_context.h"

namespace kestrum {

AppContext& TheAppContext() {
    static AppContext context;
    return context;
}

}  // namespace kestrum
