#include "common/secret_text.h"

namespace kestrum {

void WipeText(std::string& text) {
    volatile char* data = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        data[i] = 0;
}

}  // namespace kestrum
