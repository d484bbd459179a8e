list(APPEND KESTRUM_PORTABLE_SOURCES
    link/content_url_rules.cpp
    link/embed_page.cpp
    link/live_class_page.cpp
    link/envelope.cpp
    link/link_crypto.cpp
    link/scheme_args.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    link/linux/link_crypto_openssl.cpp)
list(APPEND KESTRUM_LINUX_LIBRARIES OpenSSL::Crypto)
list(APPEND KESTRUM_WIN32_SOURCES
    link/win32/link_crypto_bcrypt.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES bcrypt)
