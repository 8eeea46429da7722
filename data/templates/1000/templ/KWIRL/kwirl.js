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
//
// Grammar problems are marked in a second colour: the pieces of the text (paragraphs, or the
// sentences of a long one) not yet known are sent with "kwirl_grammar" after the same pause,
// and the answers are cached per language and piece, so typing sends only the piece typed
// into. `grammar: false` turns it off.
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
        grammar: true,
    };
    const texts = {
        noSuggestions: 'No suggestions',
        ignoreAll: 'Ignore All',
        add: 'Add to dictionary',
        unavailable: 'The spelling service cannot be reached right now. Your text is unchanged.',
        suggestions: 'Suggestions',
        misspelt: 'Not in dictionary:',
        ownWords: 'Words you added\u2026',
        remove: 'Remove \u201c%s\u201d',
        ignore: 'Ignore',
        grammarProblem: 'Grammar problem:',
    };
    // Main-thread time of the script's own work and request count, for the page and its tests.
    const stats = (V.stats = { checks: 0, requests: 0, wordsSent: 0, grammarRequests: 0, maxTaskMs: 0, maxTask: '' });
    const HIGHLIGHT = 'verbarium-misspelt';
    const GRAMMAR_HIGHLIGHT = 'verbarium-grammar';
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
    // `counter` names the request count of `stats` it adds to.
    function jsonp(params, counter = 'requests') {
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
            if (service.dictionary && !query.has('udn')) query.set('udn', service.dictionary);
            if (service.key && query.get('udn') === service.dictionary && !query.has('udk'))
                query.set('udk', service.key);
            if (!query.get('format')) query.delete('format');
            query.set('callback', 'kwirl.' + name);
            query.set('c', 'kwirl.' + name);
            tag.src = config.service + '?' + query.toString();
            tag.async = true;
            stats[counter]++;
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
        if (p && p.userDictionaryName && !service.dictionary) useDictionary(String(p.userDictionaryName), '');
    };
    kwirl.call = function () {};

    // ---- Service state: verdict cache, requests, outage ---------------------------------------

    // The page's own storage; refused storage (privacy settings) keeps things for the page's life.
    function stored(storage, key, fallback) {
        try {
            return JSON.parse(window[storage].getItem(key)) || fallback;
        } catch (e) {
            return fallback;
        }
    }
    function store(storage, key, value) {
        try {
            window[storage].setItem(key, JSON.stringify(value));
        } catch (e) { /* kept in memory only */ }
    }

    // The user's dictionary is named by the page, not by a cookie of the service, which a page
    // on another site never sends: the name, its owner key and the words added from this site
    // are kept in the site's storage, and the name and key go with each request ("udn", "udk";
    // the service changes a dictionary only for a request that carries its key).
    const service = {
        verLang: '',
        version: 0,          // counts the changes of verdicts, ignored and added words
        dictionary: stored('localStorage', 'verbarium.dictionary', ''),
        key: stored('localStorage', 'verbarium.dictionaryKey', ''),
        down: false,
        caches: new Map(),   // language -> Map(word -> {bad, suggestions, full})
        pending: new Map(),  // language -> Set(word) in flight
        added: new Set(stored('localStorage', 'verbarium.added', [])),
        ignored: new Set(stored('sessionStorage', 'verbarium.ignored', [])),
    };

    function useDictionary(name, key) {
        service.dictionary = name;
        service.key = key;
        store('localStorage', 'verbarium.dictionary', name);
        store('localStorage', 'verbarium.dictionaryKey', key);
    }
    function saveIgnored() { store('sessionStorage', 'verbarium.ignored', [...service.ignored]); }
    function saveAdded() { store('localStorage', 'verbarium.added', [...service.added]); }
    function newDictionaryName() {
        const bytes = crypto.getRandomValues(new Uint8Array(12));
        return 'vb-' + [...bytes].map((b) => b.toString(16).padStart(2, '0')).join('');
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
        if (service.down && Date.now() < service.retryAt) return;
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
            service.version++;
            for (const w of words) pending.delete(w);
            inFlight--;
            refreshAll();
        }
    }

    // While the service is down the fields wait, longer each time, before asking again: the
    // page does not fill its console with one failed request per pause.
    function setDown(down, why) {
        service.down = down;
        clearTimeout(service.retryTimer);
        if (down) {
            service.backoff = Math.min(120000, (service.backoff || 5000) * 2);
            service.retryAt = Date.now() + service.backoff;
            service.retryTimer = setTimeout(() => {
                for (const f of fields.values()) f.check();
            }, service.backoff);
        } else {
            service.backoff = 0;
        }
        showOutage(down ? why : null);
    }

    // One notice for the whole page, under the field last edited.
    let notice = null;
    let lastField = null;
    function showOutage(why) {
        if (why === null) {
            if (notice) notice.hidden = true;
            return;
        }
        const field = lastField && fields.has(lastField.el) ? lastField : fields.values().next().value;
        if (!field) return;
        if (!notice) {
            notice = document.createElement('div');
            notice.className = 'vb-notice';
            notice.setAttribute('role', 'status');
        }
        // A field inside an editor's frame gets the notice after the frame.
        const anchor = field.el.ownerDocument === document ? field.el : field.el.ownerDocument.defaultView.frameElement;
        if (anchor && anchor.nextElementSibling !== notice) anchor.insertAdjacentElement('afterend', notice);
        notice.textContent = texts.unavailable;
        notice.title = why || '';
        notice.hidden = false;
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

    // A dictionary this page may change: one whose key it holds, or the one the service's cookie
    // names with its key (on the service's own site). Else a new one, made by the first word
    // added, which also gets the words added on this site before (a dictionary without a key
    // stays behind, unused).
    async function ensureDictionary() {
        if (service.dictionary && service.key) return;
        let known = '';
        let key = '';
        try {
            const [answer] = await jsonp({ cmd: 'dictionary', action: 'getname', udn: '' });
            known = answer && typeof answer.dname === 'string' ? answer.dname : '';
            key = answer && typeof answer.key === 'string' ? answer.key : '';
        } catch (e) { /* a new one, then */ }
        if (service.key) return;
        if (known && key && (!service.dictionary || service.dictionary === known)) {
            useDictionary(known, key);
            return;
        }
        const moved = service.dictionary ? [...service.added] : [];
        useDictionary(newDictionaryName(), '');
        for (const w of moved) await addOnService(w);
    }

    // Adds to the service's dictionary; the answer of the add that made it carries its key.
    async function addOnService(word) {
        const [answer] = await jsonp({ cmd: 'kwirl_add_word', text: word });
        if (answer && typeof answer.key === 'string' && answer.key)
            useDictionary(service.dictionary, answer.key);
    }

    async function addWord(word) {
        service.added.add(word);
        service.version++;
        saveAdded();
        refreshAll();
        // An unreachable engine would be answered with an error script; the word is kept on
        // this page and the service is not asked.
        if (service.down) return;
        try {
            await ensureDictionary();
            await addOnService(word);
        } catch (e) {
            // Not stored by the service: the word stays accepted on this site only.
        }
    }

    // The service cannot take a word out of a dictionary: the remaining words move to a new
    // one, and the old one is deleted.
    async function removeWord(word) {
        service.added.delete(word);
        service.version++;
        saveAdded();
        for (const cache of service.caches.values()) cache.delete(word);
        const old = service.dictionary;
        const oldKey = service.key;
        useDictionary(newDictionaryName(), '');
        try {
            for (const w of service.added) await addOnService(w);
            if (old && oldKey) await jsonp({ cmd: 'dictionary', action: 'delete', udn: old, udk: oldKey });
        } catch (e) { /* the old dictionary stays behind, unused */ }
        for (const f of fields.values()) f.check();
        refreshAll();
    }

    function ignoreAll(word) {
        service.ignored.add(word);
        service.version++;
        saveIgnored();
        refreshAll();
    }

    // ---- Grammar --------------------------------------------------------------------------------

    // Problems are found per piece of a paragraph (a line of the text): a paragraph up to
    // CHUNK characters, else its sentences gathered into pieces of about that size. The answers
    // are cached per language and piece, and a piece in flight is not sent again, so typing at
    // the end of a long paragraph sends its last piece only. A problem is
    // {start, end, rule, message, replacements}, its offsets in UTF-16 units of its piece.
    const grammar = {
        caches: new Map(),   // language -> Map(piece -> [problem])
        pending: new Map(),  // language -> Set(piece)
        retry: new Map(),    // language -> {at, backoff}: after a failure, not before `at`
        // "<rule>\u0000<text>" of the problems the user ignored, kept for the browser session
        ignored: new Set(stored('sessionStorage', 'verbarium.grammarIgnored', [])),
    };
    const MAX_VARIANTS = 8;
    const MAX_MESSAGE = 1000;
    const CHUNK = 1000;
    // Every pause of typing leaves the piece typed into behind in the cache: a long session
    // starts it afresh past this many pieces, and the fields' pieces are asked again.
    const MAX_CACHED_PIECES = 2000;
    const HAS_LETTER = /\p{L}/u;
    const SENTENCE_END = /[.!?]['"\u2019\u201d)\]]*\s+(?=[\p{Lu}\p{N}"'\u201c\u201e(])/gu;
    const SPACE = /\s/u;
    // Pieces go joined by two paragraph separators: no control character (the service's web
    // server refuses them in a URL), and no rule matches across them.
    const SEPARATOR = '\u2029\u2029';
    const CONTROL = /[\u0000-\u001f\u007f\u2029]/g;
    // "A sentence that starts in lower case" (the same number in every language): whether a
    // piece's start is a sentence start depends on the text before it, which the service does
    // not see, so at a piece's start it is not marked.
    const LOWER_CASE_START = 'GRAMMAR_RULE_4';

    // The pieces of `paragraph`: [{text, at, soft}]. Pieces end after a sentence; a sentence
    // longer than 2 * CHUNK is cut after a blank (or anywhere), and the piece after such a cut
    // is `soft`: a problem at its start may be one the cut made.
    function piecesOf(paragraph) {
        if (paragraph.length <= CHUNK) return [{ text: paragraph, at: 0, soft: false }];
        const out = [];
        let at = 0;
        let soft = false;
        const cut = (end, nextSoft) => {
            out.push({ text: paragraph.slice(at, end), at, soft });
            at = end;
            soft = nextSoft;
        };
        SENTENCE_END.lastIndex = 0;
        let m;
        while ((m = SENTENCE_END.exec(paragraph))) {
            const end = m.index + m[0].length;
            while (end - at > 2 * CHUNK) cut(softEnd(paragraph, at), true);
            if (end - at >= CHUNK) cut(end, false);
        }
        while (paragraph.length - at > 2 * CHUNK) cut(softEnd(paragraph, at), true);
        if (at < paragraph.length) cut(paragraph.length, false);
        return out;
    }
    // Where a piece from `at` without a sentence end is cut: after its last blank within
    // CHUNK characters, or at CHUNK.
    function softEnd(paragraph, at) {
        for (let i = at + CHUNK; i > at + CHUNK / 2; i--) if (SPACE.test(paragraph[i - 1])) return i;
        return at + CHUNK;
    }

    function mapFor(maps, lang, make) {
        if (!maps.has(lang)) maps.set(lang, make());
        return maps.get(lang);
    }
    const grammarIgnoreKey = (rule, text) => rule + '\u0000' + text;

    // The problems of a paragraph that are known and not ignored, offsets in the paragraph.
    function grammarOf(lang, paragraph) {
        const cache = mapFor(grammar.caches, lang, () => new Map());
        const out = [];
        for (const piece of piecesOf(paragraph)) {
            for (const p of cache.get(piece.text) || []) {
                if (p.start === 0 && (piece.soft || p.rule === LOWER_CASE_START)) continue;
                if (grammar.ignored.has(grammarIgnoreKey(p.rule, piece.text.slice(p.start, p.end)))) continue;
                out.push(piece.at ? { ...p, start: p.start + piece.at, end: p.end + piece.at } : p);
            }
        }
        return out;
    }

    // Sends the pieces of `paragraphs` not known, not in flight and worth a look, in as few
    // requests as the URL length allows. A piece longer than one request (a long text of
    // characters that take many bytes) is left out.
    async function checkGrammar(lang, paragraphs) {
        const retry = grammar.retry.get(lang);
        if ((service.down && Date.now() < service.retryAt) || (retry && Date.now() < retry.at)) return;
        const cache = mapFor(grammar.caches, lang, () => new Map());
        const pending = mapFor(grammar.pending, lang, () => new Set());
        const batches = [];
        let batch = [];
        let size = 0;
        const pieces = new Set();
        for (const paragraph of paragraphs) for (const piece of piecesOf(paragraph)) pieces.add(piece.text);
        for (const p of pieces) {
            if (cache.has(p) || pending.has(p) || !HAS_LETTER.test(p)) continue;
            const cost = encodeURIComponent(p).length + 18;   // and the separator
            if (cost > config.maxQuery) continue;
            if (size + cost > config.maxQuery && batch.length) {
                batches.push(batch);
                batch = [];
                size = 0;
            }
            pending.add(p);
            batch.push(p);
            size += cost;
        }
        if (batch.length) batches.push(batch);
        for (const b of batches) await sendGrammar(lang, b);
    }

    // A match of the answer as a problem of the piece starting at `from` and ending at `to`
    // (offsets in the joined text); null when it is malformed or runs across pieces.
    function problemOf(m, from, to) {
        if (!m || !Number.isInteger(m.offset) || !Number.isInteger(m.length) || m.length <= 0) return null;
        if (m.offset < from || m.offset + m.length > to) return null;
        const replacements = Array.isArray(m.replacements) ? m.replacements : [];
        return {
            start: m.offset - from,
            end: m.offset + m.length - from,
            rule: String(m.rule || ''),
            message: String(m.message || '').slice(0, MAX_MESSAGE),
            replacements: replacements.filter((r) => typeof r === 'string').slice(0, MAX_VARIANTS),
        };
    }

    async function sendGrammar(lang, pieces) {
        const cache = mapFor(grammar.caches, lang, () => new Map());
        const pending = mapFor(grammar.pending, lang, () => new Set());
        // Pieces without problems change no mark: most answers need no drawing at all.
        let changed = false;
        inFlight++;
        try {
            const text = pieces.map((p) => p.replace(CONTROL, ' ')).join(SEPARATOR);
            const [answer] = await jsonp({ cmd: 'kwirl_grammar', slang: lang, text }, 'grammarRequests');
            if (!answer || answer.error || !Array.isArray(answer.matches)) throw new Error('no answer');
            const found = pieces.map(() => []);
            const matches = answer.matches.filter((m) => m && Number.isInteger(m.offset))
                .sort((a, b) => a.offset - b.offset);
            let at = 0;
            let from = 0;
            for (const m of matches) {
                while (at < pieces.length && m.offset >= from + pieces[at].length) {
                    from += pieces[at++].length + SEPARATOR.length;
                }
                if (at === pieces.length) break;
                const problem = problemOf(m, from, from + pieces[at].length);
                if (problem) found[at].push(problem);
            }
            if (cache.size + pieces.length > MAX_CACHED_PIECES) {
                cache.clear();
                changed = true;
                for (const f of fields.values()) f.schedule();
            }
            pieces.forEach((p, i) => cache.set(p, found[i]));
            changed = changed || found.some((f) => f.length);
            grammar.retry.delete(lang);
        } catch (e) {
            // Not this language's grammar for a while; spelling goes on and tells of an outage.
            const backoff = Math.min(120000, ((grammar.retry.get(lang) || {}).backoff || 5000) * 2);
            grammar.retry.set(lang, { at: Date.now() + backoff, backoff });
        } finally {
            for (const p of pieces) pending.delete(p);
            inFlight--;
            if (changed) {
                service.version++;
                refreshAll();
            }
        }
    }

    function ignoreGrammar(mark) {
        grammar.ignored.add(grammarIgnoreKey(mark.problem.rule, mark.text));
        store('sessionStorage', 'verbarium.grammarIgnored', [...grammar.ignored]);
        service.version++;
        refreshAll();
    }

    // The grammar problems of `paragraph` to mark, by their start: none over a misspelt word of
    // `bad` (a misspelling is marked first), none over another problem (the first is kept).
    function grammarMarks(lang, paragraph, bad) {
        const found = grammarOf(lang, paragraph);
        if (!found.length) return found;
        const out = [];
        for (const p of found.sort((a, b) => a.start - b.start)) {
            if (out.length && p.start < out[out.length - 1].end) continue;
            if (!bad.some((w) => w.start < p.end && p.start < w.end)) out.push(p);
        }
        return out;
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

    // ---- Editors ------------------------------------------------------------------------------
    //
    // An adapter is how the clients read and change one kind of editable area. Every change it
    // makes goes through the editor's own channel, so the editor's data (getData(), the form
    // post, a framework's state) has it and it is one undo step:
    //   element          the element whose text is shown and marked
    //   read()           {text, rich}: the content the dialog checks (HTML when rich)
    //   write(text)      puts the dialog's corrected content back
    //   replace(at, s)   replaces one word: `at` is {start, end} of a plain field's value, or a
    //                    DOM Range inside a rich element
    //   observe(fn)      calls fn whenever the content changes, by the user, the editor or the
    //                    page; returns the function that stops observing
    //   toPage(rect)     a rectangle of the element's window in the page's coordinates (an
    //                    editor in a frame)

    const EDITED = { childList: true, characterData: true, subtree: true };

    // The value setter of the element's class, not of the element: frameworks that track a
    // field's value (React) replace the element's own setter and would not see the change.
    function setNativeValue(el, value) {
        const proto = el.tagName === 'TEXTAREA' ? HTMLTextAreaElement.prototype : HTMLInputElement.prototype;
        Object.getOwnPropertyDescriptor(proto, 'value').set.call(el, value);
    }

    // The part of `before` that differs from `after`: [start, end of before, replacement].
    function changedSpan(before, after) {
        let start = 0;
        const shortest = Math.min(before.length, after.length);
        while (start < shortest && before[start] === after[start]) start++;
        let tail = 0;
        while (tail < shortest - start &&
               before[before.length - 1 - tail] === after[after.length - 1 - tail]) tail++;
        return [start, before.length - tail, after.slice(start, after.length - tail)];
    }

    // Pages that set a field's value themselves (a framework re-rendering) fire no event: the
    // plain fields' values are compared once a second.
    const watchedValues = new Set();
    setInterval(() => {
        for (const w of watchedValues) {
            if (w.el.value !== w.last) {
                w.last = w.el.value;
                w.fn();
            }
        }
    }, 1000);

    class PlainAdapter {
        constructor(el) { this.element = el; }
        read() { return { text: this.element.value, rich: false }; }

        write(text) {
            const [start, end, middle] = changedSpan(this.element.value, String(text));
            if (start !== end || middle) this.replace({ start, end }, middle);
        }

        // As the user's own edit where the browser allows it (its undo history, a native input
        // event); otherwise the native setter and the events a framework listens to.
        replace(at, text) {
            const el = this.element;
            const wanted = el.value.slice(0, at.start) + text + el.value.slice(at.end);
            el.focus();
            el.setSelectionRange(at.start, at.end);
            // The browser may refuse, or edit elsewhere when the focus is not really here.
            if (el.ownerDocument.execCommand('insertText', false, text) && el.value === wanted) return;
            setNativeValue(el, wanted);
            el.setSelectionRange(at.start + text.length, at.start + text.length);
            el.dispatchEvent(new InputEvent('input', { bubbles: true, inputType: 'insertReplacementText', data: text }));
            el.dispatchEvent(new Event('change', { bubbles: true }));
        }

        observe(fn) {
            const el = this.element;
            const watch = { el, last: el.value, fn };
            const onInput = () => {
                watch.last = el.value;
                fn();
            };
            el.addEventListener('input', onInput);
            watchedValues.add(watch);
            return () => {
                el.removeEventListener('input', onInput);
                watchedValues.delete(watch);
            };
        }

        toPage(rect) { return rect; }
    }

    // A contenteditable element that no known editor owns.
    class EditableAdapter {
        constructor(el) {
            this.element = el;
            this.doc = el.ownerDocument;
            this.win = this.doc.defaultView;
        }

        read() { return { text: this.element.innerHTML, rich: true }; }

        write(html) {
            this.element.innerHTML = html;
            this.element.dispatchEvent(new Event('input', { bubbles: true }));
        }

        select(range) {
            this.element.focus();
            const sel = this.win.getSelection();
            sel.removeAllRanges();
            sel.addRange(range);
        }

        replace(range, text) {
            this.select(range);
            if (!this.doc.execCommand('insertText', false, text)) {
                range.deleteContents();
                range.insertNode(this.doc.createTextNode(text));
                this.element.dispatchEvent(new Event('input', { bubbles: true }));
            }
        }

        observe(fn) {
            const observer = new MutationObserver(fn);
            observer.observe(this.element, EDITED);
            const stop = this.listen(fn);
            return () => {
                observer.disconnect();
                stop();
            };
        }

        // The editor's own change events, beside the DOM's.
        listen() { return () => {}; }

        toPage(rect) {
            const frame = this.win.frameElement;
            if (!frame) return rect;
            const f = frame.getBoundingClientRect();
            const x = f.left + frame.clientLeft;
            const y = f.top + frame.clientTop;
            return { left: rect.left + x, right: rect.right + x, top: rect.top + y, bottom: rect.bottom + y };
        }
    }

    // CKEditor 5: the DOM is a rendering of the editor's model, so changes go to the model.
    class CKEditorAdapter extends EditableAdapter {
        constructor(editor) {
            super(editor.editing.view.getDomRoot());
            this.editor = editor;
        }

        read() { return { text: this.editor.getData(), rich: true }; }
        write(html) { this.editor.data.set(html, { batchType: { isUndoable: true } }); }

        replace(range, text) {
            const { editor } = this;
            const view = editor.editing.view.domConverter.domRangeToView(range);
            if (!view) return;
            const target = editor.editing.mapper.toModelRange(view);
            editor.editing.view.focus();
            editor.model.change((writer) => {
                const first = [...target.getItems()][0];
                const attributes = first ? Object.fromEntries(first.getAttributes()) : {};
                editor.model.insertContent(writer.createText(text, attributes), target);
            });
        }

        listen(fn) {
            const doc = this.editor.model.document;
            doc.on('change:data', fn);
            return () => doc.off('change:data', fn);
        }
    }

    // TinyMCE, classic (its body in a frame) or inline: changes inside one undo transaction.
    class TinyMCEAdapter extends EditableAdapter {
        constructor(editor) {
            super(editor.getBody());
            this.editor = editor;
        }

        read() { return { text: this.editor.getContent(), rich: true }; }

        write(html) {
            const { editor } = this;
            editor.undoManager.transact(() => editor.setContent(html));
            editor.save();
        }

        replace(range, text) {
            const { editor } = this;
            editor.focus();
            editor.undoManager.transact(() => {
                editor.selection.setRng(range);
                editor.selection.setContent(editor.dom.encode(text));
            });
            editor.save();
        }

        listen(fn) {
            this.editor.on('change SetContent', fn);
            return () => this.editor.off('change SetContent', fn);
        }
    }

    // Quill: changes are Deltas of its document, each set apart in its history.
    class QuillAdapter extends EditableAdapter {
        constructor(quill) {
            super(quill.root);
            this.quill = quill;
            this.Quill = quill.constructor;
        }

        read() { return { text: this.quill.root.innerHTML, rich: true }; }

        update(delta) {
            const { quill } = this;
            quill.history.cutoff();
            quill.updateContents(delta, 'user');
            quill.history.cutoff();
        }

        write(html) {
            const next = this.quill.clipboard.convert({ html });
            this.update(this.quill.getContents().diff(next));
        }

        // The document index of a DOM point inside a text node.
        indexOf(node, offset) {
            const blot = this.Quill.find(node, true);
            return blot ? this.quill.getIndex(blot) + offset : -1;
        }

        replace(range, text) {
            const start = this.indexOf(range.startContainer, range.startOffset);
            const end = this.indexOf(range.endContainer, range.endOffset);
            if (start < 0 || end < start) return;
            const [first] = this.quill.getContents(start, end - start).ops;
            const Delta = this.Quill.import('delta');
            this.quill.focus();
            this.update(new Delta().retain(start).delete(end - start).insert(text, (first && first.attributes) || {}));
        }

        listen(fn) {
            this.quill.on('text-change', fn);
            return () => this.quill.off('text-change', fn);
        }
    }

    function isPlain(el) {
        return el.tagName === 'TEXTAREA' || (el.tagName === 'INPUT' && /^(text|search|)$/.test(el.type));
    }

    // The adapter of an editor object (CKEditor 5, TinyMCE, Quill) or of an element: an editor's
    // editable element, the textarea an editor replaced, a plain field, a contenteditable
    // element. Null for anything else.
    function adapterFor(target) {
        if (!target || typeof target !== 'object') return null;
        if (target.model && target.editing && target.data) return new CKEditorAdapter(target);
        if (target.undoManager && target.getBody) return target.getBody() ? new TinyMCEAdapter(target) : null;
        if (target.root && target.updateContents && target.getContents) return new QuillAdapter(target);
        if (target.nodeType !== 1) return null;
        const el = target;
        const editable = el.closest('.ck-editor__editable');
        if (editable && editable.ckeditorInstance) return new CKEditorAdapter(editable.ckeditorInstance);
        const tiny = window.tinymce && window.tinymce.get ? window.tinymce.get() : [];
        const owner = (Array.isArray(tiny) ? tiny : []).find((e) => e.getElement() === el || e.getBody() === el);
        if (owner && owner.getBody()) return new TinyMCEAdapter(owner);
        const container = el.closest('.ql-container');
        const quill = container && window.Quill && window.Quill.find(container);
        if (quill && quill.root) return new QuillAdapter(quill);
        if (isPlain(el)) return new PlainAdapter(el);
        if (el.isContentEditable) return new EditableAdapter(el);
        return null;
    }
    V.adapter = adapterFor;

    // ---- Fields -------------------------------------------------------------------------------

    const fields = new Map();   // element -> Field
    let refreshQueued = false;
    function refreshAll() {
        if (refreshQueued) return;
        refreshQueued = true;
        requestAnimationFrame(timed(() => {
            refreshQueued = false;
            for (const f of fields.values()) f.render({ mayWait: true });
        }, 'refresh'));
    }

    let describedFields = 0;

    class Field {
        constructor(adapter, options) {
            const el = adapter.element;
            this.adapter = adapter;
            this.el = el;
            this.options = options || {};
            this.timer = 0;
            this.marks = [];          // misspelt words
            this.grammarMarks = [];   // grammar problems: {problem, text, ...the field's place}
            this.composing = false;
            el.spellcheck = false;   // the browser's own underlines would double ours
            this.onChange = timed(() => {
                if (lastField !== this && service.down) {
                    lastField = this;
                    showOutage(notice ? notice.title : '');
                }
                lastField = this;
                refreshAll();
                this.schedule();
            }, 'input');
            this.onKey = timed((e) => this.key(e), 'key');
            this.onMenu = timed((e) => this.contextMenu(e), 'menu');
            // Text being composed (an input method) is checked once it is committed.
            this.onCompose = (e) => {
                this.composing = e.type === 'compositionstart';
                if (!this.composing) this.schedule();
            };
            this.stopObserving = adapter.observe(this.onChange);
            el.addEventListener('keydown', this.onKey);
            // Ahead of an editor's own context menu, only where a marked word is hit.
            el.ownerDocument.defaultView.addEventListener('contextmenu', this.onMenu, true);
            el.addEventListener('compositionstart', this.onCompose);
            el.addEventListener('compositionend', this.onCompose);
            this.langObserver = new MutationObserver(() => this.languageChanged());
            this.langObserver.observe(el, { attributes: true, attributeFilter: ['lang', 'data-verbarium-lang'] });
            this.lastLang = this.lang();
        }

        schedule() {
            clearTimeout(this.timer);
            this.timer = setTimeout(timed(() => {
                this.timer = 0;
                this.check();
            }, 'check'), config.delay);
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

        grammarOn() { return Boolean(config.grammar) && this.options.grammar !== false; }

        check() {
            if (this.composing) return;
            stats.checks++;
            const text = this.text();
            checkWords(this.lang(), [...new Set(wordsOf(text).map((w) => w.word))]);
            if (this.grammarOn()) checkGrammar(this.lang(), text.split('\n'));
        }

        // Spelling first: a misspelt word inside a grammar problem opens its own menu.
        allMarks() { return this.marks.concat(this.grammarMarks); }

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
            if (!this.el.contains(e.target)) return;
            const mark = e.button === 0 && e.clientX === 0 && e.clientY === 0
                ? this.markAtCaret() : this.markAtPoint(e.clientX, e.clientY);
            if (!mark) return;
            e.preventDefault();
            e.stopImmediatePropagation();
            openMenu(this, mark);
        }

        markAtPoint(x, y) {
            return this.allMarks().find((m) => [...this.rectsOf(m)].some(
                (r) => x >= r.left - 1 && x <= r.right + 1 && y >= r.top - 1 && y <= r.bottom + 1));
        }

        // Screen readers hear the misspelt words with the field (the marks are only drawn): a
        // hidden text describes the field, or the frame of an editor whose body is the field.
        describe() {
            const words = [...new Set(this.marks.map((m) => m.word))];
            const problems = [...new Set(this.grammarMarks.map((m) => m.text))];
            const text = [words.length ? texts.misspelt + ' ' + words.join(', ') : '',
                          problems.length ? texts.grammarProblem + ' ' + problems.join(', ') : ''].filter(Boolean).join(' ');
            if (text === this.described) return;
            this.described = text;
            const owner = this.el.tagName === 'BODY' ? this.el.ownerDocument.defaultView.frameElement : this.el;
            if (!owner) return;
            if (!this.description) {
                this.description = owner.ownerDocument.createElement('span');
                this.description.id = 'vb-misspelt-' + ++describedFields;
                this.description.hidden = true;
                owner.ownerDocument.body.appendChild(this.description);
                owner.setAttribute('aria-describedby',
                                   ((owner.getAttribute('aria-describedby') || '') + ' ' + this.description.id).trim());
                this.describedOwner = owner;
            }
            this.description.textContent = text;
        }

        detach() {
            if (this.description) {
                const owner = this.describedOwner;
                const rest = (owner.getAttribute('aria-describedby') || '').split(' ').filter((id) => id !== this.description.id);
                if (rest.length) owner.setAttribute('aria-describedby', rest.join(' '));
                else owner.removeAttribute('aria-describedby');
                this.description.remove();
            }
            this.stopObserving();
            this.el.removeEventListener('keydown', this.onKey);
            this.el.ownerDocument.defaultView.removeEventListener('contextmenu', this.onMenu, true);
            this.el.removeEventListener('compositionstart', this.onCompose);
            this.el.removeEventListener('compositionend', this.onCompose);
            this.langObserver.disconnect();
            clearTimeout(this.timer);
        }
    }

    // Textarea or text input: a copy of its text lies over the field (transparent text, no
    // background, no pointer events), so only the underlines of the copy show; the field keeps
    // its own colours, whatever theme the page switches to.
    const plainFields = new Set();
    let placeQueued = false;
    // A scroll anywhere (a panel that holds a field) moves the copies with their fields.
    function placeAll() {
        if (placeQueued || !plainFields.size) return;
        placeQueued = true;
        requestAnimationFrame(timed(() => {
            placeQueued = false;
            for (const f of plainFields) f.place();
        }, 'place'));
    }
    // A field scrolling its own text moves no copy (its own scroll listener moves the copy's
    // text), and placing would read the layout of the page in the frame of a typed key.
    document.addEventListener('scroll', (e) => {
        if (!fields.has(e.target)) placeAll();
    }, { capture: true, passive: true });

    const GROUP_LINES = 32;
    const RIGHT_TO_LEFT = /[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufefc\u{10800}-\u{10fff}\u{1e800}-\u{1efff}]/u;

    class PlainField extends Field {
        constructor(adapter, options) {
            super(adapter, options);
            const el = this.el;
            this.mirror = document.createElement('div');
            this.mirror.className = 'vb-mirror';
            this.mirror.setAttribute('aria-hidden', 'true');
            // What keeps the mirror out of the page's flow is set here, not only in the style
            // sheet, which may arrive later. Its text is hidden, not only transparent: the browser
            // paints only the marks (which the style sheet shows), not every line of the text.
            this.mirror.style.cssText = 'position:absolute;overflow:hidden;pointer-events:none;' +
                                        'color:transparent;background:transparent;box-sizing:border-box;margin:0;' +
                                        'visibility:hidden';
            // The text scrolls by a transform, which needs no layout to apply.
            this.inner = document.createElement('div');
            this.mirror.appendChild(this.inner);
            this.lines = [];   // {text, bad, key, div, spans}: the lines as shown
            el.parentNode.insertBefore(this.mirror, el);
            this.onScroll = () => this.syncScroll();
            el.addEventListener('scroll', this.onScroll);
            // The field moves when the page around it changes: follow its size, the page's
            // size and the focus.
            this.resizer = new ResizeObserver(timed(() => this.layout(), 'layout'));
            this.resizer.observe(el);
            this.resizer.observe(document.body);
            this.onFocus = () => this.layout();
            el.addEventListener('focus', this.onFocus);
            plainFields.add(this);
            this.layout();
            this.render();
        }

        text() { return this.el.value; }

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
            // Above the field, whatever its own stacking.
            m.zIndex = /^\d+$/.test(s.zIndex) ? String(Number(s.zIndex) + 1) : '1';
            m.width = el.offsetWidth + 'px';
            m.height = el.offsetHeight + 'px';
            // Text before a change stays where it is only in left-to-right, start-aligned text.
            this.startAligned = s.direction === 'ltr' && /^(start|left|-webkit-left)$/.test(s.textAlign);
            if (el.tagName === 'INPUT') {
                m.whiteSpace = 'pre';
                m.lineHeight = el.clientHeight - parseFloat(s.paddingTop) - parseFloat(s.paddingBottom) + 'px';
            }
            this.place();
            this.syncScroll();
        }

        // Puts the mirror exactly on the field, to the fraction of a pixel, and cuts it to what
        // the field's scrolling ancestors leave visible.
        place() {
            const a = this.el.getBoundingClientRect();
            const b = this.mirror.getBoundingClientRect();
            const m = this.mirror.style;
            m.left = (parseFloat(m.left) || 0) + a.left - b.left + 'px';
            m.top = (parseFloat(m.top) || 0) + a.top - b.top + 'px';
            let [top, right, bottom, left] = [a.top, a.right, a.bottom, a.left];
            const stop = this.mirror.offsetParent;
            for (let p = this.el.parentElement; p && p !== stop && p !== document.body; p = p.parentElement) {
                if (getComputedStyle(p).overflow === 'visible') continue;
                const r = p.getBoundingClientRect();
                [top, right, bottom, left] = [Math.max(top, r.top), Math.min(right, r.right),
                                              Math.max(Math.min(bottom, r.bottom), top), Math.max(left, r.left)];
            }
            const clip = `inset(${top - a.top}px ${Math.max(0, a.right - right)}px ${Math.max(0, a.bottom - bottom)}px ${left - a.left}px)`;
            m.clipPath = clip === 'inset(0px 0px 0px 0px)' ? '' : clip;
        }

        syncScroll() {
            this.inner.style.transform = `translate(${-this.el.scrollLeft}px, ${-this.el.scrollTop}px)`;
        }

        // One block of the mirror per line of the text: typing changes one block, and the
        // browser lays out that block again, not the whole text. Each block ends with its line
        // break, the last with a zero-width space so that an empty last line takes its place.
        // `div` is the block that showed the line before, or a new one. A line without marks is
        // one text node whose text is changed in place: a key typed into such a line gives the
        // browser no new element to style.
        fill(div, p, last) {
            p.spans = [];
            p.gramSpans = [];
            const end = last ? '\u200b' : '\n';
            if (!p.bad.length && !p.gram.length) {
                const node = div.firstChild;
                if (node && node.nodeType === Node.TEXT_NODE && !node.nextSibling) node.data = p.text + end;
                else div.textContent = p.text + end;
                return div;
            }
            const parts = [];
            let at = 0;
            const marked = p.bad.map((w) => [w, 'vb-miss', p.spans])
                .concat(p.gram.map((g) => [g, 'vb-gram', p.gramSpans]))
                .sort((a, b) => a[0].start - b[0].start);
            for (const [w, kind, spans] of marked) {
                parts.push(p.text.slice(at, w.start));
                const span = document.createElement('span');
                span.className = kind;
                span.textContent = p.text.slice(w.start, w.end);
                parts.push(span);
                spans.push(span);
                at = w.end;
            }
            parts.push(p.text.slice(at) + end);
            div.replaceChildren(...parts);
            return div;
        }

        // The line blocks are kept in groups of up to 2 * GROUP_LINES, each contained (style
        // sheet): the browser lays out, paints and hit-tests the group of the line typed into
        // and passes over the others whole, where one contained block per line made it visit
        // every line of a long text on each key.
        insertLine(div, after) {
            let group = after ? after.parentNode : this.inner.firstChild;
            if (after) after.after(div);
            else if (group) group.prepend(div);
            else {
                group = document.createElement('div');
                group.append(div);
                this.inner.append(group);
            }
            if (group.childElementCount <= 2 * GROUP_LINES) return;
            const rest = document.createElement('div');
            rest.append(...[...group.children].slice(GROUP_LINES));
            group.after(rest);
        }

        removeLine(div) {
            const group = div.parentNode;
            div.remove();
            if (!group.firstChild) group.remove();
        }

        // Whether the copy may show a change later, once the browser is idle: one line changed
        // and no mark lies at or after the change, in that line or below, so no underline would
        // be out of place meanwhile. In the line, a blank must lie between the last mark and
        // the change (text without one wraps as a whole), and the line has no right-to-left
        // letters (their order on the screen may change).
        mayWait(before, next, head, tail) {
            if (!this.startAligned || before.length !== next.length || head + tail + 1 !== next.length) return false;
            const was = before[head];
            const now = next[head];
            if (RIGHT_TO_LEFT.test(was.text) || RIGHT_TO_LEFT.test(now.text)) return false;
            for (let i = head + 1; i < next.length; i++) if (next[i].bad.length || next[i].gram.length) return false;
            let at = 0;
            while (at < was.text.length && at < now.text.length && was.text[at] === now.text[at]) at++;
            const blank = at ? Math.max(now.text.lastIndexOf(' ', at - 1), now.text.lastIndexOf('\t', at - 1)) : -1;
            const clear = (p) => p.bad.every((w) => w.end <= blank) && p.gram.every((g) => g.end <= blank);
            return clear(was) && clear(now);
        }

        // Renders once the browser is idle (at the latest after half a second); a render
        // before that makes it needless.
        later() {
            if (this.waiting) return;
            const token = {};
            this.waiting = token;
            const run = timed(() => {
                if (this.waiting !== token) return;
                this.waiting = null;
                this.render();
            }, 'later');
            if (window.requestIdleCallback) requestIdleCallback(run, { timeout: 500 });
            else setTimeout(run, 100);
        }

        // `mayWait`: a change the user cannot see in the marks waits for an idle moment, so
        // that the frame of a typed key lays out and paints the field only.
        render({ mayWait = false } = {}) {
            // No layout is read here (it would lay out the whole text at once): the mirror's
            // place follows the resize observer and the focus, its scrolling the scroll event.
            const lang = this.lang();
            const lines = this.el.value.split('\n');
            const before = this.lines;
            // Lines kept from the last time need no new look at their words while no verdict
            // and no language changed.
            const withGrammar = this.grammarOn();
            const same = service.version === this.version && lang === this.langShown && withGrammar === this.grammarShown;
            let first = 0;
            // (a last line, shown with its own ending, is reused only as the last line)
            while (same && first < before.length - 1 && first < lines.length - 1 && before[first].text === lines[first]) first++;
            let last = 0;
            while (same && last < before.length - first && last < lines.length - first &&
                   before[before.length - 1 - last].text === lines[lines.length - 1 - last]) last++;
            const next = lines.map((text, i) => {
                if (i < first) return before[i];
                if (i >= lines.length - last) return before[i - lines.length + before.length];
                const bad = wordsOf(text).filter((w) => isBad(lang, w.word) === true);
                const gram = withGrammar ? grammarMarks(lang, text, bad) : [];
                return { text, bad, gram, key: text + (i === lines.length - 1 ? '\u0001' : '\u0000') + bad.map((w) => w.start).join(',') +
                         (gram.length ? '\u0000' + gram.map((g) => g.start + '-' + g.end).join(',') : '') };
            });
            let head = 0;
            while (head < before.length && head < next.length && before[head].key === next[head].key) head++;
            let tail = 0;
            while (tail < before.length - head && tail < next.length - head &&
                   before[before.length - 1 - tail].key === next[next.length - 1 - tail].key) tail++;
            if (mayWait && same && this.mayWait(before, next, head, tail)) {
                this.later();
                return;
            }
            this.waiting = null;
            this.version = service.version;
            this.langShown = lang;
            this.grammarShown = withGrammar;
            // The blocks of the changed lines show the new lines in their order; the blocks
            // left over go, the lines left over get new blocks.
            const changed = before.slice(head, before.length - tail);
            for (const p of changed.slice(next.length - tail - head)) this.removeLine(p.div);
            next.forEach((p, i) => {
                const kept = i < head ? before[i] : i >= next.length - tail ? before[i - next.length + before.length] : null;
                if (kept) {
                    p.div = kept.div;
                    p.spans = kept.spans;
                    p.gramSpans = kept.gramSpans;
                    return;
                }
                const shown = changed[i - head];
                p.div = this.fill(shown ? shown.div : document.createElement('div'), p, i === next.length - 1);
                if (!shown) this.insertLine(p.div, i ? next[i - 1].div : null);
            });
            this.lines = next;
            // The marks of the lines before the change stay as they are, unless a verdict changed
            // (a grammar problem may have changed its message without moving).
            let offset = 0;
            let from = 0;
            if (same) {
                let marks = 0;
                let grammarMarks = 0;
                for (; from < head; from++) {
                    marks += next[from].bad.length;
                    grammarMarks += next[from].gram.length;
                    offset += next[from].text.length + 1;
                }
                this.marks.length = marks;
                this.grammarMarks.length = grammarMarks;
            } else {
                this.marks = [];
                this.grammarMarks = [];
            }
            for (const p of next.slice(from)) {
                p.bad.forEach((w, j) => this.marks.push({ word: w.word, start: offset + w.start, end: offset + w.end, span: p.spans[j] }));
                p.gram.forEach((g, j) => this.grammarMarks.push({ problem: g, text: p.text.slice(g.start, g.end),
                                                                  start: offset + g.start, end: offset + g.end, span: p.gramSpans[j] }));
                offset += p.text.length + 1;
            }
            // Set only when it changes: a written attribute costs the field a new style.
            const count = String(this.marks.length);
            if (this.el.dataset.verbariumMisspelt !== count) this.el.dataset.verbariumMisspelt = count;
            clearTimeout(this.describing);
            this.describing = setTimeout(() => this.describe(), 500);
        }

        rectsOf(mark) { return mark.span.getClientRects(); }

        markAtCaret() {
            const at = this.el.selectionStart;
            return this.allMarks().find((m) => at >= m.start && at <= m.end);
        }

        saveCaret() {
            const { selectionStart, selectionEnd } = this.el;
            return () => {
                this.el.focus();
                this.el.setSelectionRange(selectionStart, selectionEnd);
            };
        }

        replace(mark, replacement) {
            if (this.el.value.slice(mark.start, mark.end) !== mark.span.textContent) return;
            this.adapter.replace(mark, replacement);
        }

        detach() {
            super.detach();
            plainFields.delete(this);
            this.waiting = null;
            this.el.removeEventListener('scroll', this.onScroll);
            this.el.removeEventListener('focus', this.onFocus);
            this.resizer.disconnect();
            this.mirror.remove();
            delete this.el.dataset.verbariumMisspelt;
        }
    }

    // contenteditable element: misspelt words and grammar problems become ranges of two CSS
    // highlights; the element's own DOM is never changed by the script. Each document (an
    // editor's frame has its own) gets its own highlights and the style sheet that draws them.
    const highlights = new Map();   // document -> {miss, gram} (Highlight), or null
    function highlightOf(doc) {
        if (!highlights.has(doc)) {
            const win = doc.defaultView;
            const supported = win && win.Highlight && win.CSS.highlights;
            const h = supported ? { miss: new win.Highlight(), gram: new win.Highlight() } : null;
            if (h) {
                win.CSS.highlights.set(HIGHLIGHT, h.miss);
                win.CSS.highlights.set(GRAMMAR_HIGHLIGHT, h.gram);
            }
            if (doc !== document) addStyles(doc);
            highlights.set(doc, h);
        }
        return highlights.get(doc);
    }

    // Elements that start a new line of text: a word never runs across them.
    const BLOCK = /^(ADDRESS|ARTICLE|ASIDE|BLOCKQUOTE|BR|DD|DIV|DL|DT|FIGCAPTION|FIGURE|FOOTER|FORM|H[1-6]|HEADER|HR|LI|MAIN|NAV|OL|P|PRE|SECTION|TABLE|TD|TH|TR|UL|IMG)$/;
    const SKIPPED = /^(SCRIPT|STYLE|TEMPLATE|NOSCRIPT)$/;

    class RichField extends Field {
        constructor(adapter, options) {
            super(adapter, options);
            this.doc = this.el.ownerDocument;
            this.highlight = highlightOf(this.doc);
            this.render();
        }

        // The element's text as one string, with the text node and offset of each piece: words
        // split by inline formatting ("beau<b>tiful</b>") are read whole, blocks and line
        // breaks separate words.
        textMap() {
            const pieces = [];
            let text = '';
            const walker = this.doc.createTreeWalker(this.el, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT, {
                acceptNode: (n) => n.nodeType === 1 && (SKIPPED.test(n.tagName) || n.getAttribute('contenteditable') === 'false')
                    ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
            });
            while (walker.nextNode()) {
                const n = walker.currentNode;
                if (n.nodeType === 1) {
                    if (BLOCK.test(n.tagName) && text && !text.endsWith('\n')) text += '\n';
                } else {
                    pieces.push({ node: n, at: text.length });
                    text += n.data;
                }
            }
            return { text, pieces };
        }

        // The text node and offset of position `at` of the map's text; `end` prefers the end
        // of a piece to the start of the next.
        pointOf(pieces, at, end) {
            let lo = 0;
            let hi = pieces.length - 1;
            while (lo < hi) {
                const mid = (lo + hi + 1) >> 1;
                if (pieces[mid].at < at || (!end && pieces[mid].at === at)) lo = mid;
                else hi = mid - 1;
            }
            const p = pieces[lo];
            return [p.node, Math.min(at - p.at, p.node.data.length)];
        }

        text() { return this.textMap().text; }

        rangeOf(pieces, start, end) {
            const range = this.doc.createRange();
            range.setStart(...this.pointOf(pieces, start, false));
            range.setEnd(...this.pointOf(pieces, end, true));
            return range;
        }

        unmark() {
            if (!this.highlight) return;
            for (const m of this.marks) this.highlight.miss.delete(m.range);
            for (const m of this.grammarMarks) this.highlight.gram.delete(m.range);
        }

        render() {
            const lang = this.lang();
            this.unmark();
            this.marks = [];
            this.grammarMarks = [];
            const { text, pieces } = this.textMap();
            const withGrammar = this.grammarOn();
            let offset = 0;
            for (const paragraph of text.split('\n')) {
                const bad = wordsOf(paragraph).filter((w) => isBad(lang, w.word) === true);
                for (const w of bad) {
                    const range = this.rangeOf(pieces, offset + w.start, offset + w.end);
                    this.marks.push({ word: w.word, range, text: range.toString() });
                    if (this.highlight) this.highlight.miss.add(range);
                }
                for (const g of withGrammar ? grammarMarks(lang, paragraph, bad) : []) {
                    const range = this.rangeOf(pieces, offset + g.start, offset + g.end);
                    this.grammarMarks.push({ problem: g, range, text: range.toString() });
                    if (this.highlight) this.highlight.gram.add(range);
                }
                offset += paragraph.length + 1;
            }
            this.el.dataset.verbariumMisspelt = String(this.marks.length);
            this.describe();
        }

        rectsOf(mark) { return mark.range.getClientRects(); }

        markAtCaret() {
            const sel = this.doc.defaultView.getSelection();
            if (!sel.rangeCount) return undefined;
            const { startContainer, startOffset } = sel.getRangeAt(0);
            return this.allMarks().find((m) => m.range.isPointInRange(startContainer, startOffset));
        }

        saveCaret() {
            const sel = this.doc.defaultView.getSelection();
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
            this.adapter.replace(mark.range, replacement);
        }

        detach() {
            super.detach();
            this.unmark();
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

    function menuBox(label) {
        const box = document.createElement('div');
        box.className = 'vb-menu';
        box.setAttribute('role', 'menu');
        box.setAttribute('aria-label', label);
        return box;
    }
    function separator() {
        const rule = document.createElement('div');
        rule.className = 'vb-rule';
        rule.setAttribute('role', 'separator');
        return rule;
    }
    const choose = (fn) => () => {
        closeMenu(true);
        fn();
    };

    // Shows `box` at the mark and gives it the keyboard.
    function showMenu(field, mark, box, restoreCaret) {
        box.addEventListener('keydown', (e) => menuKey(e, box));
        document.body.appendChild(box);
        const rect = field.adapter.toPage(field.rectsOf(mark)[0] || field.el.getBoundingClientRect());
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
    }

    // A grammar problem's menu: the rule's explanation (as text: it is the service's), its
    // variants, "Ignore".
    function openGrammarMenu(field, mark) {
        closeMenu(false);
        const restoreCaret = field.saveCaret();
        const box = menuBox(texts.grammarProblem);
        const explanation = document.createElement('div');
        explanation.className = 'vb-explain';
        explanation.id = 'vb-explain';
        explanation.setAttribute('role', 'none');
        explanation.textContent = mark.problem.message;
        if (mark.problem.message) box.setAttribute('aria-describedby', explanation.id);
        const items = mark.problem.replacements.map((r) => menuItem(r, choose(() => field.replace(mark, r))));
        if (!items.length) items.push(menuItem(texts.noSuggestions, null, true));
        for (const i of items) i.classList.add('vb-suggestion', 'vb-variant');
        const ignore = menuItem(texts.ignore, choose(() => ignoreGrammar(mark)));
        ignore.classList.add('vb-ignore');
        box.replaceChildren(...(mark.problem.message ? [explanation] : []), ...items, separator(), ignore);
        showMenu(field, mark, box, restoreCaret);
    }

    function openMenu(field, mark) {
        if (mark.problem) return openGrammarMenu(field, mark);
        closeMenu(false);
        const restoreCaret = field.saveCaret();
        const box = menuBox(texts.suggestions);
        const fill = (suggestions) => {
            const items = suggestions.slice(0, config.suggestions).map((s) =>
                menuItem(s, choose(() => field.replace(mark, s))));
            if (!items.length) items.push(menuItem(texts.noSuggestions, null, true));
            for (const i of items) i.classList.add('vb-suggestion');
            const own = service.added.size ? [menuItem(texts.ownWords, () => listOwnWords(box))] : [];
            box.replaceChildren(...items, separator(),
                menuItem(texts.ignoreAll, choose(() => ignoreAll(mark.word))),
                menuItem(texts.add, choose(() => addWord(mark.word))), ...own);
        };
        const lang = field.lang();
        const entry = cacheFor(lang).get(mark.word);
        fill(entry ? entry.suggestions || [] : []);
        showMenu(field, mark, box, restoreCaret);
        suggestionsFor(lang, mark.word).then((list) => {
            if (menu && menu.box === box && list && list.length && !box.dataset.own) {
                const index = [...box.querySelectorAll('.vb-item')].indexOf(document.activeElement);
                fill(list);
                focusItem(box, Math.max(0, index));
            }
        });
    }

    // The words added from this site, each with its item that takes it out again.
    function listOwnWords(box) {
        const items = [...service.added].sort().map((w) => {
            const item = menuItem(texts.remove.replace('%s', w), () => {
                closeMenu(true);
                removeWord(w);
            });
            item.dataset.word = w;
            return item;
        });
        box.dataset.own = '1';
        box.setAttribute('aria-label', texts.ownWords);
        box.replaceChildren(...items);
        focusItem(box, 0);
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

    function addStyles(doc = document) {
        if (doc.getElementById('vb-kwirl-styles')) return;
        const link = doc.createElement('link');
        link.id = 'vb-kwirl-styles';
        link.rel = 'stylesheet';
        link.href = new URL(config.service, location.href) + '?cmd=script&doc=kwirl_styles';
        (doc.head || doc.documentElement).appendChild(link);
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
        if (options && 'grammar' in options && Boolean(options.grammar) !== config.grammar) {
            config.grammar = Boolean(options.grammar);
            for (const f of fields.values()) f.check();
            refreshAll();
        }
        if (options && options.uiLang) loadTexts(config.uiLang);
        if (options && options.lang) for (const f of fields.values()) f.languageChanged();
        if (previousConfigure) previousConfigure(options);
    };

    // `target`: a textarea, a text input, a contenteditable element, an editor's element or an
    // editor itself (CKEditor 5, TinyMCE, Quill).
    V.attach = function (target, options) {
        const adapter = adapterFor(target);
        if (!adapter) throw new TypeError('Verbarium.attach: not an editable field');
        if (fields.has(adapter.element)) return;
        addStyles();
        const field = adapter instanceof PlainAdapter ? new PlainField(adapter, options) : new RichField(adapter, options);
        fields.set(adapter.element, field);
        field.check();
    };

    function fieldOf(target) {
        const adapter = adapterFor(target);
        return adapter ? fields.get(adapter.element) : undefined;
    }

    V.detach = function (target) {
        const field = fieldOf(target);
        if (!field) return;
        field.detach();
        fields.delete(field.el);
    };

    // Checks the field again now, for content the page changed without telling anyone.
    V.check = function (target) {
        const field = fieldOf(target);
        if (!field) return;
        field.render();
        field.check();
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
                const waiting = [...fields.values()].some((f) => f.timer || f.waiting);
                if (waiting || inFlight || refreshQueued) setTimeout(poll, 50);
                else requestAnimationFrame(() => resolve());
            };
            poll();
        });
    };

    V.misspelt = function (target) {
        const field = fieldOf(target);
        return field ? field.marks.map((m) => m.word) : [];
    };

    // The grammar problems currently marked: [{text, rule, message, replacements}].
    V.grammarProblems = function (target) {
        const field = fieldOf(target);
        return field ? field.grammarMarks.map((m) => ({ text: m.text, rule: m.problem.rule, message: m.problem.message,
                                                        replacements: [...m.problem.replacements] })) : [];
    };

    // The dialog lives in its own script, loaded on first use, or at once when the page has
    // buttons that open it (class "verbarium-dialog"), which that script binds.
    const loadDialog = () => loadScript(config.service + '?cmd=script&doc=qdr');
    if (!V.openDialog) {
        V.openDialog = function (field, options) {
            const self = V.openDialog;
            return loadDialog().then(() => {
                if (V.openDialog === self) throw new Error('the dialog script did not load');
                return V.openDialog(field, options);
            });
        };
    }

    window.addEventListener('resize', timed(() => {
        for (const f of fields.values()) if (f.layout) f.layout();
    }, 'resize'));
    loadTexts(config.uiLang);
    const attachMarked = () => {
        document.querySelectorAll('.verbarium-check').forEach((el) => V.attach(el));
        if (!V.closeDialog && document.querySelector('.verbarium-dialog')) loadDialog().catch(() => showOutage('unreachable'));
    };
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', attachMarked);
    else attachMarked();
})();
