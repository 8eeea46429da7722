// The underlines of a textarea stay on its words when a panel around it scrolls, when it is
// resized and when the page changes its theme; the dark theme reaches the menu.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, startSite } = require('./harness');

// The mirror's box and the part of it its clip leaves visible, against the field and the panel.
const geometry = (page) => page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => {
    const el = document.getElementById('body');
    const mirror = el.previousElementSibling;
    const a = el.getBoundingClientRect();
    const m = mirror.getBoundingClientRect();
    const p = document.getElementById('panel').getBoundingClientRect();
    const inset = (/inset\(([^)]*)\)/.exec(mirror.style.clipPath) || [0, '0px 0px 0px 0px'])[1].split(' ').map(parseFloat);
    resolve({ dx: m.left - a.left, dy: m.top - a.top, dw: m.width - a.width, dh: m.height - a.height,
              visibleTop: m.top + inset[0], expectedTop: Math.max(a.top, p.top),
              visibleBottom: m.bottom - inset[2], expectedBottom: Math.min(a.bottom, p.bottom) });
}))));

function assertOnField(g, what) {
    for (const d of [g.dx, g.dy, g.dw, g.dh]) assert.ok(Math.abs(d) < 0.5, `${what}: ${JSON.stringify(g)}`);
    assert.ok(Math.abs(g.visibleTop - g.expectedTop) < 1 && Math.abs(g.visibleBottom - g.expectedBottom) < 1,
              `${what}: ${JSON.stringify(g)}`);
}

const CHANGES = [
    ['panel scrolled', (page) => page.evaluate(() => { document.getElementById('panel').scrollTop = 90; })],
    ['panel scrolled back', (page) => page.evaluate(() => { document.getElementById('panel').scrollTop = 0; })],
    ['field resized', (page) => page.evaluate(() => { document.getElementById('body').style.width = '240px'; })],
    ['dark theme', (page) => page.evaluate(() => {
        const style = document.createElement('style');
        style.textContent = '.verbarium-dark textarea { background: #111; color: #eee; }';
        document.head.append(style);
        document.documentElement.classList.add('verbarium-dark');
    })],
];

test('the underlines follow scrolling, resizing and theme changes', () =>
    scenario('kwirl_mirror', async ({ page, url }) => {
        const site = await startSite();
        try {
            await page.goto(`${site.url}/pages/editors.html?editor=panel&service=` + encodeURIComponent(url + '/cgi-bin/orthd.cgi'));
            await page.evaluate(() => window.ready);
            await page.click('#body');
            await page.keyboard.type('A wrod here\nand a leter there\nthird line');
            await page.evaluate(() => Verbarium.settled());
            assert.deepEqual(await page.evaluate(() => Verbarium.misspelt(document.getElementById('body'))), ['wrod', 'leter']);
            for (const [what, change] of CHANGES) {
                await change(page);
                assertOnField(await geometry(page), what);
            }
            // The field keeps the page's dark colours; the copy over it has none of its own.
            const colours = await page.evaluate(() => [getComputedStyle(document.getElementById('body')).backgroundColor,
                getComputedStyle(document.getElementById('body').previousElementSibling).backgroundColor]);
            assert.deepEqual(colours, ['rgb(17, 17, 17)', 'rgba(0, 0, 0, 0)']);
            const at = await page.evaluate(() => window.markCentre('leter'));
            await page.mouse.click(at.x, at.y, { button: 'right' });
            await page.waitForSelector('.vb-menu .vb-suggestion');
            assert.equal(await page.$eval('.vb-menu', (m) => getComputedStyle(m).backgroundColor), 'rgb(31, 41, 55)');
        } finally {
            await site.stop();
        }
    }));

// Edits of a long text, each [what, edit(field, long text)] run in the page: after each the copy
// holds the field's text line for line, in groups of lines never empty nor longer than 64
// lines, and exactly the misspelt words are marked, in their order.
const LONG_TEXT = Array.from({ length: 150 }, (_, i) => `line ${i} has a leter in it` + (i % 3 ? '' : ' and recieve too')).join('\n');
const EDITS = [
    ['long text set', (el, long) => { el.value = long; }],
    ['a line typed at the end', (el) => el.setRangeText('\nand a freind at the end', el.value.length, el.value.length)],
    ['lines put in the middle', (el) => {
        const at = el.value.indexOf('line 70 ');
        el.setRangeText(Array.from({ length: 80 }, (_, i) => `new ${i} leter`).join('\n') + '\n', at, at);
    }],
    ['a line split in the middle', (el) => {
        const at = el.value.indexOf('has', el.value.indexOf('line 100 '));
        el.setRangeText('\n', at, at);
    }],
    ['the first hundred lines taken out', (el) => { el.value = el.value.split('\n').slice(100).join('\n'); }],
    ['two lines joined', (el) => {
        const at = el.value.indexOf('\n');
        el.setRangeText(' ', at, at + 1);
    }],
    ['lines put at the start', (el) => el.setRangeText('recieve\n\n\nleter\n', 0, 0)],
    ['a word typed after the last mark', (el) => el.setRangeText(' more', el.value.length, el.value.length)],
    ['a word typed before a mark', (el) => {
        const at = el.value.lastIndexOf('leter');
        el.setRangeText('big ', at, at);
    }],
    ['a mark typed into the last line', (el) => el.setRangeText(' freind', el.value.length, el.value.length)],
    ['everything but one line taken out', (el) => { el.value = 'only a leter'; }],
    ['emptied', (el) => { el.value = ''; }],
    ['long text again', (el, long) => { el.value = long; }],
];

test('the copy of a long text follows every kind of edit', () =>
    scenario('kwirl_mirror-edits', async ({ page, url }) => {
        const site = await startSite();
        try {
            await page.goto(`${site.url}/pages/editors.html?editor=plain&grammar=off&service=` +
                            encodeURIComponent(url + '/cgi-bin/orthd.cgi'));
            await page.evaluate(() => window.ready);
            for (const [what, change] of EDITS) {
                // In the frames after the edit, before the copy has caught up with it, every
                // underline is still on its word: the copy's text up to it is the field's.
                const misplaced = await page.evaluate(([source, long]) => {
                    const el = document.getElementById('body');
                    new Function(`return ${source}`)()(el, long);
                    el.dispatchEvent(new Event('input', { bubbles: true }));
                    const inner = el.previousElementSibling.firstElementChild;
                    const frame = () => new Promise((resolve) => requestAnimationFrame(resolve));
                    return frame().then(frame).then(() => [...inner.querySelectorAll('.vb-miss')].filter((span) => {
                        const range = document.createRange();
                        range.setStart(inner, 0);
                        range.setEndAfter(span);
                        const shown = range.toString();
                        return el.value.slice(0, shown.length) !== shown;
                    }).map((span) => span.textContent));
                }, [change.toString(), LONG_TEXT]);
                assert.deepEqual(misplaced, [], what);
                await page.evaluate(() => Verbarium.settled());
                const shown = await page.evaluate(() => {
                    const el = document.getElementById('body');
                    const inner = el.previousElementSibling.firstElementChild;
                    return { value: el.value, copy: inner.textContent,
                             groups: [...inner.children].map((g) => g.childElementCount),
                             marks: [...inner.querySelectorAll('.vb-miss')].map((s) => s.textContent),
                             misspelt: Verbarium.misspelt(el) };
                });
                assert.equal(shown.copy, shown.value + '\u200b', what);
                assert.ok(shown.groups.every((n) => n >= 1 && n <= 64), `${what}: ${shown.groups}`);
                assert.equal(shown.groups.reduce((a, b) => a + b, 0), shown.value.split('\n').length, what);
                const expected = shown.value.match(/\b(leter|recieve|freind)\b/g) || [];
                assert.deepEqual(shown.misspelt, expected, what);
                assert.deepEqual(shown.marks, expected, what);
            }
        } finally {
            await site.stop();
        }
    }));
