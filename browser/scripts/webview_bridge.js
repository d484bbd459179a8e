// For engines without window.chrome.webview: the same object, carried by the host's script
// message handler "kestrum". A posted string reaches the host as it is, any other value as
// its JSON text; the host answers through _kestrumDeliver with a JSON text, which listeners
// receive as the data of a "message" event.
(() => {
    if (window._molvaneBridgeAdded) return;
    window._molvaneBridgeAdded = true;
    if (window.chrome && window.chrome.webview) return;

    const handlers = window.webkit && window.webkit.messageHandlers;
    const host = handlers && handlers.kestrum;
    if (!host) return;

    const events = new EventTarget();
    const webview = {
        postMessage(message) {
            host.postMessage(typeof message === 'string' ? message : JSON.stringify(message));
        },
        addEventListener(type, listener, options) {
            events.addEventListener(type, listener, options);
        },
        removeEventListener(type, listener, options) {
            events.removeEventListener(type, listener, options);
        },
    };
    Object.defineProperty(webview, '_kestrumDeliver', {
        value: (jsonText) => {
            let data;
            try {
                data = JSON.parse(jsonText);
            } catch (e) {
                return;
            }
            events.dispatchEvent(new MessageEvent('message', { data }));
        },
        writable: false,
        configurable: false,
        enumerable: false,
    });

    if (!window.chrome) window.chrome = {};
    Object.defineProperty(window.chrome, 'webview', {
        value: Object.freeze(webview),
        writable: false,
        configurable: false,
    });
})();
