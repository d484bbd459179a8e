list(APPEND KESTRUM_PORTABLE_SOURCES
    browser/browser_host_slots.cpp
    browser/browser_windows.cpp
    browser/escape_js_string.cpp
    browser/header_decisions.cpp
    browser/host_rules.cpp
    browser/hresult.cpp
    browser/load_error_page.cpp
    browser/navigation_policy.cpp
    browser/page_scripts.cpp
    browser/permission_rules.cpp
    browser/request_handling.cpp
    browser/runtime_version_text.cpp
    browser/top_document_messages.cpp
    browser/web_messages.cpp
    browser/web_process_settings.cpp
    browser/webview_host.cpp)

# The page scripts are kept as .js files and built in as generated sources.
set(_browser_scripts
    loader.js LoaderScriptSource
    print_routing.js PrintRoutingScriptSource
    watermark.js WatermarkScriptSource
    print_button.js PrintButtonScriptSource
    nav_toolbar.js NavToolbarScriptSource
    webview_bridge.js WebviewBridgeScriptSource
    viewer_print.js ViewerPrintScriptSource)
set(KESTRUM_BROWSER_SCRIPTS "")
while(_browser_scripts)
    list(POP_FRONT _browser_scripts _script _function)
    set(_source ${CMAKE_BINARY_DIR}/generated/browser/${_function}.cpp)
    add_custom_command(
        OUTPUT ${_source}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_CURRENT_LIST_DIR}/scripts/${_script}
                -DOUTPUT=${_source} -DFUNCTION=${_function}
                -DHEADER=browser/embedded_scripts.h
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/scripts/${_script}
                ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
        COMMENT "Embedding page script ${_script}"
        VERBATIM)
    list(APPEND KESTRUM_PORTABLE_SOURCES ${_source})
    list(APPEND KESTRUM_BROWSER_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/scripts/${_script})
endwhile()
