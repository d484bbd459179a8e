// A round floating print button; it comes back when a page removes it.
(() => {
    if (window._molvanePrintBtnAdded) return;
    window._molvanePrintBtnAdded = true;

    const addPrintBtn = () => {
        if (document.getElementById('molvane-print-btn')) return;
        const button = document.createElement('button');
        button.id = 'molvane-print-btn';
        button.innerHTML = '&#128424;';
        button.title = 'Print';
        button.style.cssText = 'position:fixed;bottom:24px;right:24px;width:48px;height:48px;border-radius:50%;border:none;background:rgba(33,150,243,0.9);color:white;font-size:22px;cursor:pointer;z-index:2147483647;display:flex;align-items:center;justify-content:center;box-shadow:0 4px 12px rgba(0,0,0,0.3);transition:transform 0.2s,background 0.2s;';
        button.addEventListener('mouseenter', () => {
            button.style.transform = 'scale(1.1)';
            button.style.background = 'rgba(33,150,243,1)';
        });
        button.addEventListener('mouseleave', () => {
            button.style.transform = 'scale(1)';
            button.style.background = 'rgba(33,150,243,0.9)';
        });
        button.addEventListener('click', () => {
            if (window.chrome && window.chrome.webview) {
                window.chrome.webview.postMessage('requestPrint');
            }
        });
        (document.body || document.documentElement).appendChild(button);
    };

    let started = false;
    const start = () => {
        if (started) return;
        started = true;
        addPrintBtn();
        new MutationObserver(() => {
            if (!document.getElementById('molvane-print-btn') && document.body) addPrintBtn();
        }).observe(document.documentElement, { childList: true, subtree: true });
    };

    if (document.readyState === 'loading') {
        document.addEventListener('DOMContentLoaded', start);
        // A PDF document may stay "loading" for good (the engine's viewer lives in a frame of
        // its own): it is covered as soon as it has a body.
        if (document.contentType === 'application/pdf' && document.documentElement) {
            const waiting = new MutationObserver(() => {
                if (!document.body) return;
                waiting.disconnect();
                start();
            });
            waiting.observe(document.documentElement, { childList: true });
        }
    } else {
        start();
    }
})();
