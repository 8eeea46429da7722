// Older pages load the check-as-you-type client in parts; it is one script now. This part loads
// it from the same service when the page does not have it yet.
(function () {
    'use strict';
    if (window.Verbarium && window.Verbarium.attach) return;
    const here = document.currentScript;
    if (!here || !here.src || document.getElementById('vb-kwirl-loader')) return;
    const tag = document.createElement('script');
    tag.id = 'vb-kwirl-loader';
    tag.src = here.src.replace(/[?#].*$/, '') + '?cmd=script&doc=kwirl';
    document.head.appendChild(tag);
})();
