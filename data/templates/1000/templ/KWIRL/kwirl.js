// Check-as-you-type client.
//
// A page includes this script from the service and attaches it to its fields:
//   <script src="https://service.example/cgi-bin/orthd.cgi?cmd=script&doc=kwirl"></script>
//   <script>Verbarium.attach(document.querySelector('textarea'));</script>
// or marks fields with the class "verbarium-check". Textareas, text inputs and contenteditable
// elements (so also rich editors built on one) are supported.
//
// After a pause in typing the words not yet known are sent with "sc" (JSONP, so any page may
// use the service); answers are cached per language and word, so a long text sends each word
// once. Misspelt words are underlined without touching what the user edits: a textarea or input
// gets a mirrored copy of its text behind it (transparent text, visible underlines); a
// contenteditable element gets CSS highlights, which leave its DOM, caret and undo untouched.
(function () {
    'use strict';
    const V = (window.Verbarium = window.Verbarium || {});
    if (V.attach) return;
    // JSONP answers call kwirl.<callback>, and "sc" may append kwirl.opt(...) / kwirl.props(...).
    const kwirl = (window.kwirl = window.kwirl || {});

    const here = document.currentScript;
    const config = {
        service: here && here.src ? here.src.replace(/[?#].*$/, '') : '/cgi-bin/orthd.cgi',
        lang: 'en_US',
        uiLang: 'en_US',
        delay: 300,
        timeout: 15000,
        maxQuery: 5000,   // characters of words per request: keeps GET URLs below server limits
        suggestions: 8,
    };
    const texts = {
        noSuggestions: 'No suggestions',
        ignoreAll: 'Ignore All',
        add: 'Add to dictionary',
        unavailable: 'The spelling service cannot be reached right now. Your text is unchanged.',
        suggestions: 'Suggestions',
    };
    // Main-thread time of the script's own work and request count, for the page and its tests.
    const stats = (V.stats = { requests: 0, wordsSent: 0, maxTaskMs: 0, maxTask: '' });
    const HIGHLIGHT = 'verbarium-misspelt';
    const ATTRIBUTE_LANG = /^[a-z]{2,3}([-_][A-Za-z]{2})?$/;

    function timed(fn, name) {
        return function (...args) {
            const start = performance.now();
            try {
                return fn.apply(this, args);
            } finally {
                const ms = performance.now() - start;
                if (ms > stats.maxTaskMs) {
                    stats.maxTaskMs = ms;
                    stats.maxTask = name;
                }
            }
        };
    }

    // ---- Transport --------------------------------------------------------------------------

    let serial = 0;
    // Loads service?params as a script whose answer calls kwirl.<name>(...); resolves with the
    // call's arguments. An answer that calls nothing (an error page, a broken answer) rejects.
    function jsonp(params) {
        return new Promise((resolve, reject) => {
            const name = 'r' + ++serial + '_' + Date.now().toString(36);
            const tag = document.createElement('script');
            let timer = 0;
            const done = (fn, value) => {
                if (!(name in kwirl)) return;
                clearTimeout(timer);
                delete kwirl[name];
                tag.remove();
                fn(value);
            };
            kwirl[name] = (...args) => done(resolve, args);
            timer = setTimeout(() => done(reject, new Error('timeout')), config.timeout);
            tag.onerror = () => done(reject, new Error('unreachable'));
            tag.onload = () => done(reject, new Error('unexpected answer'));
            // JSON answers unless the command has a single answer form (format left out).
            const query = new URLSearchParams(Object.assign({ format: 'json' }, params));
            if (!query.get('format')) query.delete('format');
            query.set('callback', 'kwirl.' + name);
            query.set('c', 'kwirl.' + name);
            tag.src = config.service + '?' + query.toString();
            tag.async = true;
            stats.requests++;
            document.head.appendChild(tag);
        });
    }

    function loadScript(url) {
        return new Promise((resolve, reject) => {
            const tag = document.createElement('script');
            tag.src = url;
            tag.onload = () => resolve();
            tag.onerror = () => reject(new Error('unreachable'));
            document.head.appendChild(tag);
        });
    }

    // The service's own trailing calls of an "sc" answer.
    kwirl.opt = function (o) {
        if (o && o.verLang !== undefined) service.verLang = String(o.verLang);
    };
    kwirl.props = function (p) {
        if (p && p.userDictionaryName) service.dictionary = String(p.userDictionaryName);
    };
    kwirl.call = function () {};

    // ---- Service state: verdict cache, requests, outage ---------------------------------------

    const service = {
        verLang: '',
        dictionary: '',
        down: false,
        caches: new Map(),   // language -> Map(word -> {bad, suggestions, full})
        pending: new Map(),  // language -> Set(word) in flight
        added: new Set(),    // words added to the dictionary from this page
        ignored: loadIgnored(),
    };

    function loadIgnored() {
        try {
            return new Set(JSON.parse(sessionStorage.getItem('verbarium.ignored') || '[]'));
        } catch (e) {
            return new Set();
        }
    }
    function saveIgnored() {
        try {
            sessionStorage.setItem('verbarium.ignored', JSON.stringify([...service.ignored]));
        } catch (e) { /* storage refused: the words stay ignored until the page closes */ }
    }

    function cacheFor(lang) {
        if (!service.caches.has(lang)) service.caches.set(lang, new Map());
        return service.caches.get(lang);
    }
    function pendingFor(lang) {
        if (!service.pending.has(lang)) service.pending.set(lang, new Set());
        return service.pending.get(lang);
    }

    // Verdict for a word: true misspelt, false correct, undefined not known yet.
    function isBad(lang, word) {
        if (service.ignored.has(word) || service.added.has(word)) return false;
        const entry = cacheFor(lang).get(word);
        return entry ? entry.bad : undefined;
    }

    // Sends the words of `words` not known and not in flight; one request unless the words are
    // too many for one URL (a large paste).
    async function checkWords(lang, words) {
        const cache = cacheFor(lang);
        const pending = pendingFor(lang);
        const fresh = [];
        for (const w of words) {
            if (!cache.has(w) && !pending.has(w) && !service.ignored.has(w)) {
                pending.add(w);
                fresh.push(w);
            }
        }
        let batch = [];
        let size = 0;
        const batches = [];
        for (const w of fresh) {
            if (size + w.length + 1 > config.maxQuery && batch.length) {
                batches.push(batch);
                batch = [];
                size = 0;
            }
            batch.push(w);
            size += encodeURIComponent(w).length + 3;
        }
        if (batch.length) batches.push(batch);
        for (const b of batches) await sendBatch(lang, b);
    }

    let inFlight = 0;
    async function sendBatch(lang, words) {
        const cache = cacheFor(lang);
        const pending = pendingFor(lang);
        inFlight++;
        stats.wordsSent += words.length;
        try {
            const [answer] = await jsonp({ cmd: 'sc', v: '2.1', slang: lang, words: words.join(','),
                                           verlang: service.verLang });
            if (!answer || answer.error) throw new Error(answer ? answer.text : 'no answer');
            if (answer.o && answer.o.errorLang) {
                // The language is not served and the service answered in another one: mark
                // nothing rather than judge the words with the wrong dictionary.
                for (const w of words) cache.set(w, { bad: false });
                return;
            }
            for (const [word, suggestions] of answer.incorrect || [])
                cache.set(String(word), { bad: true, suggestions: (suggestions || []).map(String) });
            for (const word of answer.correct || []) cache.set(String(word), { bad: false });
            // Words the service did not mention (it judged them part of another token) count as
            // correct, so they are not sent again.
            for (const w of words) if (!cache.has(w)) cache.set(w, { bad: false });
            setDown(false);
        } catch (e) {
            setDown(true, e.message);
        } finally {
            for (const w of words) pending.delete(w);
            inFlight--;
            refreshAll();
        }
    }

    function setDown(down, why) {
        service.down = down;
        for (const f of fields.values()) f.showProblem(down ? texts.unavailable : '', why);
    }

    async function suggestionsFor(lang, word) {
        const entry = cacheFor(lang).get(word);
        if (!entry || entry.full || service.down) return entry ? entry.suggestions : [];
        try {
            const [list] = await jsonp({ cmd: 'kwirl_suggest', slang: lang, text: word,
                                         sug_len: String(config.suggestions) });
            const found = (list || []).find((item) => item && item[0] === word);
            if (found) entry.suggestions = (found[1] || []).map(String);
            entry.full = true;
        } catch (e) { /* keep the suggestions of the check */ }
        return entry.suggestions;
    }

    async function addWord(word) {
        service.added.add(word);
        refreshAll();
        // An unreachable engine would be answered with an error script; the word is kept on
        // this page and the service is not asked.
        if (service.down) return;
        try {
            await jsonp({ cmd: 'kwirl_add_word', text: word });
        } catch (e) {
            // Not stored by the service: the word stays accepted on this page only.
        }
    }

    function ignoreAll(word) {
        service.ignored.add(word);
        saveIgnored();
        refreshAll();
    }

    // ---- Words of a text ----------------------------------------------------------------------

    const WORD = /[\p{L}\p{M}\p{N}_]+(?:['\u2019][\p{L}\p{M}\p{N}_]+)*/gu;
    const DIGIT_OR_UNDERSCORE = /[\p{N}_]/u;
    const LETTER = /[\p{L}\p{N}]/u;

    // Words worth checking in `text`, with UTF-16 offsets. Numbers, words with digits and the
    // parts of addresses, file names and domain names are left out.
    function wordsOf(text) {
        const out = [];
        WORD.lastIndex = 0;
        let m;
        while ((m = WORD.exec(text))) {
            const word = m[0];
            const start = m.index;
            const end = start + word.length;
            if (DIGIT_OR_UNDERSCORE.test(word)) continue;
            const before = text[start - 1] || ' ';
            const after = text[end] || ' ';
            if ('@/\\#'.includes(before) || '@/\\'.includes(after)) continue;
            if ((before === '.' && LETTER.test(text[start - 2] || ' ')) ||
                (after === '.' && LETTER.test(text[end + 1] || ' ')))
                continue;
            out.push({ word: word.replace(/\u2019/g, "'"), start, end });
        }
        return out;
    }

    // ---- Fields -------------------------------------------------------------------------------

    const fields = new Map();   // element -> Field
    let refreshQueued = false;
    function refreshAll() {
        if (refreshQueued) return;
        refreshQueued = true;
        requestAnimationFrame(timed(() => {
            refreshQueued = false;
            for (const f of fields.values()) f.render();
        }, 'refresh'));
    }

    class Field {
        constructor(el, options) {
            this.el = el;
            this.options = options || {};
            this.timer = 0;
            this.marks = [];
            this.notice = null;
            el.spellcheck = false;   // the browser's own underlines would double ours
            this.onInput = timed(() => {
                refreshAll();
                clearTimeout(this.timer);
                this.timer = setTimeout(timed(() => {
                    this.timer = 0;
                    this.check();
                }, 'check'), config.delay);
            }, 'input');
            this.onKey = timed((e) => this.key(e), 'key');
            this.onMenu = timed((e) => this.contextMenu(e), 'menu');
            el.addEventListener('input', this.onInput);
            el.addEventListener('keydown', this.onKey);
            el.addEventListener('contextmenu', this.onMenu);
            this.langObserver = new MutationObserver(() => this.languageChanged());
            this.langObserver.observe(el, { attributes: true, attributeFilter: ['lang', 'data-verbarium-lang'] });
            this.lastLang = this.lang();
        }

        lang() {
            const own = this.options.lang || this.el.getAttribute('data-verbarium-lang') ||
                        this.el.getAttribute('lang');
            return own && ATTRIBUTE_LANG.test(own) ? own.replace('-', '_') : config.lang;
        }

        languageChanged() {
            if (this.lang() === this.lastLang) return;
            this.lastLang = this.lang();
            this.render();
            this.check();
        }

        check() {
            const words = [...new Set(this.words().map((w) => w.word))];
            checkWords(this.lang(), words);
        }

        key(e) {
            // Shift+F10, the context-menu key or Ctrl+. open the suggestions of the word at the caret.
            if ((e.key === 'F10' && e.shiftKey) || e.key === 'ContextMenu' ||
                (e.key === '.' && (e.ctrlKey || e.metaKey))) {
                const mark = this.markAtCaret();
                if (mark) {
                    e.preventDefault();
                    openMenu(this, mark);
                }
            }
        }

        contextMenu(e) {
            const mark = e.button === 0 && e.clientX === 0 && e.clientY === 0
                ? this.markAtCaret() : this.markAtPoint(e.clientX, e.clientY);
            if (!mark) return;
            e.preventDefault();
            openMenu(this, mark);
        }

        markAtPoint(x, y) {
            return this.marks.find((m) => [...this.rectsOf(m)].some(
                (r) => x >= r.left - 1 && x <= r.right + 1 && y >= r.top - 1 && y <= r.bottom + 1));
        }

        showProblem(message, detail) {
            if (!message) {
                if (this.notice) this.notice.hidden = true;
                return;
            }
            if (!this.notice) {
                this.notice = document.createElement('div');
                this.notice.className = 'vb-notice';
                this.notice.setAttribute('role', 'status');
                this.el.insertAdjacentElement('afterend', this.notice);
            }
            this.notice.textContent = message;
            this.notice.title = detail || '';
            this.notice.hidden = false;
        }

        detach() {
            this.el.removeEventListener('input', this.onInput);
            this.el.removeEventListener('keydown', this.onKey);
            this.el.removeEventListener('contextmenu', this.onMenu);
            this.langObserver.disconnect();
            clearTimeout(this.timer);
            if (this.notice) this.notice.remove();
        }
    }

    // Textarea or text input: a mirror of the text sits behind the field, whose background
    // becomes transparent; the mirror's text is transparent too, only its underlines show.
    class PlainField extends Field {
        constructor(el, options) {
            super(el, options);
            this.mirror = document.createElement('div');
            this.mirror.className = 'vb-mirror';
            this.mirror.setAttribute('aria-hidden', 'true');
            // What keeps the mirror out of the page's flow is set here, not only in the style
            // sheet, which may arrive later.
            this.mirror.style.cssText = 'position:absolute;overflow:hidden;pointer-events:none;' +
                                        'color:transparent;box-sizing:border-box;margin:0';
            // The text scrolls by a transform, which needs no layout to apply.
            this.inner = document.createElement('div');
            this.mirror.appendChild(this.inner);
            this.shown = null;
            el.parentNode.insertBefore(this.mirror, el);
            const style = getComputedStyle(el);
            this.background = style.backgroundColor;
            this.saved = { background: el.style.background, position: el.style.position };
            el.style.background = 'transparent';
            if (style.position === 'static') el.style.position = 'relative';
            this.onScroll = () => this.syncScroll();
            el.addEventListener('scroll', this.onScroll);
            // The field moves when the page around it changes: follow its size, the page's
            // size and the focus.
            this.resizer = new ResizeObserver(timed(() => this.layout(), 'layout'));
            this.resizer.observe(el);
            this.resizer.observe(document.body);
            this.onFocus = () => this.layout();
            el.addEventListener('focus', this.onFocus);
            this.layout();
            this.render();
        }

        text() { return this.el.value; }
        words() { return wordsOf(this.el.value); }

        layout() {
            const el = this.el;
            const s = getComputedStyle(el);
            const m = this.mirror.style;
            for (const p of ['fontFamily', 'fontSize', 'fontWeight', 'fontStyle', 'letterSpacing',
                             'lineHeight', 'textTransform', 'wordSpacing', 'textIndent', 'tabSize',
                             'paddingTop', 'paddingLeft', 'paddingBottom', 'direction', 'textAlign',
                             'borderTopWidth', 'borderRightWidth', 'borderBottomWidth',
                             'borderLeftWidth', 'borderRadius'])
                m[p] = s[p];
            const scrollbar = el.offsetWidth - el.clientWidth - parseFloat(s.borderLeftWidth) -
                              parseFloat(s.borderRightWidth);
            m.paddingRight = parseFloat(s.paddingRight) + Math.max(0, scrollbar) + 'px';
            this.place();
            m.width = el.offsetWidth + 'px';
            m.height = el.offsetHeight + 'px';
            m.background = this.background;
            if (el.tagName === 'INPUT') {
                m.whiteSpace = 'pre';
                m.lineHeight = el.clientHeight - parseFloat(s.paddingTop) - parseFloat(s.paddingBottom) + 'px';
            }
            this.syncScroll();
        }

        // Puts the mirror exactly on the field, to the fraction of a pixel.
        place() {
            const a = this.el.getBoundingClientRect();
            const b = this.mirror.getBoundingClientRect();
            const m = this.mirror.style;
            m.left = (parseFloat(m.left) || 0) + a.left - b.left + 'px';
            m.top = (parseFloat(m.top) || 0) + a.top - b.top + 'px';
        }

        syncScroll() {
            this.inner.style.transform = `translate(${-this.el.scrollLeft}px, ${-this.el.scrollTop}px)`;
        }

        render() {
            // No layout is read here (it would lay out the whole text at once): the mirror's
            // place follows the resize observer and the focus, its scrolling the scroll event.
            const text = this.el.value;
            const lang = this.lang();
            const bad = wordsOf(text).filter((w) => isBad(lang, w.word) === true);
            const shown = text + '\u0000' + bad.map((w) => w.start).join(',');
            if (shown === this.shown) return;
            this.shown = shown;
            const frag = document.createDocumentFragment();
            this.marks = [];
            let at = 0;
            for (const w of bad) {
                frag.append(text.slice(at, w.start));
                const span = document.createElement('span');
                span.className = 'vb-miss';
                span.textContent = text.slice(w.start, w.end);
                frag.append(span);
                this.marks.push({ word: w.word, start: w.start, end: w.end, span });
                at = w.end;
            }
            // A trailing line break needs a character after it to take up its line.
            frag.append(text.slice(at) + '\u200b');
            this.inner.replaceChildren(frag);
            this.el.dataset.verbariumMisspelt = String(this.marks.length);
        }

        rectsOf(mark) { return mark.span.getClientRects(); }

        markAtCaret() {
            const at = this.el.selectionStart;
            return this.marks.find((m) => at >= m.start && at <= m.end);
        }

        saveCaret() {
            const { selectionStart, selectionEnd } = this.el;
            return () => {
                this.el.focus();
                this.el.setSelectionRange(selectionStart, selectionEnd);
            };
        }

        replace(mark, replacement) {
            const el = this.el;
            if (el.value.slice(mark.start, mark.end) !== mark.span.textContent) return;
            el.focus();
            el.setSelectionRange(mark.start, mark.end);
            // insertText keeps the browser's undo history; setRangeText is the fallback.
            if (!document.execCommand('insertText', false, replacement)) {
                el.setRangeText(replacement, mark.start, mark.end, 'end');
                el.dispatchEvent(new Event('input', { bubbles: true }));
            }
        }

        detach() {
            super.detach();
            this.el.removeEventListener('scroll', this.onScroll);
            this.el.removeEventListener('focus', this.onFocus);
            this.resizer.disconnect();
            this.mirror.remove();
            this.el.style.background = this.saved.background;
            this.el.style.position = this.saved.position;
            delete this.el.dataset.verbariumMisspelt;
        }
    }

    // contenteditable element: misspelt words become ranges of a CSS highlight; the element's
    // own DOM is never changed by the script.
    const highlight = window.Highlight && CSS.highlights ? new Highlight() : null;
    if (highlight) CSS.highlights.set(HIGHLIGHT, highlight);

    class RichField extends Field {
        constructor(el, options) {
            super(el, options);
            this.render();
        }

        text() { return this.el.innerText; }

        textNodes() {
            const walker = document.createTreeWalker(this.el, NodeFilter.SHOW_TEXT, {
                acceptNode: (n) => n.parentElement.closest('script,style,[contenteditable=false]')
                    ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
            });
            const nodes = [];
            while (walker.nextNode()) nodes.push(walker.currentNode);
            return nodes;
        }

        words() {
            return this.textNodes().flatMap((n) => wordsOf(n.data));
        }

        render() {
            const lang = this.lang();
            if (highlight) for (const m of this.marks) highlight.delete(m.range);
            this.marks = [];
            for (const node of this.textNodes()) {
                for (const w of wordsOf(node.data)) {
                    if (isBad(lang, w.word) !== true) continue;
                    const range = new Range();
                    range.setStart(node, w.start);
                    range.setEnd(node, w.end);
                    this.marks.push({ word: w.word, range, text: node.data.slice(w.start, w.end) });
                    if (highlight) highlight.add(range);
                }
            }
            this.el.dataset.verbariumMisspelt = String(this.marks.length);
        }

        rectsOf(mark) { return mark.range.getClientRects(); }

        markAtCaret() {
            const sel = getSelection();
            if (!sel.rangeCount) return undefined;
            const { startContainer, startOffset } = sel.getRangeAt(0);
            return this.marks.find((m) => m.range.isPointInRange(startContainer, startOffset));
        }

        saveCaret() {
            const sel = getSelection();
            const saved = sel.rangeCount ? sel.getRangeAt(0).cloneRange() : null;
            return () => {
                this.el.focus();
                if (!saved) return;
                sel.removeAllRanges();
                sel.addRange(saved);
            };
        }

        replace(mark, replacement) {
            if (mark.range.toString() !== mark.text) return;
            this.el.focus();
            const sel = getSelection();
            sel.removeAllRanges();
            sel.addRange(mark.range);
            if (!document.execCommand('insertText', false, replacement)) {
                mark.range.deleteContents();
                mark.range.insertNode(document.createTextNode(replacement));
                this.el.dispatchEvent(new Event('input', { bubbles: true }));
            }
        }

        detach() {
            super.detach();
            if (highlight) for (const m of this.marks) highlight.delete(m.range);
            delete this.el.dataset.verbariumMisspelt;
        }
    }

    // ---- Suggestion menu ----------------------------------------------------------------------

    let menu = null;

    function closeMenu(restore) {
        if (!menu) return;
        const { box, restoreCaret } = menu;
        menu = null;
        box.remove();
        document.removeEventListener('mousedown', outsideClick, true);
        window.removeEventListener('blur', blurClose);
        if (restore) restoreCaret();
    }
    function outsideClick(e) {
        if (menu && !menu.box.contains(e.target)) closeMenu(false);
    }
    function blurClose() { closeMenu(false); }

    function menuItem(label, action, disabled) {
        const item = document.createElement('div');
        item.className = 'vb-item';
        item.setAttribute('role', 'menuitem');
        item.textContent = label;
        item.tabIndex = -1;
        if (disabled) item.setAttribute('aria-disabled', 'true');
        else item.addEventListener('click', (e) => {
            e.preventDefault();
            action();
        });
        return item;
    }

    function openMenu(field, mark) {
        closeMenu(false);
        const restoreCaret = field.saveCaret();
        const box = document.createElement('div');
        box.className = 'vb-menu';
        box.setAttribute('role', 'menu');
        box.setAttribute('aria-label', texts.suggestions);
        const choose = (fn) => () => {
            closeMenu(true);
            fn();
        };
        const fill = (suggestions) => {
            const items = suggestions.slice(0, config.suggestions).map((s) =>
                menuItem(s, choose(() => field.replace(mark, s))));
            if (!items.length) items.push(menuItem(texts.noSuggestions, null, true));
            for (const i of items) i.classList.add('vb-suggestion');
            const rule = document.createElement('div');
            rule.className = 'vb-rule';
            rule.setAttribute('role', 'separator');
            box.replaceChildren(...items, rule,
                menuItem(texts.ignoreAll, choose(() => ignoreAll(mark.word))),
                menuItem(texts.add, choose(() => addWord(mark.word))));
        };
        const lang = field.lang();
        const entry = cacheFor(lang).get(mark.word);
        fill(entry ? entry.suggestions || [] : []);
        box.addEventListener('keydown', (e) => menuKey(e, box));
        document.body.appendChild(box);
        const rect = field.rectsOf(mark)[0] || field.el.getBoundingClientRect();
        const left = Math.min(rect.left, document.documentElement.clientWidth - box.offsetWidth - 8);
        let top = rect.bottom + 4;
        if (top + box.offsetHeight > document.documentElement.clientHeight)
            top = Math.max(4, rect.top - box.offsetHeight - 4);
        box.style.left = Math.max(4, left) + window.scrollX + 'px';
        box.style.top = top + window.scrollY + 'px';
        menu = { box, restoreCaret };
        document.addEventListener('mousedown', outsideClick, true);
        window.addEventListener('blur', blurClose);
        focusItem(box, 0);
        suggestionsFor(lang, mark.word).then((list) => {
            if (menu && menu.box === box && list && list.length) {
                const index = [...box.querySelectorAll('.vb-item')].indexOf(document.activeElement);
                fill(list);
                focusItem(box, Math.max(0, index));
            }
        });
    }

    function enabledItems(box) {
        return [...box.querySelectorAll('.vb-item:not([aria-disabled])')];
    }
    function focusItem(box, index) {
        const items = enabledItems(box);
        if (items.length) items[(index + items.length) % items.length].focus();
    }

    function menuKey(e, box) {
        const items = enabledItems(box);
        const at = items.indexOf(document.activeElement);
        if (e.key === 'ArrowDown') focusItem(box, at + 1);
        else if (e.key === 'ArrowUp') focusItem(box, at - 1);
        else if (e.key === 'Home') focusItem(box, 0);
        else if (e.key === 'End') focusItem(box, items.length - 1);
        else if (e.key === 'Enter' || e.key === ' ') {
            if (at >= 0) items[at].click();
        } else if (e.key === 'Escape' || e.key === 'Tab') closeMenu(true);
        else return;
        e.preventDefault();
        e.stopPropagation();
    }

    // ---- Styles and interface texts -----------------------------------------------------------

    function addStyles() {
        if (document.getElementById('vb-kwirl-styles')) return;
        const link = document.createElement('link');
        link.id = 'vb-kwirl-styles';
        link.rel = 'stylesheet';
        link.href = config.service + '?cmd=script&doc=kwirl_styles';
        document.head.appendChild(link);
    }

    function loadTexts(uiLang) {
        // The service's text script sets kwirl.texts; without it the English texts stay.
        const url = config.service + '?' + new URLSearchParams(
            { cmd: 'script', doc: 'kwirl_lang', slang: uiLang, intlang: uiLang });
        return loadScript(url).then(() => {
            for (const [k, v] of Object.entries(kwirl.texts || {})) if (v) texts[k] = v;
        }, () => {});
    }

    // ---- Public interface ---------------------------------------------------------------------

    // Options: service (URL of orthd.cgi), lang (spelling language), uiLang (interface language).
    const previousConfigure = V.configure;
    V.configure = function (options) {
        for (const key of ['service', 'lang', 'uiLang', 'delay', 'suggestions'])
            if (options && options[key]) config[key] = options[key];
        if (options && options.uiLang) loadTexts(config.uiLang);
        if (options && options.lang) for (const f of fields.values()) f.languageChanged();
        if (previousConfigure) previousConfigure(options);
    };

    V.attach = function (el, options) {
        if (!el || fields.has(el)) return;
        addStyles();
        const plain = el.tagName === 'TEXTAREA' || (el.tagName === 'INPUT' && /^(text|search|)$/.test(el.type));
        if (!plain && !el.isContentEditable) throw new TypeError('Verbarium.attach: not an editable field');
        const field = plain ? new PlainField(el, options) : new RichField(el, options);
        fields.set(el, field);
        field.check();
    };

    V.detach = function (el) {
        const field = fields.get(el);
        if (!field) return;
        field.detach();
        fields.delete(el);
    };

    // Spelling language of every field that does not name its own.
    V.setLanguage = function (lang) {
        V.configure({ lang });
    };

    // The service's language list (get_lang_list): {ltr: {...}, rtl: {...}, verLang}.
    V.languages = function () {
        return jsonp({ cmd: 'get_lang_list', format: '' }).then(([answer]) => {
            const list = (answer && answer.langList) || {};
            return { ltr: list.ltr || {}, rtl: list.rtl || {}, verLang: answer && answer.verLang };
        });
    };

    // Resolves once no field waits for its pause and no check is in flight, and the marks are
    // drawn.
    V.settled = function () {
        return new Promise((resolve) => {
            const poll = () => {
                const waiting = [...fields.values()].some((f) => f.timer);
                if (waiting || inFlight || refreshQueued) setTimeout(poll, 50);
                else requestAnimationFrame(() => resolve());
            };
            poll();
        });
    };

    V.misspelt = function (el) {
        const field = fields.get(el);
        return field ? field.marks.map((m) => m.word) : [];
    };

    // The dialog lives in its own script, loaded on first use.
    if (!V.openDialog) {
        V.openDialog = function (field, options) {
            const self = V.openDialog;
            return loadScript(config.service + '?cmd=script&doc=qdr').then(() => {
                if (V.openDialog === self) throw new Error('the dialog script did not load');
                return V.openDialog(field, options);
            });
        };
    }

    window.addEventListener('resize', timed(() => {
        for (const f of fields.values()) if (f.layout) f.layout();
    }, 'resize'));
    loadTexts(config.uiLang);
    const attachMarked = () => document.querySelectorAll('.verbarium-check').forEach((el) => V.attach(el));
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', attachMarked);
    else attachMarked();
})();
