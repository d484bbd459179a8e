list(APPEND KESTRUM_PORTABLE_SOURCES
    service/base_url.cpp
    service/content_data_answer.cpp
    service/content_data_request.cpp
    service/dynamic_pins.cpp
    service/http_client.cpp
    service/page_host_pins.cpp
    service/pin_store.cpp
    service/pin_validation.cpp
    service/pins_document.cpp
    service/shared_http_client.cpp
    service/url_parts.cpp
    service/verified_servers.cpp
    service/version_answer.cpp
    service/version_check.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    service/linux/curl_transport.cpp
    service/linux/openssl_server_chain.cpp
    service/linux/security_products_linux.cpp)
list(APPEND KESTRUM_LINUX_LIBRARIES CURL::libcurl OpenSSL::SSL)

# Sub-lists of the service subsystem, each kept by its own part of the code.
include(service/device_identity.cmake OPTIONAL)
list(APPEND KESTRUM_WIN32_SOURCES
    service/win32/security_products_win32.cpp
    service/win32/winhttp_transport.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES wintrust winhttp crypt32 bcrypt)
