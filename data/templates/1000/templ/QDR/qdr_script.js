// Spell-check dialog, the page's side.
//
// A page includes this script from the service and opens the dialog for a field:
//   <script src="https://service.example/cgi-bin/orthd.cgi?cmd=script&doc=qdr"></script>
//   <button onclick="Verbarium.openDialog(document.getElementById('message'))">Spelling</button>
// Elements with the class "verbarium-dialog" open the dialog for the field named by their
// data-verbarium-field attribute (an element id) when clicked.
//
// The dialog itself is a page of the service, shown in an in-page modal frame (default) or a
// pop-up window. The two sides talk through postMessage: the dialog asks for the text, the page
// sends it only to the service's origin, and takes a corrected text only from the dialog it
// opened.
(function () {
    'use strict';
    const V = (window.Verbarium = window.Verbarium || {});
    const here = document.currentScript;
    const defaults = {
        service: (V.dialogDefaults && V.dialogDefaults.service) ||
                 (here && here.src ? here.src.replace(/[?#].*$/, '') : '/cgi-bin/orthd.cgi'),
        mode: 'modal',
        loadTimeout: 15000,   // ms until a dialog whose page does not answer says so
        lang: 'en_US',
        uiLang: 'en_US',
        width: 760,
        height: 580,
    };
    V.dialogDefaults = defaults;
    // English unless the check-as-you-type script on the page has loaded the interface texts.
    const ENGLISH = {
        unavailable: 'The spelling service cannot be reached right now. Your text is unchanged.',
        dialog: 'Spell check',
        close: 'Close',
    };
    const uiText = (key) => (window.kwirl && window.kwirl.texts && window.kwirl.texts[key]) || ENGLISH[key];
    let open = null;

    const previousConfigure = V.configure;
    // Shared with the check-as-you-type script: service, lang, uiLang (and mode for the dialog).
    V.configure = function (options) {
        for (const key of ['service', 'lang', 'uiLang', 'mode', 'loadTimeout'])
            if (options && options[key]) defaults[key] = options[key];
        if (previousConfigure) previousConfigure(options);
    };

    function addStyles() {
        if (document.getElementById('vb-dialog-styles')) return;
        const style = document.createElement('style');
        style.id = 'vb-dialog-styles';
        style.textContent =
            '.vb-overlay{position:fixed;inset:0;z-index:2147483000;display:flex;align-items:center;' +
            'justify-content:center;background:rgba(15,23,42,.45);backdrop-filter:blur(2px)}' +
            '.vb-frame{border:0;border-radius:14px;background:#fff;box-shadow:0 24px 60px ' +
            'rgba(15,23,42,.35);width:min(var(--vb-w),calc(100vw - 16px));height:min(var(--vb-h),calc(100vh - 56px))}' +
            '.vb-close{position:absolute;top:8px;right:8px;width:36px;height:36px;border:0;border-radius:50%;' +
            'background:#fff;color:#111827;font:20px/1 system-ui,sans-serif;cursor:pointer;' +
            'box-shadow:0 2px 8px rgba(15,23,42,.3)}' +
            '.vb-close:focus-visible{outline:3px solid #2563eb;outline-offset:2px}' +
            '.vb-load-problem{position:absolute;left:50%;top:50%;transform:translate(-50%,-50%);max-width:' +
            'calc(100vw - 48px);padding:16px 20px;border-radius:10px;background:#fff7ed;color:#9a3412;' +
            'border:1px solid #fed7aa;font:15px/1.4 system-ui,sans-serif}' +
            '@media (prefers-color-scheme: dark){.vb-close{background:#1f2937;color:#f9fafb}' +
            '.vb-load-problem{background:#431407;color:#fed7aa;border-color:#9a3412}}';
        document.head.appendChild(style);
    }

    // How the field is read and written (a plain field, a contenteditable element, or an editor:
    // CKEditor 5, TinyMCE, Quill) is known to the check-as-you-type script; it is loaded when the
    // page does not have it. Without it, plain fields and contenteditable elements are written
    // directly.
    function adapterOf(field, service) {
        const known = () => (V.adapter ? V.adapter(field) : null) || simpleAdapter(field);
        if (V.adapter) return Promise.resolve(known());
        return new Promise((resolve) => {
            const tag = document.createElement('script');
            tag.src = service + '?cmd=script&doc=kwirl';
            tag.onload = tag.onerror = () => resolve(known());
            document.head.appendChild(tag);
        });
    }

    function simpleAdapter(field) {
        if (!field || field.nodeType !== 1) return null;
        return {
            element: field,
            read: () => readField(field),
            write: (text) => writeField(field, text),
        };
    }

    function fieldLanguage(field, options) {
        const own = options.lang || field.getAttribute('data-verbarium-lang') || field.getAttribute('lang');
        return own && /^[a-z]{2,3}([-_][A-Za-z]{2})?$/.test(own) ? own.replace('-', '_') : defaults.lang;
    }

    function readField(field) {
        if (field.isContentEditable) return { text: field.innerHTML, rich: true };
        return { text: field.value, rich: false };
    }

    // The corrected HTML of a rich field comes back from the service: it is the field's own
    // markup with words replaced, yet scripts and event attributes are dropped on the way in.
    function cleanHtml(html) {
        const doc = new DOMParser().parseFromString('<body>' + html, 'text/html');
        doc.querySelectorAll('script,iframe,object,embed,style,link,meta').forEach((n) => n.remove());
        for (const el of doc.body.querySelectorAll('*')) {
            for (const a of [...el.attributes]) {
                if (/^on/i.test(a.name) || /^\s*javascript:/i.test(a.value)) el.removeAttribute(a.name);
            }
        }
        return doc.body.innerHTML;
    }

    function writeField(field, text) {
        if (field.isContentEditable) field.innerHTML = text;
        else field.value = text;
        field.dispatchEvent(new Event('input', { bubbles: true }));
    }

    // Opens the dialog for `field` (a textarea, input or contenteditable element, or an editor:
    // CKEditor 5, TinyMCE, Quill, or its element). Options:
    // mode "modal" or "popup", lang (spelling language), uiLang (interface language), service.
    // Resolves with the corrected text once the user finishes, or null when cancelled.
    V.openDialog = function (field, options) {
        const chosen = Object.assign({}, defaults);
        for (const [key, value] of Object.entries(options || {}))
            if (value !== undefined && value !== '') chosen[key] = value;
        options = chosen;
        if (!field) return Promise.reject(new TypeError('Verbarium.openDialog: no field'));
        if (open) open.close(null);
        return adapterOf(field, options.service).then((adapter) => {
            if (!adapter) throw new TypeError('Verbarium.openDialog: not an editable field');
            return show(adapter, options);
        });
    };

    function show(adapter, options) {
        const field = adapter.element;
        addStyles();
        const token = Math.random().toString(36).slice(2) + Date.now().toString(36);
        const serviceOrigin = new URL(options.service, location.href).origin;
        const params = new URLSearchParams({ cmd: 'script', doc: 'qdr_core', name: 'frm',
                                             intlang: options.uiLang });
        const url = options.service + '?' + params + '#' + token;
        return new Promise((resolve) => {
            let win = null;
            let overlay = null;
            let frame = null;
            let loadTimer = 0;
            const previousFocus = document.activeElement;
            // The service did not answer: the frame stays empty or shows an error page.
            const loadProblem = (closer) => {
                const note = document.createElement('div');
                note.className = 'vb-load-problem';
                note.setAttribute('role', 'alert');
                note.textContent = uiText('unavailable');
                frame.hidden = true;
                overlay.appendChild(note);
                closer.focus();
            };
            // Escape closes the modal; the focus stays inside it.
            const onKey = (e) => {
                if (e.key === 'Tab' && overlay.contains(document.activeElement)) {
                    // The close button and the frame (which keeps Tab inside itself) take turns.
                    e.preventDefault();
                    if (frame.hidden || document.activeElement === frame) overlay.querySelector('.vb-close').focus();
                    else frame.focus();
                } else if (e.key === 'Escape') {
                    e.preventDefault();
                    close(null);
                }
            };
            const onFocus = (e) => {
                if (overlay && !overlay.contains(e.target)) (frame.hidden ? overlay.querySelector('.vb-close') : frame).focus();
            };
            if (options.mode === 'popup') {
                const left = Math.max(0, (screen.width - options.width) / 2);
                const top = Math.max(0, (screen.height - options.height) / 2);
                win = window.open(url, 'verbarium' + token,
                    `width=${options.width},height=${options.height},left=${left},top=${top},resizable=yes`);
            }
            if (!win) {
                overlay = document.createElement('div');
                overlay.className = 'vb-overlay';
                overlay.setAttribute('role', 'dialog');
                overlay.setAttribute('aria-modal', 'true');
                overlay.setAttribute('aria-label', uiText('dialog'));
                frame = document.createElement('iframe');
                frame.className = 'vb-frame';
                frame.title = uiText('dialog');
                frame.style.setProperty('--vb-w', options.width + 'px');
                frame.style.setProperty('--vb-h', options.height + 'px');
                frame.src = url;
                // Outside the frame, so the dialog can be closed whatever the frame shows.
                const closer = document.createElement('button');
                closer.type = 'button';
                closer.className = 'vb-close';
                closer.setAttribute('aria-label', uiText('close'));
                closer.title = uiText('close');
                closer.textContent = '\u2715';
                closer.addEventListener('click', () => close(null));
                overlay.append(frame, closer);
                overlay.addEventListener('mousedown', (e) => {
                    if (e.target === overlay) frame.focus();
                });
                document.body.appendChild(overlay);
                win = frame.contentWindow;
                frame.addEventListener('load', () => frame.focus(), { once: true });
                document.addEventListener('keydown', onKey, true);
                document.addEventListener('focusin', onFocus, true);
                loadTimer = setTimeout(() => loadProblem(closer), options.loadTimeout);
            }
            const onMessage = (e) => {
                const m = e.data;
                if (e.source !== win || e.origin !== serviceOrigin || !m || m.token !== token) return;
                if (m.verbarium === 'ready') {
                    // Late but there: the dialog is shown after all.
                    clearTimeout(loadTimer);
                    if (frame && frame.hidden) {
                        overlay.querySelector('.vb-load-problem').remove();
                        frame.hidden = false;
                        frame.focus();
                    }
                    win.postMessage(Object.assign({ verbarium: 'text', token,
                                                    slang: fieldLanguage(field, options),
                                                    intlang: options.uiLang }, adapter.read()),
                                    serviceOrigin);
                } else if (m.verbarium === 'finish') {
                    // Closed first: the field has the focus again when the text goes in.
                    const text = String(m.text);
                    close(text);
                    adapter.write(adapter.read().rich ? cleanHtml(text) : text);
                } else if (m.verbarium === 'close') {
                    close(null);
                }
            };
            const close = (result) => {
                window.removeEventListener('message', onMessage);
                document.removeEventListener('keydown', onKey, true);
                document.removeEventListener('focusin', onFocus, true);
                clearTimeout(loadTimer);
                if (overlay) overlay.remove();
                else if (win && !win.closed) win.close();
                clearInterval(watch);
                open = null;
                (field.focus ? field : previousFocus || document.body).focus();
                resolve(result);
            };
            // A pop-up closed by its window button sends nothing.
            const watch = setInterval(() => {
                if (!overlay && win && win.closed) close(null);
            }, 500);
            window.addEventListener('message', onMessage);
            open = { close };
        });
    }

    V.closeDialog = function () {
        if (open) open.close(null);
    };

    function bindButtons() {
        document.querySelectorAll('.verbarium-dialog').forEach((button) => {
            if (button.dataset.verbariumBound) return;
            button.dataset.verbariumBound = '1';
            button.addEventListener('click', (e) => {
                const field = document.getElementById(button.dataset.verbariumField || '');
                if (!field) return;
                e.preventDefault();
                V.openDialog(field, { lang: button.dataset.verbariumLang, mode: button.dataset.verbariumMode });
            });
        });
    }
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', bindButtons);
    else bindButtons();
})();
