list(APPEND KESTRUM_PORTABLE_SOURCES
    common/base64.cpp
    common/secret_text.cpp
    common/split_text.cpp
    common/text_case.cpp
    common/text_encoding.cpp
    common/url_codec.cpp)
