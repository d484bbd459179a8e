// The start window's floating, draggable navigation toolbar and its loading overlay.
(() => {
    if (window._molvaneNavAdded) return;
    window._molvaneNavAdded = true;

    const showLoader = () => {
        let loader = document.getElementById('molvane-full-loader');
        if (loader) {
            loader.style.display = 'flex';
        } else {
            loader = document.createElement('div');
            loader.id = 'molvane-full-loader';
            loader.style.cssText = 'position:fixed;top:0;left:0;width:100vw;height:100vh;background:rgba(255,255,255,0.7);backdrop-filter:blur(3px);z-index:2147483647;display:flex;justify-content:center;align-items:center;';
            const spinner = document.createElement('div');
            spinner.style.cssText = 'width:50px;height:50px;border:5px solid rgba(0,0,0,0.1);border-top-color:#3498db;border-radius:50%;animation:molvane-spin 1s linear infinite;';
            const style = document.createElement('style');
            style.textContent = '@keyframes molvane-spin { to { transform: rotate(360deg); } }';
            loader.appendChild(spinner);
            loader.appendChild(style);
            (document.body || document.documentElement).appendChild(loader);
        }
        clearTimeout(window._molvaneLoaderTimeout);
        window._molvaneLoaderTimeout = setTimeout(() => {
            const current = document.getElementById('molvane-full-loader');
            if (current) current.style.display = 'none';
        }, 5000);
    };

    window.addEventListener('beforeunload', showLoader);

    const readPosition = (key) => {
        try {
            const value = localStorage.getItem(key);
            return value === null ? '20' : value;
        } catch (e) {
            return '20';
        }
    };

    const buttons = [
        { icon: '🏠', label: 'Home', message: 'btn_home', loader: true },
        { icon: '←', label: 'Back', message: 'btn_back', loader: true },
        { icon: '↻', label: 'Reload', message: 'btn_reload', loader: true },
        { icon: '⛶', label: 'Fullscreen', message: 'btn_fullscreen', loader: false },
    ];

    const injectNav = () => {
        if (document.getElementById('molvane-nav-container')) return;
        const container = document.createElement('div');
        container.id = 'molvane-nav-container';
        const s = container.style;
        s.position = 'fixed';
        s.left = readPosition('mv_nx') + 'px';
        s.top = readPosition('mv_ny') + 'px';
        s.zIndex = '2147483646';
        s.display = 'flex';
        s.gap = '10px';
        s.padding = '8px';
        s.background = 'rgba(0, 0, 0, 0.4)';
        s.backdropFilter = 'blur(10px)';
        s.borderRadius = '12px';
        s.transition = 'all 0.3s ease';
        s.opacity = '0.4';
        s.alignItems = 'center';
        s.boxShadow = '0 4px 6px rgba(0,0,0,0.1)';

        const handle = document.createElement('div');
        handle.innerHTML = '<svg width="20" height="20" viewBox="0 0 24 24" fill="white">' +
            '<circle cx="9" cy="6" r="2"/><circle cx="15" cy="6" r="2"/>' +
            '<circle cx="9" cy="12" r="2"/><circle cx="15" cy="12" r="2"/>' +
            '<circle cx="9" cy="18" r="2"/><circle cx="15" cy="18" r="2"/></svg>';
        handle.style.cursor = 'grab';
        handle.style.opacity = '0.7';
        handle.style.display = 'flex';
        container.appendChild(handle);

        let dragging = false;
        let hasMoved = false;
        let startX = 0;
        let startY = 0;
        let startLeft = 0;
        let startTop = 0;

        container.addEventListener('mousedown', (e) => {
            dragging = true;
            hasMoved = false;
            startX = e.clientX;
            startY = e.clientY;
            startLeft = container.offsetLeft;
            startTop = container.offsetTop;
            handle.style.cursor = 'grabbing';
        });
        window.addEventListener('mousemove', (e) => {
            if (!dragging) return;
            const dx = e.clientX - startX;
            const dy = e.clientY - startY;
            if (Math.abs(dx) > 3 || Math.abs(dy) > 3) hasMoved = true;
            container.style.left = (startLeft + dx) + 'px';
            container.style.top = (startTop + dy) + 'px';
        });
        window.addEventListener('mouseup', () => {
            if (!dragging) return;
            dragging = false;
            handle.style.cursor = 'grab';
            if (hasMoved) {
                try {
                    localStorage.setItem('mv_nx', String(container.offsetLeft));
                    localStorage.setItem('mv_ny', String(container.offsetTop));
                } catch (e) {
                    // Storage disabled: the position is not kept.
                }
            }
        });

        const labels = [];
        const buttonElements = [];
        for (const item of buttons) {
            const button = document.createElement('button');
            const b = button.style;
            b.background = 'rgba(255, 255, 255, 0.9)';
            b.border = 'none';
            b.padding = '8px';
            b.borderRadius = '8px';
            b.fontWeight = 'bold';
            b.cursor = 'pointer';
            b.fontFamily = 'sans-serif';
            b.color = '#333';
            b.display = 'flex';
            b.alignItems = 'center';
            b.transition = 'all 0.3s ease';

            const icon = document.createElement('span');
            icon.textContent = item.icon;
            const label = document.createElement('span');
            label.className = 'nav-text';
            label.textContent = item.label;
            const l = label.style;
            l.maxWidth = '0px';
            l.opacity = '0';
            l.overflow = 'hidden';
            l.whiteSpace = 'nowrap';
            l.marginLeft = '0px';
            l.transition = 'all 0.3s ease';
            button.appendChild(icon);
            button.appendChild(label);

            button.addEventListener('click', (e) => {
                if (hasMoved) {
                    e.preventDefault();
                    e.stopPropagation();
                    return;
                }
                if (item.loader) showLoader();
                window.chrome.webview.postMessage(item.message);
            });
            labels.push(label);
            buttonElements.push(button);
            container.appendChild(button);
        }

        container.addEventListener('mouseenter', () => {
            container.style.opacity = '1';
            container.style.transform = 'scale(1.05)';
            for (const button of buttonElements) button.style.padding = '8px 16px';
            for (const label of labels) {
                label.style.maxWidth = '50px';
                label.style.opacity = '1';
                label.style.marginLeft = '4px';
            }
        });
        container.addEventListener('mouseleave', () => {
            container.style.opacity = '0.4';
            container.style.transform = 'scale(1)';
            for (const button of buttonElements) button.style.padding = '8px';
            for (const label of labels) {
                label.style.maxWidth = '0px';
                label.style.opacity = '0';
                label.style.marginLeft = '0px';
            }
        });

        (document.body || document.documentElement).appendChild(container);
    };

    const observe = () => {
        new MutationObserver(() => {
            if (!document.getElementById('molvane-nav-container') && document.body) injectNav();
        }).observe(document.documentElement, { childList: true, subtree: true });
    };

    const start = () => {
        injectNav();
        if (document.documentElement) {
            observe();
        } else {
            document.addEventListener('DOMContentLoaded', observe);
        }
    };

    if (document.readyState === 'loading') {
        document.addEventListener('DOMContentLoaded', start);
    } else {
        start();
    }
})();
