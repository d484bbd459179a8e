// For the engine's own PDF viewer, a frame inside PDF documents: its print (the toolbar's
// button, Ctrl+P) goes straight to the engine's print call, which the player turns into its
// own print flow of the document. The viewer's own print rendering is kept out: it fails in
// this viewer, and it would print the viewer's pages rather than the document.
(() => {
    if (window._molvaneViewerPrintAdded) return;
    window._molvaneViewerPrintAdded = true;

    const enginePrint = window.print;
    Object.defineProperty(window, 'print', {
        get: () => enginePrint,
        // The viewer assigns its own print when it starts; it must start all the same.
        set: () => {},
        configurable: false,
    });
})();
