// Checks our hand-written runtime interface declarations against the published table of
// interface identifiers and vtable slots (webview2-slots.tsv, copied beside the program).
// A method declared one place too early or late, or a wrong placeholder count in any base,
// moves its slot and fails here instead of calling the wrong method at run time.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "browser/win32/webview2/webview2_declarations.h"

namespace {

struct PublishedTable {
    std::map<std::pair<std::string, std::string>, int> slots;  // (interface, method) -> slot
    std::map<std::string, std::string> iids;                   // interface -> lower-case IID
};

std::filesystem::path ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

PublishedTable LoadPublishedTable() {
    PublishedTable table;
    std::ifstream in(ProgramFolder() / "webview2-slots.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("interface\t", 0) == 0)
            continue;
        std::vector<std::string> fields;
        std::stringstream fieldStream(line);
        for (std::string field; std::getline(fieldStream, field, '\t');)
            fields.push_back(field);
        if (fields.size() < 8)
            continue;
        table.iids[fields[0]] = fields[1];
        if (fields[6] != "-")
            table.slots[{fields[0], fields[7]}] = std::stoi(fields[6]);
    }
    return table;
}

// Under the Itanium C++ ABI a pointer to a virtual member function holds 1 + the byte offset
// of its vtable entry, followed by a this-adjustment.
template <typename Member>
int SlotOf(Member member) {
    struct {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } raw;
    static_assert(sizeof(member) == sizeof(raw));
    std::memcpy(&raw, &member, sizeof(raw));
    if ((raw.pointer & 1U) == 0)
        return -1;  // not a virtual function
    return static_cast<int>((raw.pointer - 1) / sizeof(void*));
}

std::string IidText(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

struct DeclaredMethod {
    const char* interfaceName;
    const char* method;
    int slot;
};

#define METHOD(I, m)          \
    DeclaredMethod {          \
#I, #m, SlotOf(&I::m) \
    }

const std::vector<DeclaredMethod>& DeclaredMethods() {
    static const std::vector<DeclaredMethod> methods = {
        METHOD(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, Invoke),
        METHOD(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, Invoke),
        METHOD(ICoreWebView2NavigationStartingEventHandler, Invoke),
        METHOD(ICoreWebView2NavigationCompletedEventHandler, Invoke),
        METHOD(ICoreWebView2WebMessageReceivedEventHandler, Invoke),
        METHOD(ICoreWebView2PermissionRequestedEventHandler, Invoke),
        METHOD(ICoreWebView2NewWindowRequestedEventHandler, Invoke),
        METHOD(ICoreWebView2WebResourceRequestedEventHandler, Invoke),
        METHOD(ICoreWebView2BrowserProcessExitedEventHandler, Invoke),
        METHOD(ICoreWebView2PrintCompletedHandler, Invoke),
        METHOD(ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, Invoke),
        METHOD(ICoreWebView2Deferral, Complete),
        METHOD(ICoreWebView2EnvironmentOptions, get_AdditionalBrowserArguments),
        METHOD(ICoreWebView2EnvironmentOptions, put_AdditionalBrowserArguments),
        METHOD(ICoreWebView2EnvironmentOptions, get_Language),
        METHOD(ICoreWebView2EnvironmentOptions, put_Language),
        METHOD(ICoreWebView2EnvironmentOptions, get_TargetCompatibleBrowserVersion),
        METHOD(ICoreWebView2EnvironmentOptions, put_TargetCompatibleBrowserVersion),
        METHOD(ICoreWebView2EnvironmentOptions, get_AllowSingleSignOnUsingOSPrimaryAccount),
        METHOD(ICoreWebView2EnvironmentOptions, put_AllowSingleSignOnUsingOSPrimaryAccount),
        METHOD(ICoreWebView2Environment, CreateCoreWebView2Controller),
        METHOD(ICoreWebView2Environment, CreateWebResourceResponse),
        METHOD(ICoreWebView2Environment, get_BrowserVersionString),
        METHOD(ICoreWebView2Environment2, CreateWebResourceRequest),
        METHOD(ICoreWebView2Environment5, add_BrowserProcessExited),
        METHOD(ICoreWebView2Environment5, remove_BrowserProcessExited),
        METHOD(ICoreWebView2Environment6, CreatePrintSettings),
        METHOD(ICoreWebView2Controller, get_IsVisible),
        METHOD(ICoreWebView2Controller, put_IsVisible),
        METHOD(ICoreWebView2Controller, get_Bounds),
        METHOD(ICoreWebView2Controller, put_Bounds),
        METHOD(ICoreWebView2Controller, NotifyParentWindowPositionChanged),
        METHOD(ICoreWebView2Controller, Close),
        METHOD(ICoreWebView2Controller, get_CoreWebView2),
        METHOD(ICoreWebView2Controller2, get_DefaultBackgroundColor),
        METHOD(ICoreWebView2Controller2, put_DefaultBackgroundColor),
        METHOD(ICoreWebView2Controller4, get_AllowExternalDrop),
        METHOD(ICoreWebView2Controller4, put_AllowExternalDrop),
        METHOD(ICoreWebView2, get_Settings),
        METHOD(ICoreWebView2, Navigate),
        METHOD(ICoreWebView2, NavigateToString),
        METHOD(ICoreWebView2, add_NavigationStarting),
        METHOD(ICoreWebView2, remove_NavigationStarting),
        METHOD(ICoreWebView2, add_NavigationCompleted),
        METHOD(ICoreWebView2, remove_NavigationCompleted),
        METHOD(ICoreWebView2, add_PermissionRequested),
        METHOD(ICoreWebView2, remove_PermissionRequested),
        METHOD(ICoreWebView2, AddScriptToExecuteOnDocumentCreated),
        METHOD(ICoreWebView2, Reload),
        METHOD(ICoreWebView2, PostWebMessageAsJson),
        METHOD(ICoreWebView2, add_WebMessageReceived),
        METHOD(ICoreWebView2, remove_WebMessageReceived),
        METHOD(ICoreWebView2, get_BrowserProcessId),
        METHOD(ICoreWebView2, get_CanGoBack),
        METHOD(ICoreWebView2, GoBack),
        METHOD(ICoreWebView2, Stop),
        METHOD(ICoreWebView2, add_NewWindowRequested),
        METHOD(ICoreWebView2, remove_NewWindowRequested),
        METHOD(ICoreWebView2, add_WebResourceRequested),
        METHOD(ICoreWebView2, remove_WebResourceRequested),
        METHOD(ICoreWebView2, AddWebResourceRequestedFilter),
        METHOD(ICoreWebView2_2, NavigateWithWebResourceRequest),
        METHOD(ICoreWebView2_16, Print),
        METHOD(ICoreWebView2_22, AddWebResourceRequestedFilterWithRequestSourceKinds),
        METHOD(ICoreWebView2_22, RemoveWebResourceRequestedFilterWithRequestSourceKinds),
        METHOD(ICoreWebView2Settings, get_IsScriptEnabled),
        METHOD(ICoreWebView2Settings, put_IsScriptEnabled),
        METHOD(ICoreWebView2Settings, get_IsWebMessageEnabled),
        METHOD(ICoreWebView2Settings, put_IsWebMessageEnabled),
        METHOD(ICoreWebView2Settings, get_AreDefaultScriptDialogsEnabled),
        METHOD(ICoreWebView2Settings, put_AreDefaultScriptDialogsEnabled),
        METHOD(ICoreWebView2Settings, get_IsStatusBarEnabled),
        METHOD(ICoreWebView2Settings, put_IsStatusBarEnabled),
        METHOD(ICoreWebView2Settings, get_AreDevToolsEnabled),
        METHOD(ICoreWebView2Settings, put_AreDevToolsEnabled),
        METHOD(ICoreWebView2Settings, get_AreDefaultContextMenusEnabled),
        METHOD(ICoreWebView2Settings, put_AreDefaultContextMenusEnabled),
        METHOD(ICoreWebView2Settings, get_AreHostObjectsAllowed),
        METHOD(ICoreWebView2Settings, put_AreHostObjectsAllowed),
        METHOD(ICoreWebView2Settings, get_IsZoomControlEnabled),
        METHOD(ICoreWebView2Settings, put_IsZoomControlEnabled),
        METHOD(ICoreWebView2Settings, get_IsBuiltInErrorPageEnabled),
        METHOD(ICoreWebView2Settings, put_IsBuiltInErrorPageEnabled),
        METHOD(ICoreWebView2Settings3, get_AreBrowserAcceleratorKeysEnabled),
        METHOD(ICoreWebView2Settings3, put_AreBrowserAcceleratorKeysEnabled),
        METHOD(ICoreWebView2Settings7, get_HiddenPdfToolbarItems),
        METHOD(ICoreWebView2Settings7, put_HiddenPdfToolbarItems),
        METHOD(ICoreWebView2PrintSettings2, get_PrinterName),
        METHOD(ICoreWebView2PrintSettings2, put_PrinterName),
        METHOD(ICoreWebView2HttpRequestHeaders, GetHeader),
        METHOD(ICoreWebView2HttpRequestHeaders, Contains),
        METHOD(ICoreWebView2HttpRequestHeaders, SetHeader),
        METHOD(ICoreWebView2HttpRequestHeaders, RemoveHeader),
        METHOD(ICoreWebView2WebResourceRequest, get_Uri),
        METHOD(ICoreWebView2WebResourceRequest, put_Uri),
        METHOD(ICoreWebView2WebResourceRequest, get_Method),
        METHOD(ICoreWebView2WebResourceRequest, put_Method),
        METHOD(ICoreWebView2WebResourceRequest, get_Content),
        METHOD(ICoreWebView2WebResourceRequest, put_Content),
        METHOD(ICoreWebView2WebResourceRequest, get_Headers),
        METHOD(ICoreWebView2WebResourceResponse, get_Content),
        METHOD(ICoreWebView2WebResourceResponse, put_Content),
        METHOD(ICoreWebView2WebResourceResponse, get_Headers),
        METHOD(ICoreWebView2WebResourceResponse, get_StatusCode),
        METHOD(ICoreWebView2WebResourceResponse, put_StatusCode),
        METHOD(ICoreWebView2WebResourceResponse, get_ReasonPhrase),
        METHOD(ICoreWebView2WebResourceResponse, put_ReasonPhrase),
        METHOD(ICoreWebView2WebResourceRequestedEventArgs, get_Request),
        METHOD(ICoreWebView2WebResourceRequestedEventArgs, get_Response),
        METHOD(ICoreWebView2WebResourceRequestedEventArgs, put_Response),
        METHOD(ICoreWebView2WebResourceRequestedEventArgs, GetDeferral),
        METHOD(ICoreWebView2WebResourceRequestedEventArgs, get_ResourceContext),
        METHOD(ICoreWebView2NavigationStartingEventArgs, get_Uri),
        METHOD(ICoreWebView2NavigationStartingEventArgs, get_IsUserInitiated),
        METHOD(ICoreWebView2NavigationStartingEventArgs, get_IsRedirected),
        METHOD(ICoreWebView2NavigationStartingEventArgs, get_RequestHeaders),
        METHOD(ICoreWebView2NavigationStartingEventArgs, get_Cancel),
        METHOD(ICoreWebView2NavigationStartingEventArgs, put_Cancel),
        METHOD(ICoreWebView2NavigationStartingEventArgs, get_NavigationId),
        METHOD(ICoreWebView2NavigationCompletedEventArgs, get_IsSuccess),
        METHOD(ICoreWebView2NavigationCompletedEventArgs, get_WebErrorStatus),
        METHOD(ICoreWebView2NavigationCompletedEventArgs, get_NavigationId),
        METHOD(ICoreWebView2WebMessageReceivedEventArgs, get_Source),
        METHOD(ICoreWebView2WebMessageReceivedEventArgs, get_WebMessageAsJson),
        METHOD(ICoreWebView2WebMessageReceivedEventArgs, TryGetWebMessageAsString),
        METHOD(ICoreWebView2PermissionRequestedEventArgs, get_Uri),
        METHOD(ICoreWebView2PermissionRequestedEventArgs, get_PermissionKind),
        METHOD(ICoreWebView2PermissionRequestedEventArgs, get_IsUserInitiated),
        METHOD(ICoreWebView2PermissionRequestedEventArgs, get_State),
        METHOD(ICoreWebView2PermissionRequestedEventArgs, put_State),
        METHOD(ICoreWebView2PermissionRequestedEventArgs, GetDeferral),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, get_Uri),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, put_NewWindow),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, get_NewWindow),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, put_Handled),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, get_Handled),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, get_IsUserInitiated),
        METHOD(ICoreWebView2NewWindowRequestedEventArgs, GetDeferral),
        METHOD(ICoreWebView2BrowserProcessExitedEventArgs, get_BrowserProcessExitKind),
        METHOD(ICoreWebView2BrowserProcessExitedEventArgs, get_BrowserProcessId),
    };
    return methods;
}

#define IID_OF(I) std::pair<std::string, GUID>(#I, __uuidof(I))

const std::vector<std::pair<std::string, GUID>>& DeclaredIids() {
    static const std::vector<std::pair<std::string, GUID>> iids = {
        IID_OF(ICoreWebView2Environment),
        IID_OF(ICoreWebView2Environment2),
        IID_OF(ICoreWebView2Environment3),
        IID_OF(ICoreWebView2Environment4),
        IID_OF(ICoreWebView2Environment5),
        IID_OF(ICoreWebView2Environment6),
        IID_OF(ICoreWebView2Controller),
        IID_OF(ICoreWebView2Controller2),
        IID_OF(ICoreWebView2Controller3),
        IID_OF(ICoreWebView2Controller4),
        IID_OF(ICoreWebView2),
        IID_OF(ICoreWebView2_2),
        IID_OF(ICoreWebView2_3),
        IID_OF(ICoreWebView2_4),
        IID_OF(ICoreWebView2_5),
        IID_OF(ICoreWebView2_6),
        IID_OF(ICoreWebView2_7),
        IID_OF(ICoreWebView2_8),
        IID_OF(ICoreWebView2_9),
        IID_OF(ICoreWebView2_10),
        IID_OF(ICoreWebView2_11),
        IID_OF(ICoreWebView2_12),
        IID_OF(ICoreWebView2_13),
        IID_OF(ICoreWebView2_14),
        IID_OF(ICoreWebView2_15),
        IID_OF(ICoreWebView2_16),
        IID_OF(ICoreWebView2_17),
        IID_OF(ICoreWebView2_18),
        IID_OF(ICoreWebView2_19),
        IID_OF(ICoreWebView2_20),
        IID_OF(ICoreWebView2_21),
        IID_OF(ICoreWebView2_22),
        IID_OF(ICoreWebView2Settings),
        IID_OF(ICoreWebView2Settings2),
        IID_OF(ICoreWebView2Settings3),
        IID_OF(ICoreWebView2Settings4),
        IID_OF(ICoreWebView2Settings5),
        IID_OF(ICoreWebView2Settings6),
        IID_OF(ICoreWebView2Settings7),
        IID_OF(ICoreWebView2PrintSettings),
        IID_OF(ICoreWebView2PrintSettings2),
        IID_OF(ICoreWebView2WebResourceRequestedEventArgs),
        IID_OF(ICoreWebView2WebResourceRequest),
        IID_OF(ICoreWebView2HttpRequestHeaders),
        IID_OF(ICoreWebView2WebResourceResponse),
        IID_OF(ICoreWebView2NavigationStartingEventArgs),
        IID_OF(ICoreWebView2NavigationCompletedEventArgs),
        IID_OF(ICoreWebView2WebMessageReceivedEventArgs),
        IID_OF(ICoreWebView2PermissionRequestedEventArgs),
        IID_OF(ICoreWebView2NewWindowRequestedEventArgs),
        IID_OF(ICoreWebView2BrowserProcessExitedEventArgs),
        IID_OF(ICoreWebView2EnvironmentOptions),
        IID_OF(ICoreWebView2Deferral),
        IID_OF(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler),
        IID_OF(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler),
        IID_OF(ICoreWebView2NavigationStartingEventHandler),
        IID_OF(ICoreWebView2NavigationCompletedEventHandler),
        IID_OF(ICoreWebView2WebMessageReceivedEventHandler),
        IID_OF(ICoreWebView2PermissionRequestedEventHandler),
        IID_OF(ICoreWebView2NewWindowRequestedEventHandler),
        IID_OF(ICoreWebView2WebResourceRequestedEventHandler),
        IID_OF(ICoreWebView2BrowserProcessExitedEventHandler),
        IID_OF(ICoreWebView2PrintCompletedHandler),
        IID_OF(ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler),
    };
    return iids;
}

TEST(RuntimeInterfaceDeclarations, PublishedTableIsReadable) {
    const PublishedTable table = LoadPublishedTable();
    ASSERT_FALSE(table.slots.empty()) << "webview2-slots.tsv missing beside the test program";
    // A known row, so a mis-parsed table cannot pass the checks below by being half empty.
    EXPECT_EQ(table.slots.at({"ICoreWebView2_16", "Print"}), 113);
}

TEST(RuntimeInterfaceDeclarations, EveryDeclaredMethodSitsInItsPublishedSlot) {
    const PublishedTable table = LoadPublishedTable();
    for (const DeclaredMethod& m : DeclaredMethods()) {
        SCOPED_TRACE(std::string(m.interfaceName) + "::" + m.method);
        const auto published = table.slots.find({m.interfaceName, m.method});
        ASSERT_NE(published, table.slots.end()) << "not in the published table";
        EXPECT_EQ(m.slot, published->second);
    }
}

TEST(RuntimeInterfaceDeclarations, EveryInterfaceCarriesItsPublishedIdentifier) {
    const PublishedTable table = LoadPublishedTable();
    std::set<std::string> declared;
    for (const auto& [name, iid] : DeclaredIids()) {
        SCOPED_TRACE(name);
        declared.insert(name);
        const auto published = table.iids.find(name);
        ASSERT_NE(published, table.iids.end()) << "not in the published table";
        EXPECT_EQ(IidText(iid), published->second);
    }
    // Every published interface is declared: a base left out would shift its derived slots.
    for (const auto& [name, iid] : table.iids)
        EXPECT_TRUE(declared.count(name)) << name;
}

}  // namespace
