// Starts check as you type on every textarea and contenteditable element of the page. Include it
// after the client: <script src="SERVICE?cmd=script&doc=kwirl"></script> then this script.
(function () {
    'use strict';
    const start = () => {
        if (!window.Verbarium || !Verbarium.attach) return;
        document.querySelectorAll('textarea, [contenteditable=""], [contenteditable=true]').forEach((el) => {
            try {
                Verbarium.attach(el);
            } catch (e) { /* not an editable field after all */ }
        });
    };
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
    else start();
})();
