// Every way of printing a page ends in the player's own print flow.
(() => {
    if (window._molvanePrintBlockAdded) return;
    window._molvanePrintBlockAdded = true;

    const requestSystemPrint = () => {
        if (window.chrome && window.chrome.webview) {
            window.chrome.webview.postMessage('requestPrint');
        }
    };

    window.print = requestSystemPrint;
    Object.defineProperty(window, 'print', {
        value: requestSystemPrint,
        writable: false,
        configurable: false,
    });

    document.addEventListener('keydown', (e) => {
        if ((e.ctrlKey || e.metaKey) && e.key === 'p') {
            e.preventDefault();
            e.stopImmediatePropagation();
            requestSystemPrint();
            return false;
        }
        return undefined;
    }, true);

    window.addEventListener('beforeprint', (e) => {
        e.preventDefault();
    }, true);
})();
