// The learner's watermark over documents; it comes back when a page removes it.
// The player puts the text, escaped for a single-quoted literal, in place of the marker
// literal below.
(() => {
    if (window._molvaneWatermarkAdded) return;
    window._molvaneWatermarkAdded = true;

    const addWatermark = () => {
        if (document.getElementById('molvane-watermark')) return;
        const mark = document.createElement('div');
        mark.id = 'molvane-watermark';
        mark.textContent = 'KESTRUM_WATERMARK_TEXT';
        mark.style.cssText = 'position:fixed;top:0;left:0;width:100%;height:100%;pointer-events:none;z-index:2147483646;opacity:0.15;display:flex;align-items:center;justify-content:center;font-size:3vw;color:red;transform:rotate(-30deg);font-family:Arial,sans-serif;font-weight:bold;';
        (document.body || document.documentElement).appendChild(mark);
    };

    let started = false;
    const start = () => {
        if (started) return;
        started = true;
        addWatermark();
        new MutationObserver(() => {
            if (!document.getElementById('molvane-watermark') && document.body) addWatermark();
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
