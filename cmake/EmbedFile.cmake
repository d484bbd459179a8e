# Script mode: writes a C++ source that defines `std::string_view <FUNCTION>()` in namespace
# kestrum, returning the bytes of INPUT; HEADER is the header that declares the function.
#   cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -DHEADER=... -P EmbedFile.cmake
# Bytes rather than a string literal: no quoting or raw-string delimiter can break them.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
if(size EQUAL 0)
    message(FATAL_ERROR "${INPUT} is empty")
endif()
# 24 bytes a line, each byte as 0x.., so that the source stays readable by editors.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${name} by cmake/EmbedFile.cmake; do not edit.
#include <string_view>

#include \"${HEADER}\"

namespace kestrum {
namespace {
constexpr unsigned char kBytes[${size}] = {
    ${bytes}
};
}  // namespace

std::string_view ${FUNCTION}() {
    return {reinterpret_cast<const char*>(kBytes), sizeof kBytes};
}

}  // namespace kestrum
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
