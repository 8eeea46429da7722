// Check as you type marks grammar problems too: in their own colour, with the rule's explanation
// and variants in the menu, a variant chosen is one undo step, "Ignore" takes the mark away, an
// option turns it off, and whatever the service says is shown as text.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, startSite } = require('./harness');

const EDITORS_INSTALLED = require('node:fs').existsSync(require('node:path').join(__dirname, 'node_modules', 'quill'));
const HOSTILE = '<img src=x onerror="window.pwned=1">Use "an" & </script>';

// page: the service's demo page, or the editors page of another site with that editor.
// field: where the user types; text: what is typed; lang: the field's language (and the
// interface's, whose "Ignore" is `ignore`); off: how grammar is turned off (none: on); hostile: the grammar answer is replaced by one whose texts
// are markup. mark, variant, fixed: the problem marked, the variant chosen, the text after it
// (mark null: no grammar mark at all).
const CASES = [
    { name: 'textarea', page: 'demo', field: '#kwirl-textarea', text: 'She ate a apple today.',
      mark: 'a apple', variant: 'an apple', explains: /\ban\b/, fixed: 'She ate an apple today.' },
    { name: 'contenteditable', page: 'demo', field: '#kwirl-rich', text: 'She ate a apple today.',
      mark: 'a apple', variant: 'an apple', explains: /\ban\b/, fixed: 'She ate an apple today.' },
    { name: 'quill', page: 'quill', field: '.ql-editor', text: 'She ate a apple today.',
      mark: 'a apple', variant: 'an apple', explains: /\ban\b/, fixed: 'She ate an apple today.' },
    { name: 'german', page: 'demo', field: '#kwirl-textarea', lang: 'de_DE', text: 'Das ist ist gut.',
      mark: 'ist ist', variant: 'ist', explains: /Doppeltes Wort/, fixed: 'Das ist gut.', ignore: 'Ignorieren' },
    { name: 'option off', page: 'demo', field: '#kwirl-textarea', off: 'configure', text: 'She ate a apple today.', mark: null },
    { name: 'field option off', page: 'demo', field: '#kwirl-rich', off: 'attach', text: 'She ate a apple today.', mark: null },
    { name: 'hostile answer', page: 'demo', field: '#kwirl-textarea', hostile: true, text: 'She ate a apple today.',
      mark: 'a apple', variant: '<b>an</b> apple', explains: HOSTILE, fixed: 'She ate <b>an</b> apple today.' },
];

// The field's text, whatever kind it is.
const textOf = (page, field) => page.evaluate((sel) => {
    const el = document.querySelector(sel);
    return (el.tagName === 'TEXTAREA' ? el.value : el.textContent).trim();
}, field);

// The grammar mark over `text`: its centre and its underline colour (a mirror's span), or null.
const grammarMark = (page, text) => page.evaluate((t) => {
    const centre = (r) => ({ x: r.left + r.width / 2, y: r.top + r.height / 2 });
    const span = [...document.querySelectorAll('.vb-gram')].find((s) => s.textContent === t);
    if (span) {
        const miss = document.querySelector('.vb-miss');
        return { ...centre(span.getBoundingClientRect()), colour: getComputedStyle(span).textDecorationColor,
                 missColour: miss && getComputedStyle(miss).textDecorationColor };
    }
    const h = CSS.highlights.get('verbarium-grammar');
    const range = h && [...h].find((r) => r.toString() === t);
    return range ? { ...centre(range.getBoundingClientRect()), colour: 'highlight' } : null;
}, text);

async function open(page, c, url, site) {
    if (c.page === 'demo') {
        await page.goto(url + '/');
        await page.evaluate(() => window.Verbarium && Verbarium.settled());
    } else {
        await page.goto(`${site.url}/pages/editors.html?editor=${c.page}&service=` +
                        encodeURIComponent(url + '/cgi-bin/orthd.cgi'));
        await page.evaluate(() => window.ready);
    }
    if (c.hostile) {
        // The service's grammar answer replaced: texts with markup, a callback kept.
        await page.route(/cmd=kwirl_grammar/, (route) => {
            const callback = new URL(route.request().url()).searchParams.get('callback');
            const answer = { matches: [{ offset: 8, length: 7, rule: 'GRAMMAR_RULE_2', message: '<b>' + HOSTILE,
                                         replacements: ['<b>an</b> apple', 7, null] }] };
            route.fulfill({ contentType: 'text/javascript', body: `${callback}(${JSON.stringify(answer)})` });
        });
    }
    await page.evaluate(([sel, c]) => {
        const el = document.querySelector(sel);
        if (c.lang) {
            el.setAttribute('lang', c.lang);
            Verbarium.configure({ uiLang: c.lang });
        }
        if (c.off === 'configure') Verbarium.configure({ grammar: false });
        if (c.off === 'attach') {
            Verbarium.detach(el);
            Verbarium.attach(el, { grammar: false });
        }
        if (el.tagName === 'TEXTAREA') el.value = ''; else el.textContent = '';
        window.grammarRequestsBefore = Verbarium.stats.grammarRequests;
    }, [c.field, c]);
    await page.click(c.field);
    await page.keyboard.type(c.text);
    await page.evaluate(() => Verbarium.settled());
}

async function runCase(page, c, url, site) {
    await open(page, c, url, site);
    const problems = await page.evaluate((sel) => Verbarium.grammarProblems(document.querySelector(sel)), c.field);
    if (!c.mark) {
        assert.deepEqual(problems, []);
        assert.equal(await grammarMark(page, 'a apple'), null);
        assert.equal(await page.evaluate(() => Verbarium.stats.grammarRequests - window.grammarRequestsBefore), 0);
        return;
    }
    assert.deepEqual(problems.map((p) => p.text), [c.mark]);
    const at = await grammarMark(page, c.mark);
    assert.ok(at, `no grammar mark on ${c.mark}`);
    if (at.missColour) assert.notEqual(at.colour, at.missColour);

    // The menu: the explanation as text, the variants, Ignore.
    await page.mouse.click(at.x, at.y, { button: 'right' });
    await page.waitForSelector('.vb-menu .vb-variant');
    const menu = await page.evaluate(() => {
        const box = document.querySelector('.vb-menu');
        return { explanation: box.querySelector('.vb-explain').textContent,
                 variants: [...box.querySelectorAll('.vb-variant')].map((e) => e.textContent),
                 ignore: box.querySelector('.vb-ignore').textContent,
                 elements: box.querySelectorAll('img, b, script').length };
    });
    if (typeof c.explains === 'string') assert.equal(menu.explanation, '<b>' + c.explains);
    else assert.match(menu.explanation, c.explains);
    assert.ok(menu.variants.includes(c.variant), menu.variants.join('|'));
    assert.equal(menu.ignore, c.ignore || 'Ignore');
    assert.equal(menu.elements, 0);
    assert.equal(await page.evaluate(() => window.pwned), undefined);
    await page.screenshot({ path: require('node:path').join(process.env.VERBARIUM_SCREENSHOTS || '/tmp',
                                                            `kwirl_grammar-${c.name.replace(/ /g, '-')}-menu.png`) });

    // A variant chosen is one undo step.
    await page.click(`.vb-menu .vb-variant >> text="${c.variant}"`);
    await page.waitForSelector('.vb-menu', { state: 'detached' });
    assert.equal(await textOf(page, c.field), c.fixed);
    await page.keyboard.press('Control+z');
    assert.equal(await textOf(page, c.field), c.text);

    // Ignore: the mark goes, and stays away for the same problem.
    await page.evaluate(() => Verbarium.settled());
    const again = await grammarMark(page, c.mark);
    assert.ok(again, `no grammar mark on ${c.mark} after undo`);
    await page.mouse.click(again.x, again.y, { button: 'right' });
    await page.click('.vb-menu .vb-ignore');
    await page.evaluate(() => Verbarium.settled());
    assert.deepEqual(await page.evaluate((sel) => Verbarium.grammarProblems(document.querySelector(sel)), c.field), []);
}

test('grammar while typing', (t) =>
    scenario('kwirl_grammar', async ({ context, url }) => {
        const site = await startSite();
        try {
            for (const c of CASES) {
                await t.test(c.name, { skip: c.page !== 'demo' && !EDITORS_INSTALLED }, async () => {
                    const page = await context.newPage();
                    const errors = [];
                    page.on('pageerror', (e) => errors.push(e.message));
                    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
                    try {
                        await runCase(page, c, url, site);
                        assert.deepEqual(errors, []);
                    } finally {
                        await page.screenshot({ path: require('node:path').join(
                            process.env.VERBARIUM_SCREENSHOTS || '/tmp', `kwirl_grammar-${c.name.replace(/ /g, '-')}.png`) }).catch(() => {});
                        await page.close();
                    }
                });
            }
        } finally {
            await site.stop();
        }
    }));
