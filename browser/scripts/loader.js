// Full-window overlay while a page of the main window loads.
(() => {
    if (window._molvaneLoaderAdded) return;
    window._molvaneLoaderAdded = true;

    const addLoader = () => {
        if (document.getElementById('molvane-full-loader')) return;
        const loader = document.createElement('div');
        loader.id = 'molvane-full-loader';
        loader.style.cssText = 'position:fixed;top:0;left:0;width:100vw;height:100vh;background:#202020;z-index:2147483647;display:flex;flex-direction:column;justify-content:center;align-items:center;transition:opacity 0.5s ease-out;';

        const spinner = document.createElement('div');
        spinner.style.cssText = 'width:60px;height:60px;border:6px solid rgba(255,255,255,0.2);border-top-color:#3498db;border-radius:50%;animation:molvane-spin 1s linear infinite;margin-bottom:20px;';

        const text = document.createElement('div');
        text.style.cssText = 'color:white;font-family:sans-serif;font-size:20px;text-align:center;';
        text.textContent = 'جاري التحميل... Loading...';

        const style = document.createElement('style');
        style.textContent = '@keyframes molvane-spin { to { transform: rotate(360deg); } }';

        loader.appendChild(spinner);
        loader.appendChild(text);
        loader.appendChild(style);
        (document.body || document.documentElement).appendChild(loader);
    };

    const hideLoader = () => {
        const loader = document.getElementById('molvane-full-loader');
        if (!loader) return;
        loader.style.opacity = '0';
        setTimeout(() => loader.remove(), 500);
    };

    if (document.readyState === 'loading') {
        document.addEventListener('DOMContentLoaded', addLoader);
    } else {
        addLoader();
    }
    window.addEventListener('load', hideLoader);
    setTimeout(hideLoader, 5000);
})();
