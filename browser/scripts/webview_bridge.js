// For engines without window.chrome.webview: the same object, carried by the host's script
// message handler "kestrum". A posted string reaches the host as it is, any other value as
// its JSON text; the host answers through _kestrumDeliver with a JSON text, which listeners
// receive as the data of a "message" event.
//
// Only the top document speaks for the page: the host gives this script to the top frame
// alone, with a key of its own in place of the placeholder below, and answers only messages
// that carry it. Frames reach the handler too, but never see the key (it lives in this closure,
// not in any function the page can print).
(() => {
    if (window._molvaneBridgeAdded) return;
    window._molvaneBridgeAdded = true;
    if (window.top !== window) return;
    if (window.chrome && window.chrome.webview) return;

    const handlers = window.webkit && window.webkit.messageHandlers;
    const host = handlers && handlers.kestrum;
    if (!host) return;
    const key = 'KESTRUM_BRIDGE_KEY';
    const send = host.postMessage.bind(host);
    const stringify = JSON.stringify;
    const parse = JSON.parse;

    const events = new EventTarget();
    const webview = {
        postMessage(message) {
            const text = typeof message === 'string' ? message : stringify(message);
            send(key + ':' + (typeof text === 'string' ? text : 'null'));
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
                data = parse(jsonText);
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
